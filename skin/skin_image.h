// One decoded skin image and the shared handle that holds it.
#pragma once

#include "framework/handles.h"
#include "skin/gdiplus_util.h"

#include <boost/shared_ptr.hpp>

#include <memory>
#include <string>

class CSkinImage;

// Shared by every holder; the image lives as long as its last holder.
using BitmapPtr = boost::shared_ptr<CSkinImage>;

// A GDI+ bitmap. An image that could not be decoded is invalid: drawing it, cutting from it or
// converting it does nothing. The status of the last failing call is kept for inspection only.
class CSkinImage {
public:
    // Decodes a file (no embedded colour management); a missing or broken file gives an invalid image.
    static BitmapPtr Load(const std::wstring& path);

    explicit CSkinImage(Gdiplus::GpBitmap* adopted = nullptr) : m_pBitmap(adopted) {}
    ~CSkinImage();
    CSkinImage(const CSkinImage&) = delete;
    CSkinImage& operator=(const CSkinImage&) = delete;

    bool IsValid() const { return m_pBitmap != nullptr; }
    Gdiplus::GpBitmap* Native() const { return m_pBitmap; }
    Gdiplus::GpImage* NativeImage() const { return m_pBitmap; }
    int Width() const;
    int Height() const;
    Gdiplus::GpStatus LastStatus() const { return m_lastStatus; }

    // A copy of the rectangle in the image's own pixel format; invalid when the rectangle is not inside.
    std::unique_ptr<CSkinImage> CloneArea(int x, int y, int width, int height) const;
    bool RotateFlip(Gdiplus::RotateFlipType type);
    // A device-dependent copy; transparent pixels take the background colour.
    fw::UniqueBitmap ToHBitmap(Gdiplus::ARGB background) const;

private:
    bool Check(Gdiplus::GpStatus status) const;

    Gdiplus::GpBitmap* m_pBitmap;
    mutable Gdiplus::GpStatus m_lastStatus = Gdiplus::Ok;
};
