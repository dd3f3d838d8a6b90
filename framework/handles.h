// Move-only owners of Windows handles. Each closes its handle exactly once.
#pragma once

#include <windows.h>

#include <utility>

namespace fw {

template <class Handle, class Traits> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : m_h(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_h(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return m_h; }
    explicit operator bool() const { return Traits::Valid(m_h); }
    Handle release() { return std::exchange(m_h, Traits::Invalid()); }
    void reset(Handle h = Traits::Invalid()) {
        if (Traits::Valid(m_h)) Traits::Close(m_h);
        m_h = h;
    }

private:
    Handle m_h = Traits::Invalid();
};

struct KernelHandleTraits { // CreateFileW and friends: INVALID_HANDLE_VALUE when absent
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;

template <class T> struct GdiObjectTraits {
    static T Invalid() { return nullptr; }
    static bool Valid(T h) { return h != nullptr; }
    static void Close(T h) { DeleteObject(h); }
};
template <class T> using UniqueGdiObject = UniqueHandle<T, GdiObjectTraits<T>>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueRegion = UniqueGdiObject<HRGN>;
using UniqueFont = UniqueGdiObject<HFONT>;

struct MemoryDcTraits {
    static HDC Invalid() { return nullptr; }
    static bool Valid(HDC h) { return h != nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcTraits>;

struct ModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static bool Valid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;

struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static bool Valid(HKEY h) { return h != nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
using UniqueRegKey = UniqueHandle<HKEY, RegKeyTraits>;

struct HookTraits {
    static HHOOK Invalid() { return nullptr; }
    static bool Valid(HHOOK h) { return h != nullptr; }
    static void Close(HHOOK h) { UnhookWindowsHookEx(h); }
};
using UniqueHook = UniqueHandle<HHOOK, HookTraits>;

// A window's device context from GetDC or GetWindowDC, released on scope exit.
class WindowDc {
public:
    static WindowDc Whole(HWND wnd) { return WindowDc(wnd, GetWindowDC(wnd)); }
    ~WindowDc() {
        if (m_dc) ReleaseDC(m_wnd, m_dc);
    }
    WindowDc(WindowDc&& other) noexcept : m_wnd(other.m_wnd), m_dc(std::exchange(other.m_dc, nullptr)) {}
    WindowDc& operator=(WindowDc&&) = delete;
    WindowDc(const WindowDc&) = delete;
    HDC get() const { return m_dc; }

private:
    WindowDc(HWND wnd, HDC dc) : m_wnd(wnd), m_dc(dc) {}
    HWND m_wnd;
    HDC m_dc;
};

// An object selected into a DC; the previous object is selected back on scope exit.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : m_dc(dc), m_previous(SelectObject(dc, obj)) {}
    ~SelectGuard() {
        if (m_previous && m_previous != HGDI_ERROR) SelectObject(m_dc, m_previous);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

} // namespace fw
