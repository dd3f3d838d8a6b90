#include "tests/support/program.h"

#include "common/types.h"

#include <gtest/gtest.h>

#include <cwctype>

namespace pwtest {
namespace {

bool SameName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::towupper(a[i]) != std::towupper(b[i])) return false;
    }
    return true;
}

// The test's own environment with the launch's variables put over it, as CreateProcessW takes it.
std::vector<wchar_t> EnvironmentBlock(const Launch& launch) {
    std::vector<wchar_t> block;
    wchar_t* own = GetEnvironmentStringsW();
    for (const wchar_t* entry = own; entry && *entry; entry += wcslen(entry) + 1) {
        const std::wstring text(entry);
        // Entries like "=C:=C:\folder" keep the current folder of each drive.
        const std::wstring name = text.substr(0, text.find(L'=', 1));
        bool replaced = false;
        for (const auto& [variable, value] : launch.environment)
            replaced = replaced || SameName(variable, name);
        if (!replaced) block.insert(block.end(), text.c_str(), text.c_str() + text.size() + 1);
    }
    FreeEnvironmentStringsW(own);
    for (const auto& [variable, value] : launch.environment) {
        if (value.empty()) continue;
        const std::wstring text = variable + L"=" + value;
        block.insert(block.end(), text.c_str(), text.c_str() + text.size() + 1);
    }
    block.push_back(L'\0');
    return block;
}

} // namespace

std::wstring WinePath(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (const char c : unixPath)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

std::wstring ProgramPath() {
    return WinePath(PW_PROGRAM_PATH);
}

std::wstring FolderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(15);
    }
    return true;
}

Program::Program(const Launch& launch) {
    std::wstring commandLine = L"\"" + launch.program + L"\" " + launch.arguments;
    std::vector<wchar_t> environment = EnvironmentBlock(launch);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    m_started =
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                       environment.data(), launch.folder.empty() ? nullptr : launch.folder.c_str(), &startup,
                       &m_info) != FALSE;
}

Program::~Program() {
    if (!m_started) return;
    if (Running()) Close();
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

bool Program::WaitForExit(DWORD timeoutMs) const {
    return WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Program::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

std::vector<HWND> Program::TopLevelWindows() const {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{m_info.dwProcessId, {}};
    EnumWindows(
        [](HWND wnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            DWORD pid = 0;
            GetWindowThreadProcessId(wnd, &pid);
            if (pid == s->pid) s->found.push_back(wnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> Program::MainWindows() const {
    std::vector<HWND> found;
    for (HWND wnd : TopLevelWindows()) {
        wchar_t cls[64] = {};
        if (GetClassNameW(wnd, cls, 64) && lstrcmpW(cls, pw::kMainWindowClass) == 0) found.push_back(wnd);
    }
    return found;
}

HWND Program::WaitForMainWindow(DWORD timeoutMs) const {
    HWND wnd = nullptr;
    WaitUntil(
        [&] {
            const auto windows = MainWindows();
            wnd = windows.empty() ? nullptr : windows.front();
            return wnd != nullptr || WaitForExit(0);
        },
        timeoutMs);
    DWORD_PTR ignored = 0;
    if (wnd && !SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_BLOCK, timeoutMs, &ignored)) return nullptr;
    return wnd;
}

bool Program::Close(DWORD timeoutMs) {
    if (!m_started || WaitForExit(0)) return true;
    for (HWND wnd : MainWindows())
        PostMessageW(wnd, WM_CLOSE, 0, 0);
    if (WaitForExit(timeoutMs)) return true;
    TerminateProcess(m_info.hProcess, 99);
    WaitForExit(kExitTimeoutMs);
    ADD_FAILURE() << "the program did not end after WM_CLOSE and was terminated";
    return false;
}

} // namespace pwtest
