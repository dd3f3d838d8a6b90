#include "diag/debug_log.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using pw::DebugLogLine;
using pw::EncodeLogFile;

struct EventCase {
    std::uint8_t code;
    std::uint8_t value;
    std::optional<std::wstring> line;
};

TEST(DebugEventTable, EachEventGivesItsLineOrNothing) {
    const EventCase cases[] = {
        {0xD0, 1, L"Debug log is enabled"},
        {0xD0, 0, L"Debug log is disabled"},
        {0xD0, 2, L"Debug log is disabled"},
        {0xAC, 1, L"Receive 0x5C and check Pass"},
        {0xAC, 0, L"Receive 0x5C but check Fail"},
        {0xAC, 0xFF, L"Receive 0x5C but check Fail"},
        // The entry code of 0xAC is not a key of its own.
        {0x5C, 1, std::nullopt},
        {0x5C, 0, std::nullopt},
        // One-text entries never switch to their (empty) alternative text.
        {0xA4, 0, L"State mechanism in Progress A (Pipe0)"},
        {0xA4, 1, L"State mechanism in Progress A (Pipe0)"},
        {0xA4, 0xFF, L"State mechanism in Progress A (Pipe0)"},
        {0xA0, 2, L"State mechanism in Fail"},
        {0xA1, 0, L"State mechanism in Success"},
        {0xA2, 0, L"State mechanism in Init"},
        {0xA3, 0, L"State mechanism in Request received"},
        {0xA5, 0, L"State mechanism in Progress B (Pipe2)"},
        {0xA6, 0, L"State mechanism in Cancel"},
        {0x00, 1, std::nullopt},
        {0xFF, 1, std::nullopt},
        {0xA7, 0, std::nullopt},
        {0xDB, 1, std::nullopt},
    };
    const pw::DebugEventTable table = pw::MakeDebugEventTable();
    EXPECT_EQ(table.size(), 9u);
    for (const EventCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "event 0x" << std::hex << int(c.code) << " value " << int(c.value));
        EXPECT_EQ(DebugLogLine(table, c.code, c.value), c.line);
    }
}

TEST(DebugEventTable, KeyWithoutEntryGivesNothing) {
    const pw::DebugEventTable table{{0xA0, nullptr}};
    EXPECT_EQ(DebugLogLine(table, 0xA0, 1), std::nullopt);
}

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> bytes;
    for (int v : values)
        bytes.push_back(static_cast<std::uint8_t>(v));
    return bytes;
}

TEST(DebugLogFile, Utf16LittleEndianWithCrLfAfterEveryLineAndNoByteOrderMark) {
    const std::vector<std::wstring> lines = {L"Ok", L"", L"\u00e9\u20ac", L"\U0001F600"};
    EXPECT_EQ(EncodeLogFile(lines), Bytes({'O',  0,    'k',  0,    0x0D, 0, 0x0A, 0, // "Ok"
                                           0x0D, 0,    0x0A, 0,                      // empty line
                                           0xE9, 0x00, 0xAC, 0x20, 0x0D, 0, 0x0A, 0,
                                           0x3D, 0xD8, 0x00, 0xDE, 0x0D, 0, 0x0A, 0})); // surrogate pair
    EXPECT_TRUE(EncodeLogFile({}).empty());
}

} // namespace
