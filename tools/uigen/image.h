// Pictures in memory and the two file formats the program reads: 24-bit BMP and 32-bit ICO.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pw::uigen {

// Straight (not premultiplied) colour, each channel 0..1 in sRGB.
struct Color {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 1;
};

constexpr Color Hex(std::uint32_t rgb, float alpha = 1) {
    return {static_cast<float>((rgb >> 16) & 0xFF) / 255.0f, static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
            static_cast<float>(rgb & 0xFF) / 255.0f, alpha};
}

Color Mix(const Color& a, const Color& b, float t);

struct Pixel8 {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;
    friend bool operator==(const Pixel8&, const Pixel8&) = default;
};

class Image {
public:
    Image() = default;
    Image(int width, int height, Color fill);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Color& At(int x, int y) { return m_pixels[static_cast<std::size_t>(y) * m_width + x]; }
    const Color& At(int x, int y) const { return m_pixels[static_cast<std::size_t>(y) * m_width + x]; }
    // Source-over blending of `c` with the given coverage (0..1).
    void Blend(int x, int y, const Color& c, float coverage);
    void Set(int x, int y, const Color& c) { At(x, y) = c; }
    Pixel8 Get8(int x, int y) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<Color> m_pixels;
};

// 8-bit pixels as read back from a file, top row first.
struct Bitmap8 {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<Pixel8> pixels;
    const Pixel8& At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Uncompressed bottom-up 24-bit BMP; alpha is dropped.
std::vector<std::uint8_t> EncodeBmp24(const Image& image);
// Reads uncompressed 24- or 32-bit BMPs (bottom-up or top-down); nothing for anything else.
std::optional<Bitmap8> DecodeBmp(const std::vector<std::uint8_t>& bytes);

// An icon file with one 32-bit BGRA image (with its AND mask) per entry.
std::vector<std::uint8_t> EncodeIco(const std::vector<Image>& images);

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::optional<std::vector<std::uint8_t>> ReadFile(const std::string& path);

// The outline rule of the masks: only pure white lies outside the window.
inline bool MaskInside(const Pixel8& p) {
    return !(p.r == 255 && p.g == 255 && p.b == 255);
}

} // namespace pw::uigen
