#include "common/types.h"

#include <atomic>
#include <cstdio>
#include <new>

namespace pw {
namespace {

std::atomic<std::size_t> g_liveNotifyRecords{0};

} // namespace

void CopyDeviceName(const std::uint8_t* source, std::size_t length, char* name) {
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t c = source[i];
        const bool allowed = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                             c == ' ' || (c >= '\t' && c <= '\r');
        if (!allowed) {
            name[i] = 0;
            return;
        }
        name[i] = static_cast<char>(c);
    }
}

void* NotifyRecord::operator new(std::size_t size) {
    void* record = ::operator new(size);
    ++g_liveNotifyRecords;
    return record;
}

void NotifyRecord::operator delete(void* record) noexcept {
    if (!record) return;
    --g_liveNotifyRecords;
    ::operator delete(record);
}

std::size_t NotifyRecord::LiveOnHeap() {
    return g_liveNotifyRecords.load();
}

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
