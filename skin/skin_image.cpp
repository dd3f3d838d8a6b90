#include "skin/skin_image.h"

#include <boost/make_shared.hpp>
#include <boost/weak_ptr.hpp>

#include <map>

using namespace pw::gdip;

namespace {

constexpr ARGB kOpaqueBlack = 0xFF000000;

} // namespace

BitmapPtr CSkinImage::Load(const std::wstring& path) {
    GpBitmap* bitmap = nullptr;
    const GpStatus status = GdipCreateBitmapFromFile(path.c_str(), &bitmap);
    if (status != Ok) {
        auto invalid = boost::make_shared<CSkinImage>();
        invalid->Check(status);
        return invalid;
    }
    // A bitmap from a file keeps the file open and its decoder, with a copy of the file's pixels, for
    // its whole life; a copy of it keeps only the decoded pixels.
    UINT width = 0;
    UINT height = 0;
    PixelFormat format = 0;
    GpBitmap* copy = nullptr;
    if (GdipGetImageWidth(bitmap, &width) == Ok && GdipGetImageHeight(bitmap, &height) == Ok &&
        GdipGetImagePixelFormat(bitmap, &format) == Ok &&
        GdipCloneBitmapAreaI(0, 0, static_cast<INT>(width), static_cast<INT>(height), format, bitmap,
                             &copy) == Ok) {
        GdipDisposeImage(bitmap);
        bitmap = copy;
    }
    return boost::make_shared<CSkinImage>(bitmap);
}

BitmapPtr CSkinImage::Shared(const std::wstring& path) {
    static std::map<std::wstring, boost::weak_ptr<CSkinImage>> s_images;
    if (BitmapPtr held = s_images[path].lock()) return held;
    std::erase_if(s_images, [](const auto& entry) { return entry.second.expired(); });
    BitmapPtr image = Load(path);
    s_images[path] = image;
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

HBRUSH CSkinImage::PatternBrush() const {
    if (!m_brPattern) {
        // The brush keeps its own copy of the pattern; the bitmap goes at the end of this scope.
        const fw::UniqueBitmap bitmap = ToHBitmap(kOpaqueBlack);
        if (bitmap) m_brPattern.reset(CreatePatternBrush(bitmap.get()));
    }
    return m_brPattern.get();
}
