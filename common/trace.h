// The program's trace: with PAIRWRIGHT_TRACE=FILE set, one line per event is appended to FILE, each
// starting with a monotonic time stamp in microseconds and a category: HID transfers and input
// reports, the dispatcher's decisions, windows opened, shown and closed, discovery's decisions, and
// the virtual receiver's own transfer log. Off, it costs one relaxed atomic load at each place that
// would write. Lines are written whole, from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace pw::trace {

// Names the file the program traces into.
inline constexpr wchar_t kEnvironmentVariable[] = L"PAIRWRIGHT_TRACE";

bool Enabled();

// Appends to the file from now on; false when it cannot be opened (tracing then stays off).
bool Start(const std::filesystem::path& file);
void Stop();

// Microseconds on the monotonic clock that stamps every line.
std::int64_t NowMicroseconds();

void Write(std::string_view category, std::string_view text);
// "window open|shown|close <name> <handle>": a window of the program came, was shown or went.
void WindowEvent(std::string_view what, std::string_view name, const void* handle);

// Only when tracing is on: call sites check Enabled() first, so that nothing is formatted while off.
std::string Hex(const std::uint8_t* bytes, std::size_t length);
std::string Narrow(std::wstring_view text);

} // namespace pw::trace
