#include "common/types.h"

#include <cstdio>

namespace pw {

std::string FormatFirmware(std::uint8_t high, std::uint8_t low) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", high >> 4, high & 0x0F, low >> 4, low & 0x0F);
    return text;
}

std::wstring FormatFirmwareW(std::uint8_t high, std::uint8_t low) {
    const std::string narrow = FormatFirmware(high, low);
    return std::wstring(narrow.begin(), narrow.end());
}

} // namespace pw
