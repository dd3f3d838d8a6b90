// One decoded skin image, the shared handle that holds it, and the images shared by file.
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
    // The image holds only the decoded pixels: neither the file nor the decoder's copy of it.
    static BitmapPtr Load(const std::wstring& path);
    // The image of the file that every holder naming the same path shares; decoded when nobody holds
    // it, and gone with its last holder. User-interface thread only.
    static BitmapPtr Shared(const std::wstring& path);

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
    // A pattern brush of the image with transparent pixels opaque black, made at the first call and
    // owned by the image, so that every window showing the image as its background shares it;
    // nullptr for an invalid image.
    HBRUSH PatternBrush() const;

private:
    bool Check(Gdiplus::GpStatus status) const;

    Gdiplus::GpBitmap* m_pBitmap;
    mutable Gdiplus::GpStatus m_lastStatus = Gdiplus::Ok;
    mutable fw::UniqueBrush m_brPattern;
};
