// The pairing debug log without windows: the table of the receiver's pairing-state events, the line
// an event gives, and the bytes of the saved log file. Free of windows.h: it also builds natively.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pw {

// One entry of the event table. Entry codes 0x5C and 0xD0 mark two-text entries: the text for event
// value 1, the alternative text for every other value.
class CDebugMsg {
public:
    CDebugMsg(std::uint8_t code, std::wstring text, std::wstring alternativeText = {})
        : m_nCode(code), m_strText(std::move(text)), m_strAltText(std::move(alternativeText)) {}

    std::uint8_t GetCode() const { return m_nCode; }
    const std::wstring& GetText() const { return m_strText; }
    const std::wstring& GetAltText() const { return m_strAltText; }
    bool HasTwoTexts() const { return m_nCode == 0x5C || m_nCode == 0xD0; }
    const std::wstring& LineFor(std::uint8_t value) const {
        return HasTwoTexts() && value != 1 ? m_strAltText : m_strText;
    }

private:
    const std::uint8_t m_nCode;
    const std::wstring m_strText;
    const std::wstring m_strAltText;
};

using DebugMsgPtr = std::shared_ptr<const CDebugMsg>;
// Event code to entry; the event 0xAC has the entry code 0x5C.
using DebugEventTable = std::map<std::uint8_t, DebugMsgPtr>;

inline constexpr wchar_t kPairingLogFile[] = L"PairingLog.txt";

DebugEventTable MakeDebugEventTable();

// The line of an event, or nothing for an event outside the table.
std::optional<std::wstring> DebugLogLine(const DebugEventTable& table, std::uint8_t code, std::uint8_t value);

// The log file: every line in UTF-16 little-endian followed by CR LF; no byte-order mark, nothing else.
std::vector<std::uint8_t> EncodeLogFile(std::span<const std::wstring> lines);

} // namespace pw
