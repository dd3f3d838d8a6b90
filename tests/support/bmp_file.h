#pragma once
// 24-bit bottom-up Windows bitmap files: what the skin reads and what the picture tools write.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace pwtest {

class Bmp24 {
public:
    Bmp24(int width, int height, std::uint8_t fill = 0) {
        m_info.biSize = sizeof m_info;
        m_info.biWidth = width;
        m_info.biHeight = height;
        m_info.biPlanes = 1;
        m_info.biBitCount = 24;
        m_info.biSizeImage = static_cast<DWORD>(Stride() * height);
        m_bits.assign(m_info.biSizeImage, fill);
    }

    // x and y count from the top left, as on screen.
    void Set(int x, int y, COLORREF colour) {
        std::uint8_t* p = &m_bits[static_cast<std::size_t>((m_info.biHeight - 1 - y) * Stride() + x * 3)];
        p[0] = GetBValue(colour);
        p[1] = GetGValue(colour);
        p[2] = GetRValue(colour);
    }

    // The bitmap's pixels; false unless every row was read.
    bool ReadFrom(HDC dc, HBITMAP bitmap) {
        return GetDIBits(dc, bitmap, 0, static_cast<UINT>(m_info.biHeight), m_bits.data(),
                         reinterpret_cast<BITMAPINFO*>(&m_info), DIB_RGB_COLORS) == m_info.biHeight;
    }

    bool Save(const std::wstring& path) const {
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof m_info;
        file.bfSize = file.bfOffBits + m_info.biSizeImage;
        FILE* out = _wfopen(path.c_str(), L"wb");
        if (!out) return false;
        const bool written = fwrite(&file, sizeof file, 1, out) == 1 &&
                             fwrite(&m_info, sizeof m_info, 1, out) == 1 &&
                             fwrite(m_bits.data(), m_bits.size(), 1, out) == 1;
        return fclose(out) == 0 && written;
    }

private:
    int Stride() const { return (m_info.biWidth * 3 + 3) & ~3; }

    BITMAPINFOHEADER m_info{};
    std::vector<std::uint8_t> m_bits;
};

} // namespace pwtest
