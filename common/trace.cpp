#include "common/trace.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>

namespace pw::trace {
namespace {

std::atomic<bool> g_enabled{false};
std::mutex g_mutex;
std::FILE* g_file = nullptr; // guarded by g_mutex

} // namespace

bool Enabled() {
    return g_enabled.load(std::memory_order_relaxed);
}

bool Start(const std::filesystem::path& file) {
    const std::lock_guard lock(g_mutex);
    if (g_file) std::fclose(g_file);
#ifdef _WIN32
    g_file = _wfopen(file.c_str(), L"ab");
#else
    g_file = std::fopen(file.c_str(), "ab");
#endif
    g_enabled.store(g_file != nullptr);
    return g_file != nullptr;
}

void Stop() {
    const std::lock_guard lock(g_mutex);
    g_enabled.store(false);
    if (g_file) std::fclose(g_file);
    g_file = nullptr;
}

std::int64_t NowMicroseconds() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void Write(std::string_view category, std::string_view text) {
    if (!Enabled()) return;
    std::string line = std::to_string(NowMicroseconds());
    line += ' ';
    line += category;
    line += ' ';
    line += text;
    line += '\n';
    const std::lock_guard lock(g_mutex);
    if (!g_file) return;
    std::fwrite(line.data(), 1, line.size(), g_file);
    std::fflush(g_file); // a trace is read while the program runs, and must survive a crash
}

void WindowEvent(std::string_view what, std::string_view name, const void* handle) {
    if (!Enabled()) return;
    char text[32] = {};
    std::snprintf(text, sizeof text, "%p", handle);
    Write("window", std::string(what) + " " + std::string(name) + " " + text);
}

std::string Hex(const std::uint8_t* bytes, std::size_t length) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(length * 2);
    for (std::size_t i = 0; i < length; ++i) {
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 0xF];
    }
    return out;
}

std::string Narrow(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

} // namespace pw::trace
