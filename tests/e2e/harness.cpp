#include "tests/e2e/harness.h"

#include "app/settings.h"
#include "common/trace.h"
#include "lang/multi_language.h"
#include "res/resource.h"
#include "virtual/virtual_hid_win.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace pwtest::e2e {
namespace fs = std::filesystem;

Window Inspect(HWND wnd) {
    Window w;
    w.hwnd = wnd;
    wchar_t cls[128] = {};
    GetClassNameW(wnd, cls, 128);
    w.className = cls;
    wchar_t text[1024] = {};
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(wnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kWaitMs,
                            &length))
        w.text.assign(text, length < 1024 ? length : 1023);
    w.id = GetDlgCtrlID(wnd);
    w.visible = IsWindowVisible(wnd) != FALSE;
    w.enabled = IsWindowEnabled(wnd) != FALSE;
    GetWindowRect(wnd, &w.screen);
    w.rect = w.screen;
    HWND parent = GetAncestor(wnd, GA_PARENT);
    if (parent && parent != GetDesktopWindow())
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&w.rect), 2);
    w.style = static_cast<DWORD>(GetWindowLongW(wnd, GWL_STYLE));
    w.exStyle = static_cast<DWORD>(GetWindowLongW(wnd, GWL_EXSTYLE));
    return w;
}

std::vector<Window> Children(HWND parent) {
    std::vector<Window> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(Inspect(child));
    return children;
}

std::optional<Window> Control(HWND dialog, int id) {
    for (Window& child : Children(dialog)) {
        if (child.id == id) return std::move(child);
    }
    return std::nullopt;
}

std::vector<Window> VisibleWindows(const Program& program) {
    std::vector<Window> visible;
    for (HWND wnd : program.TopLevelWindows()) {
        if (IsWindowVisible(wnd)) visible.push_back(Inspect(wnd));
    }
    return visible;
}

HWND WaitForWindowTitled(const Program& program, std::wstring_view text, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND wnd : program.TopLevelWindows()) {
                if (Inspect(wnd).text == text) found = wnd;
            }
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

Trace::Trace() {
    wchar_t folder[MAX_PATH] = {};
    wchar_t file[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"pwt", 0, file);
    m_path = file;
}

Trace::~Trace() {
    DeleteFileW(m_path.c_str());
}

const std::vector<TraceLine>& Trace::Lines() const {
    // The program appends while it runs: read what came since the last look.
    HANDLE file =
        CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return m_lines;
    LARGE_INTEGER offset{};
    offset.QuadPart = static_cast<LONGLONG>(m_offset);
    SetFilePointerEx(file, offset, nullptr, FILE_BEGIN);
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        m_offset += read;
        m_partial.append(buffer, read);
    }
    CloseHandle(file);
    std::size_t begin = 0;
    for (std::size_t end; (end = m_partial.find('\n', begin)) != std::string::npos; begin = end + 1) {
        const std::string line = m_partial.substr(begin, end - begin);
        TraceLine parsed{.index = m_lines.size()};
        const std::size_t first = line.find(' ');
        const std::size_t second = line.find(' ', first + 1);
        parsed.microseconds = std::strtoll(line.c_str(), nullptr, 10);
        if (first != std::string::npos) parsed.category = line.substr(first + 1, second - first - 1);
        if (second != std::string::npos) parsed.text = line.substr(second + 1);
        m_lines.push_back(std::move(parsed));
    }
    m_partial.erase(0, begin);
    return m_lines;
}

namespace {

void Collect(const std::vector<TraceLine>& lines, std::string_view category, const std::regex& expression,
             std::size_t from, std::vector<TraceLine>& found) {
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (lines[i].category == category && std::regex_search(lines[i].text, expression))
            found.push_back(lines[i]);
    }
}

} // namespace

std::vector<TraceLine> Trace::Find(std::string_view category, const std::string& pattern,
                                   std::size_t from) const {
    std::vector<TraceLine> found;
    Collect(Lines(), category, std::regex(pattern), from, found);
    return found;
}

std::optional<TraceLine> Trace::WaitFor(std::string_view category, const std::string& pattern,
                                        DWORD timeoutMs, std::size_t from) const {
    const std::regex expression(pattern);
    std::vector<TraceLine> found;
    WaitUntil(
        [&] {
            const std::vector<TraceLine>& lines = Lines();
            Collect(lines, category, expression, from, found);
            // The next look starts where this one ended.
            from = std::max(from, lines.size());
            return !found.empty();
        },
        timeoutMs);
    if (found.empty()) return std::nullopt;
    return found.front();
}

namespace {

HWND HandleOf(const TraceLine& line) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(
        std::strtoull(line.text.substr(line.text.rfind(' ') + 1).c_str(), nullptr, 16)));
}

} // namespace

HWND Trace::WaitForOpen(std::string_view symbol, DWORD timeoutMs, std::size_t from) const {
    const auto line = WaitFor("window", "^open " + std::string(symbol) + " ", timeoutMs, from);
    return line ? HandleOf(*line) : nullptr;
}

HWND Trace::WaitForShown(std::string_view symbol, DWORD timeoutMs, std::size_t from) const {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    HWND wnd = WaitForOpen(symbol, timeoutMs, from);
    const auto left = [&] { return static_cast<DWORD>(std::max<LONGLONG>(0, deadline - GetTickCount64())); };
    if (!wnd || !WaitUntil([&] { return IsWindowVisible(wnd) || !IsWindow(wnd); }, left()) || !IsWindow(wnd))
        return nullptr;
    // Answered once the program's thread is back in its message loop, after the opener placed the window.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, std::max<DWORD>(left(), 1), &ignored))
        return nullptr;
    return wnd;
}

bool Trace::WaitForClose(HWND wnd, DWORD timeoutMs) const {
    return WaitUntil(
        [&] {
            for (const TraceLine& line : Find("window", "^close ")) {
                if (HandleOf(line) == wnd) return true;
            }
            return false;
        },
        timeoutMs);
}

std::vector<HWND> Trace::OpenWindows(std::string_view symbol) const {
    std::vector<HWND> open;
    for (const TraceLine& line : Find("window", "^(open|close) " + std::string(symbol) + " ")) {
        if (line.text.starts_with("open "))
            open.push_back(HandleOf(line));
        else
            std::erase(open, HandleOf(line));
    }
    return open;
}

std::string Trace::SymbolOf(HWND wnd) const {
    std::string symbol;
    for (const TraceLine& line : Find("window", "^open ")) {
        if (HandleOf(line) == wnd) symbol = line.text.substr(5, line.text.rfind(' ') - 5);
    }
    return symbol;
}

std::string Literal(std::string_view text) {
    static constexpr std::string_view kSpecial = R"(\^$.|?*+()[]{})";
    std::string pattern;
    for (const char c : text) {
        if (kSpecial.find(c) != std::string_view::npos) pattern += '\\';
        pattern += c;
    }
    return pattern;
}

std::vector<Row> Rows(const Trace& trace, HWND itemView) {
    std::vector<Row> rows;
    for (const Window& child : Children(itemView)) {
        if (!child.visible) continue;
        Row row{.hwnd = child.hwnd, .symbol = trace.SymbolOf(child.hwnd), .rect = child.rect};
        if (row.symbol == "IDD_NO_DONGLE_TIP") continue;
        const int nameId = row.symbol == "IDD_RECEIVER_ITEM" ? IDC_STATIC_RECEIVER_NAME
                           : row.symbol == "IDD_DEVICE_ITEM" ? IDC_STATIC_DEVICE_NAME
                                                             : 0;
        if (const auto name = nameId ? Control(child.hwnd, nameId) : std::nullopt) row.name = name->text;
        rows.push_back(std::move(row));
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.rect.top < b.rect.top; });
    return rows;
}

std::string Describe(const std::vector<Row>& rows) {
    std::string text;
    for (const Row& row : rows) {
        if (!text.empty()) text += " | ";
        text += row.symbol;
        if (!row.name.empty()) {
            text += ' ';
            text += Utf8(row.name);
        }
    }
    return text;
}

bool Stacked(const std::vector<Row>& rows) {
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i].rect.top != rows[i - 1].rect.bottom) return false;
    }
    return true;
}

bool CentredOn(const Window& popup, HWND main) {
    RECT around{};
    RECT work{};
    if (!GetWindowRect(main, &around) || !SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) return false;
    const RECT& own = popup.screen;
    const auto centred = [](LONG aroundLow, LONG aroundHigh, LONG size, LONG workLow, LONG workHigh) {
        return std::clamp<LONG>((aroundLow + aroundHigh) / 2 - size / 2, workLow, workHigh - size);
    };
    return own.left == centred(around.left, around.right, own.right - own.left, work.left, work.right) &&
           own.top == centred(around.top, around.bottom, own.bottom - own.top, work.top, work.bottom);
}

std::string Utf8(std::wstring_view text) {
    std::string out(text.size() * 3, '\0');
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                           static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return out;
}

std::wstring ProgramFolder() {
    return FolderOf(ProgramPath());
}

std::wstring ScenarioPath(std::string_view name) {
    return WinePath(std::string(PW_SCENARIO_DIR) + "/" + std::string(name) + ".txt");
}

ProgramCopy::ProgramCopy(Language language) {
    static int s_serial = 0;
    const fs::path dist = ProgramFolder();
    const fs::path copy = fs::temp_directory_path() / ("pw_program_" + std::to_string(GetCurrentProcessId()) +
                                                       "_" + std::to_string(++s_serial));
    fs::remove_all(copy);
    fs::create_directories(copy / "lan");
    fs::copy_file(dist / "Pairwright.exe", copy / "Pairwright.exe");
    fs::copy(language == Arabic ? dist / "lan" / "Arabic" / "ui" : dist / "ui", copy / "ui");
    for (const fs::directory_entry& entry : fs::directory_iterator(dist / "lan")) {
        if (entry.is_regular_file()) fs::copy_file(entry.path(), copy / "lan" / entry.path().filename());
    }
    m_folder = copy.wstring();
    if (language == Arabic)
        WritePrivateProfileStringW(L"Language", L"Default", L"Arabic",
                                   (m_folder + L"\\lan\\pairwright.ini").c_str());
}

ProgramCopy::~ProgramCopy() {
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
}

Session::Session(const Start& start)
    : program({.arguments = start.arguments,
               .program = start.folder + L"\\Pairwright.exe",
               .environment = {{pw::kVirtualEnvironmentVariable, ScenarioPath(start.scenario)},
                               {pw::trace::kEnvironmentVariable, trace.Path()}}}) {}

Session::~Session() {
    program.Close();
    if (!::testing::Test::HasFailure()) return;
    std::string lines;
    for (const TraceLine& line : trace.Lines()) {
        if (line.category != "hid" && line.category != "bus")
            lines += std::to_string(line.microseconds) + " " + line.category + " " + line.text + "\n";
    }
    std::printf("The program's trace, without its transfers:\n%s", lines.c_str());
}

bool Click(HWND dialog, int id) {
    // Only what a user could press: shown and enabled, in a window that takes input.
    HWND button = GetDlgItem(dialog, id);
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button) ||
        !IsWindowEnabled(GetAncestor(button, GA_ROOT)))
        return false;
    return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

bool PressKey(HWND window, WORD virtualKey) {
    SetForegroundWindow(window);
    if (!WaitUntil([&] { return GetForegroundWindow() == window; }, kWaitMs)) return false;
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = virtualKey;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, keys, sizeof(INPUT)) == 2;
}

void CloseWindow(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
}

void ForgetSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, pw::settings::kKeyPath);
}

void PlantSetting(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, pw::settings::kKeyPath, name, REG_DWORD, &value, sizeof value);
}

std::optional<DWORD> ReadSetting(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, pw::settings::kKeyPath, name, RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
    std::ifstream file(fs::path(path), std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::wstring LanguageText(const std::wstring& programFolder, pw::TextKey key) {
    CMultiLanguage::s_strLanguage.clear();
    CMultiLanguage::s_texts.clear();
    CMultiLanguage::s_strLanguageFile = programFolder + L"\\lan\\pairwright.ini";
    CMultiLanguage::LoadLanguageFile();
    return CMultiLanguage::GetText(key);
}

std::wstring DeviceName(const std::wstring& programFolder, std::string_view name, std::uint8_t kind) {
    LanguageText(programFolder, pw::TextKey::TrayTip);
    pw::DeviceSlotRecord record{};
    record.kind = kind;
    std::copy_n(name.begin(), std::min(name.size(), sizeof record.name), record.name);
    return CMultiLanguage::DeviceDisplayName(record);
}

void EndToEnd::SetUp() {
    ForgetSettings();
    PlantSetting(pw::settings::kShowWelcome, 0);
}

void EndToEnd::TearDown() {
    ForgetSettings();
}

} // namespace pwtest::e2e
