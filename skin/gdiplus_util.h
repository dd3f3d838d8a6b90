// GDI+ through its flat API: owners for the objects the skins create and delete on every paint, and
// the process's GDI+ session.
#pragma once

#include <windows.h>
// GDI+ needs PROPID, which WIN32_LEAN_AND_MEAN leaves out of windows.h.
#include <objidl.h>

#include <gdiplus.h>

#include <memory>

namespace pw::gdip {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

template <class T, GpStatus(WINGDIPAPI* Delete)(T*)> struct Deleter {
    void operator()(T* p) const {
        if (p) Delete(p);
    }
};

using GraphicsPtr = std::unique_ptr<GpGraphics, Deleter<GpGraphics, GdipDeleteGraphics>>;
using FontFamilyPtr = std::unique_ptr<GpFontFamily, Deleter<GpFontFamily, GdipDeleteFontFamily>>;
using FontPtr = std::unique_ptr<GpFont, Deleter<GpFont, GdipDeleteFont>>;
using BrushPtr = std::unique_ptr<GpBrush, Deleter<GpBrush, GdipDeleteBrush>>;
using StringFormatPtr = std::unique_ptr<GpStringFormat, Deleter<GpStringFormat, GdipDeleteStringFormat>>;
using ImageAttributesPtr =
    std::unique_ptr<GpImageAttributes, Deleter<GpImageAttributes, GdipDisposeImageAttributes>>;

inline GraphicsPtr GraphicsFromHdc(HDC dc) {
    GpGraphics* g = nullptr;
    return GraphicsPtr(dc && GdipCreateFromHDC(dc, &g) == Ok ? g : nullptr);
}

inline GraphicsPtr GraphicsFromHwnd(HWND wnd) {
    GpGraphics* g = nullptr;
    return GraphicsPtr(wnd && GdipCreateFromHWND(wnd, &g) == Ok ? g : nullptr);
}

// GDI+ for the life of the object; the program and the test programs each keep one on their main thread.
class Session {
public:
    Session() {
        GdiplusStartupInput input;
        if (GdiplusStartup(&m_token, &input, nullptr) != Ok) m_token = 0;
    }
    ~Session() {
        if (m_token) GdiplusShutdown(m_token);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    bool Started() const { return m_token != 0; }

private:
    ULONG_PTR m_token = 0;
};

} // namespace pw::gdip
