#include "skin/skin_image.h"

#include <boost/make_shared.hpp>

using namespace pw::gdip;

BitmapPtr CSkinImage::Load(const std::wstring& path) {
    GpBitmap* bitmap = nullptr;
    const GpStatus status = GdipCreateBitmapFromFile(path.c_str(), &bitmap);
    auto image = boost::make_shared<CSkinImage>(status == Ok ? bitmap : nullptr);
    image->Check(status);
    return image;
}

CSkinImage::~CSkinImage() {
    if (m_pBitmap) GdipDisposeImage(m_pBitmap);
}

bool CSkinImage::Check(GpStatus status) const {
    if (status != Ok) m_lastStatus = status;
    return status == Ok;
}

int CSkinImage::Width() const {
    UINT width = 0;
    if (m_pBitmap && Check(GdipGetImageWidth(m_pBitmap, &width))) return static_cast<int>(width);
    return 0;
}

int CSkinImage::Height() const {
    UINT height = 0;
    if (m_pBitmap && Check(GdipGetImageHeight(m_pBitmap, &height))) return static_cast<int>(height);
    return 0;
}

std::unique_ptr<CSkinImage> CSkinImage::CloneArea(int x, int y, int width, int height) const {
    if (!m_pBitmap || width <= 0 || height <= 0) return std::make_unique<CSkinImage>();
    PixelFormat format = 0;
    if (!Check(GdipGetImagePixelFormat(m_pBitmap, &format))) return std::make_unique<CSkinImage>();
    GpBitmap* clone = nullptr;
    if (!Check(GdipCloneBitmapAreaI(x, y, width, height, format, m_pBitmap, &clone)))
        return std::make_unique<CSkinImage>();
    return std::make_unique<CSkinImage>(clone);
}

bool CSkinImage::RotateFlip(RotateFlipType type) {
    return m_pBitmap && Check(GdipImageRotateFlip(m_pBitmap, type));
}

fw::UniqueBitmap CSkinImage::ToHBitmap(ARGB background) const {
    HBITMAP bitmap = nullptr;
    if (!m_pBitmap || !Check(GdipCreateHBITMAPFromBitmap(m_pBitmap, &bitmap, background))) return {};
    return fw::UniqueBitmap(bitmap);
}
