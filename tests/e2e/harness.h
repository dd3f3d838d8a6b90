// The end-to-end harness: the real program started on a scenario of scenarios/ with a fresh trace,
// its windows read from outside the way the user sees them, its trace read as it grows, and the
// user's actions. Every wait has a deadline; nothing here waits for a timer of the program.
#pragma once

#include "lang/text_keys.h"
#include "tests/support/program.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pwtest::e2e {

inline constexpr DWORD kWaitMs = 10000;

// ---- Windows of the program, read from this process.

struct Window {
    HWND hwnd = nullptr;
    std::wstring className;
    std::wstring text; // WM_GETTEXT
    int id = 0;        // control id
    bool visible = false;
    bool enabled = false;
    RECT rect{};   // in the client coordinates of the parent; screen coordinates for a top-level window
    RECT screen{}; // on the screen
    DWORD style = 0;
    DWORD exStyle = 0;
};

Window Inspect(HWND wnd);
// The direct children of the window, in z order.
std::vector<Window> Children(HWND parent);
// The direct child with this control id; nullopt when there is none.
std::optional<Window> Control(HWND dialog, int id);
// The program's visible top-level windows.
std::vector<Window> VisibleWindows(const Program& program);
// A top-level window of the program with this text, waiting for it; nullptr when none appears in time.
HWND WaitForWindowTitled(const Program& program, std::wstring_view text, DWORD timeoutMs = kWaitMs);

// ---- The trace: "<microseconds> <category> <text>" per line.

struct TraceLine {
    std::size_t index = 0; // line number in the file, from 0
    std::int64_t microseconds = 0;
    std::string category{};
    std::string text{};
};

class Trace {
public:
    // A new empty temporary file, deleted again by the destructor.
    Trace();
    ~Trace();
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    const std::wstring& Path() const { return m_path; }
    // Every complete line written so far.
    const std::vector<TraceLine>& Lines() const;
    // The lines of the category whose text matches the pattern (ECMAScript, anywhere in the text),
    // from line index `from` on.
    std::vector<TraceLine> Find(std::string_view category, const std::string& pattern,
                                std::size_t from = 0) const;
    // The first such line, waiting for it.
    std::optional<TraceLine> WaitFor(std::string_view category, const std::string& pattern,
                                     DWORD timeoutMs = kWaitMs, std::size_t from = 0) const;
    // Skinned windows by their template symbol ("IDD_PAIR_REQ"), from the window lines.
    HWND WaitForOpen(std::string_view symbol, DWORD timeoutMs = kWaitMs, std::size_t from = 0) const;
    // Such a window once it is shown and its opener is done with it (the window line is written while
    // it is created, before it shows and before it is placed); nullptr when that does not happen in time
    // or the window is gone already.
    HWND WaitForShown(std::string_view symbol, DWORD timeoutMs = kWaitMs, std::size_t from = 0) const;
    bool WaitForClose(HWND wnd, DWORD timeoutMs = kWaitMs) const;
    // The windows of the template open now, in the order they were opened.
    std::vector<HWND> OpenWindows(std::string_view symbol) const;
    // The template symbol of a skinned window the program opened; empty for any other window.
    std::string SymbolOf(HWND wnd) const;

private:
    std::wstring m_path;
    mutable std::vector<TraceLine> m_lines;
    mutable std::string m_partial; // the end of the file after its last line feed
    mutable std::uint64_t m_offset = 0;
};

// A device path as the trace writes it, made a pattern that matches only itself.
std::string Literal(std::string_view text);

// ---- The item view's list, as it shows.

struct Row {
    HWND hwnd = nullptr;
    std::string symbol;  // IDD_RECEIVER_ITEM, IDD_DEVICE_ITEM or IDD_ADD_NEW_DEV
    std::wstring name{}; // the receiver's or the device's name; empty for the add-device item
    RECT rect{};         // in the item view's client coordinates
};

// The visible rows of the item view, top to bottom.
std::vector<Row> Rows(const Trace& trace, HWND itemView);
// "IDD_RECEIVER_ITEM Vorn Veltrane Receiver | IDD_DEVICE_ITEM Vorn QT 1 Keyboard | IDD_ADD_NEW_DEV": the
// list in one line, to compare and to print.
std::string Describe(const std::vector<Row>& rows);
// UTF-8, for messages and comparisons with literals.
std::string Utf8(std::wstring_view text);
// True when each row begins where the one above it ends.
bool Stacked(const std::vector<Row>& rows);

// True when the pop-up is centred on the main window, as far as the screen's work area lets it be.
bool CentredOn(const Window& popup, HWND main);

// ---- The program on a scenario.

// The program folder of the build, with ui\ and lan\.
std::wstring ProgramFolder();
std::wstring ScenarioPath(std::string_view name);

// A copy of the program folder, removed again by the destructor: for runs that write into their folder,
// and for Arabic, installed as a user does it: "Default=Arabic" in lan\pairwright.ini and the
// right-to-left renderings of lan\Arabic\ui as ui\.
class ProgramCopy {
public:
    enum Language { AsBuilt, Arabic };
    explicit ProgramCopy(Language language = AsBuilt);
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;
    const std::wstring& Folder() const { return m_folder; }

private:
    std::wstring m_folder;
};

struct Start {
    std::string scenario{};                // file name in scenarios/ without ".txt"
    std::wstring arguments{};              // "NoShow", "DebugMode"
    std::wstring folder = ProgramFolder(); // the program folder to run from
};

// One run of the program with its own trace. The trace file outlives the process.
class Session {
public:
    explicit Session(const Start& start);
    // A case that failed prints what the program did: its window, dispatch and discovery lines.
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    Trace trace;
    Program program;
    // The main window once the program runs its loop; nullptr when it does not appear.
    HWND MainWindow() const { return program.WaitForMainWindow(); }
};

// ---- What a user does.

// Presses a button of a window (posted BM_CLICK, skinned buttons too); false when there is no such
// control or a user could not press it (hidden, disabled, or its window disabled).
bool Click(HWND dialog, int id);
// A key stroke through the system's input: the window is made the foreground window first.
bool PressKey(HWND window, WORD virtualKey);
// The title-bar close box or Alt+F4.
void CloseWindow(HWND window);

// ---- The world around the program.

// The settings key of the program, removed.
void ForgetSettings();
void PlantSetting(const wchar_t* name, DWORD value);
std::optional<DWORD> ReadSetting(const wchar_t* name);
// A file the program wrote, byte for byte; nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::wstring& path);
// The text the program folder's language file gives the key in the language it starts with.
std::wstring LanguageText(const std::wstring& programFolder, pw::TextKey key);
// A device as the program names it in that language ("Vorn QT 5 Mouse").
std::wstring DeviceName(const std::wstring& programFolder, std::string_view name, std::uint8_t kind);

// Every case starts from settings without the welcome page (it would open on each start; the cases
// about it plant their own value) and leaves no settings behind.
class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

} // namespace pwtest::e2e
