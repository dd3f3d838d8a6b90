#include "tools/uigen/image.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace pw::uigen {
namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::uint32_t Get32(const std::vector<std::uint8_t>& in, std::size_t at) {
    return static_cast<std::uint32_t>(in[at]) | static_cast<std::uint32_t>(in[at + 1]) << 8 |
           static_cast<std::uint32_t>(in[at + 2]) << 16 | static_cast<std::uint32_t>(in[at + 3]) << 24;
}

unsigned Get16(const std::vector<std::uint8_t>& in, std::size_t at) {
    return static_cast<unsigned>(in[at]) | static_cast<unsigned>(in[at + 1]) << 8;
}

std::uint8_t To8(float v) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

// BITMAPINFOHEADER for an uncompressed image.
void PutInfoHeader(std::vector<std::uint8_t>& out, int width, int height, unsigned bits,
                   std::uint32_t imageSize) {
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, bits);
    Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 2835); // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
}

} // namespace

Color Mix(const Color& a, const Color& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Image::Image(int width, int height, Color fill)
    : m_width(width), m_height(height), m_pixels(static_cast<std::size_t>(width) * height, fill) {}

void Image::Blend(int x, int y, const Color& c, float coverage) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    const float sa = std::clamp(c.a * coverage, 0.0f, 1.0f);
    if (sa <= 0) return;
    Color& d = At(x, y);
    const float da = d.a * (1 - sa);
    const float oa = sa + da;
    if (oa <= 0) return;
    d.r = (c.r * sa + d.r * da) / oa;
    d.g = (c.g * sa + d.g * da) / oa;
    d.b = (c.b * sa + d.b * da) / oa;
    d.a = oa;
}

Pixel8 Image::Get8(int x, int y) const {
    const Color& c = At(x, y);
    return {To8(c.r), To8(c.g), To8(c.b), To8(c.a)};
}

std::vector<std::uint8_t> EncodeBmp24(const Image& image) {
    const int w = image.Width();
    const int h = image.Height();
    const std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(h);
    std::vector<std::uint8_t> out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageSize);
    Put32(out, 0);
    Put32(out, 54);
    PutInfoHeader(out, w, h, 24, imageSize);
    for (int y = h - 1; y >= 0; --y) {
        std::size_t rowStart = out.size();
        for (int x = 0; x < w; ++x) {
            const Pixel8 p = image.Get8(x, y);
            out.push_back(p.b);
            out.push_back(p.g);
            out.push_back(p.r);
        }
        while (out.size() - rowStart < stride)
            out.push_back(0);
    }
    return out;
}

std::optional<Bitmap8> DecodeBmp(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
    const std::uint32_t offset = Get32(bytes, 10);
    const std::uint32_t headerSize = Get32(bytes, 14);
    if (headerSize < 40) return std::nullopt;
    const auto width = static_cast<std::int32_t>(Get32(bytes, 18));
    const auto rawHeight = static_cast<std::int32_t>(Get32(bytes, 22));
    const unsigned bits = Get16(bytes, 28);
    const std::uint32_t compression = Get32(bytes, 30);
    if (width <= 0 || rawHeight == 0 || width > 1 << 16 || rawHeight > 1 << 16 || rawHeight < -(1 << 16))
        return std::nullopt;
    if ((bits != 24 && bits != 32) || compression != 0) return std::nullopt;
    const bool topDown = rawHeight < 0;
    const int height = topDown ? -rawHeight : rawHeight;
    const std::size_t bytesPerPixel = bits / 8;
    const std::size_t stride = (static_cast<std::size_t>(width) * bytesPerPixel + 3) & ~std::size_t{3};
    if (offset > bytes.size() || bytes.size() - offset < stride * static_cast<std::size_t>(height))
        return std::nullopt;
    Bitmap8 bmp{width, height, static_cast<int>(bits), {}};
    bmp.pixels.resize(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        const std::size_t start = offset + stride * static_cast<std::size_t>(row);
        for (int x = 0; x < width; ++x) {
            const std::size_t at = start + static_cast<std::size_t>(x) * bytesPerPixel;
            bmp.pixels[static_cast<std::size_t>(y) * width + x] = Pixel8{
                bytes[at + 2], bytes[at + 1], bytes[at], bits == 32 ? bytes[at + 3] : std::uint8_t{255}};
        }
    }
    return bmp;
}

std::vector<std::uint8_t> EncodeIco(const std::vector<Image>& images) {
    std::vector<std::vector<std::uint8_t>> entries;
    for (const Image& image : images) {
        const int w = image.Width();
        const int h = image.Height();
        const std::uint32_t maskStride = ((static_cast<std::uint32_t>(w) + 31) / 32) * 4;
        const std::uint32_t colourSize = static_cast<std::uint32_t>(w * h * 4);
        const std::uint32_t maskSize = maskStride * static_cast<std::uint32_t>(h);
        std::vector<std::uint8_t> e;
        PutInfoHeader(e, w, h * 2, 32, colourSize + maskSize);
        for (int y = h - 1; y >= 0; --y)
            for (int x = 0; x < w; ++x) {
                const Pixel8 p = image.Get8(x, y);
                e.push_back(p.b);
                e.push_back(p.g);
                e.push_back(p.r);
                e.push_back(p.a);
            }
        for (int y = h - 1; y >= 0; --y) {
            std::vector<std::uint8_t> row(maskStride, 0);
            for (int x = 0; x < w; ++x)
                if (image.Get8(x, y).a == 0)
                    row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            e.insert(e.end(), row.begin(), row.end());
        }
        entries.push_back(std::move(e));
    }
    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int w = images[i].Width();
        const int h = images[i].Height();
        out.push_back(static_cast<std::uint8_t>(w >= 256 ? 0 : w));
        out.push_back(static_cast<std::uint8_t>(h >= 256 ? 0 : h));
        out.push_back(0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<std::uint32_t>(entries[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(entries[i].size());
    }
    for (const auto& e : entries)
        out.insert(out.end(), e.begin(), e.end());
    return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return std::nullopt;
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

} // namespace pw::uigen
