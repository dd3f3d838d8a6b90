#include "diag/debug_log.h"

namespace pw {

namespace {

struct EventRow {
    std::uint8_t event;
    std::uint8_t code;
    const wchar_t* text;
    const wchar_t* alternativeText;
};

constexpr EventRow kEvents[] = {
    {0xA0, 0xA0, L"State mechanism in Fail", L""},
    {0xA1, 0xA1, L"State mechanism in Success", L""},
    {0xA2, 0xA2, L"State mechanism in Init", L""},
    {0xA3, 0xA3, L"State mechanism in Request received", L""},
    {0xA4, 0xA4, L"State mechanism in Progress A (Pipe0)", L""},
    {0xA5, 0xA5, L"State mechanism in Progress B (Pipe2)", L""},
    {0xA6, 0xA6, L"State mechanism in Cancel", L""},
    {0xAC, 0x5C, L"Receive 0x5C and check Pass", L"Receive 0x5C but check Fail"},
    {0xD0, 0xD0, L"Debug log is enabled", L"Debug log is disabled"},
};

void PutUnit(std::vector<std::uint8_t>& out, std::uint16_t unit) {
    out.push_back(static_cast<std::uint8_t>(unit));
    out.push_back(static_cast<std::uint8_t>(unit >> 8));
}

// Windows strings are UTF-16 already; elsewhere a wchar_t is a code point and may need a surrogate pair.
void PutChar(std::vector<std::uint8_t>& out, wchar_t c) {
    const auto value = static_cast<std::uint32_t>(c);
    if constexpr (sizeof(wchar_t) == 2) {
        PutUnit(out, static_cast<std::uint16_t>(value));
    } else if (value >= 0x10000 && value <= 0x10FFFF) {
        const std::uint32_t v = value - 0x10000;
        PutUnit(out, static_cast<std::uint16_t>(0xD800 | (v >> 10)));
        PutUnit(out, static_cast<std::uint16_t>(0xDC00 | (v & 0x3FF)));
    } else if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        PutUnit(out, 0xFFFD);
    } else {
        PutUnit(out, static_cast<std::uint16_t>(value));
    }
}

} // namespace

DebugEventTable MakeDebugEventTable() {
    DebugEventTable table;
    for (const EventRow& row : kEvents)
        table.emplace(row.event, std::make_shared<const CDebugMsg>(row.code, row.text, row.alternativeText));
    return table;
}

std::optional<std::wstring> DebugLogLine(const DebugEventTable& table, std::uint8_t code,
                                         std::uint8_t value) {
    const auto found = table.find(code);
    if (found == table.end() || !found->second) return std::nullopt;
    return found->second->LineFor(value);
}

std::vector<std::uint8_t> EncodeLogFile(std::span<const std::wstring> lines) {
    std::vector<std::uint8_t> out;
    for (const std::wstring& line : lines) {
        for (const wchar_t c : line)
            PutChar(out, c);
        PutUnit(out, u'\r');
        PutUnit(out, u'\n');
    }
    return out;
}

} // namespace pw
