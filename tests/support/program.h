// The program itself as a process under Wine, for the tests that start it: its command line, current
// folder and environment, its top-level windows found by process id, and a clean end.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pwtest {

// Wine maps the build machine's root folder to drive Z:.
std::wstring WinePath(const std::string& unixPath);
// The built program in its folder, with ui\ and lan\ beside it.
std::wstring ProgramPath();
std::wstring FolderOf(const std::wstring& path);

// Polls done every 15 ms until it holds or the time is up; true when it held.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs);

inline constexpr DWORD kStartTimeoutMs = 30000;
// Under Xvfb without a window manager every activated window costs about 2 s to destroy.
inline constexpr DWORD kExitTimeoutMs = 30000;

struct Launch {
    std::wstring arguments{};
    std::wstring program = ProgramPath();
    std::wstring folder{}; // current folder at start; empty: the test's own
    // Variables set for the program over the test's own environment; an empty value removes one.
    std::vector<std::pair<std::wstring, std::wstring>> environment{};
};

class Program {
public:
    explicit Program(const Launch& launch);
    // A program still running is closed; one that has to be terminated fails the test.
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_started; }
    DWORD Id() const { return m_info.dwProcessId; }
    bool Running() const { return m_started && !WaitForExit(0); }
    bool WaitForExit(DWORD timeoutMs) const;
    DWORD ExitCode() const;

    std::vector<HWND> TopLevelWindows() const;
    // The top-level windows of the main window's class.
    std::vector<HWND> MainWindows() const;
    // The main window once the program runs its modal loop (its first show attempt is behind it);
    // nullptr when none appears in time or the program ends first.
    HWND WaitForMainWindow(DWORD timeoutMs = kStartTimeoutMs) const;

    // WM_CLOSE to the main window, then the end of the process. False, and the test fails, when the
    // program did not end by itself and had to be terminated.
    bool Close(DWORD timeoutMs = kExitTimeoutMs);

private:
    PROCESS_INFORMATION m_info{};
    bool m_started = false;
};

} // namespace pwtest
