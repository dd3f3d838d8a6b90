// The program itself, started as real processes under Wine: single instance, hidden start, clean end.
#include "app/settings.h"
#include "virtual/virtual_hid_win.h"
#include "common/types.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

namespace {

using namespace pw;

// Wine maps the build machine's root folder to drive Z:.
std::wstring WinePath(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char c : std::string(unixPath))
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

std::wstring ProgramPath() {
    return WinePath(PW_PROGRAM_PATH);
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
    return true;
}

class Program {
public:
    Program(const std::wstring& arguments, const wchar_t* folder = nullptr,
            const std::wstring& program = ProgramPath()) {
        std::wstring commandLine = L"\"" + program + L"\" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        m_started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder,
                                   &startup, &m_info) != FALSE;
    }
    ~Program() {
        if (!m_started) return;
        if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(m_info.hProcess, 99);
        CloseHandle(m_info.hThread);
        CloseHandle(m_info.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_started; }
    bool WaitForExit(DWORD timeoutMs) const {
        return WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(m_info.hProcess, &code);
        return code;
    }
    // The process's top-level windows of the main window's class.
    std::vector<HWND> MainWindows() const {
        struct Search {
            DWORD pid;
            std::vector<HWND> found;
        } search{m_info.dwProcessId, {}};
        EnumWindows(
            [](HWND wnd, LPARAM lParam) -> BOOL {
                auto* s = reinterpret_cast<Search*>(lParam);
                wchar_t cls[64] = {};
                DWORD pid = 0;
                GetWindowThreadProcessId(wnd, &pid);
                if (pid == s->pid && GetClassNameW(wnd, cls, 64) && lstrcmpW(cls, kMainWindowClass) == 0)
                    s->found.push_back(wnd);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // The main window once the program runs its modal loop (its first show attempt is behind it).
    HWND WaitForMainWindow(DWORD timeoutMs) const {
        HWND wnd = nullptr;
        WaitFor(
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

private:
    PROCESS_INFORMATION m_info{};
    bool m_started = false;
};

DWORD ReadDword(const wchar_t* name, DWORD& type) {
    DWORD value = 0xDEADBEEF;
    DWORD size = sizeof value;
    type = REG_NONE;
    RegGetValueW(HKEY_CURRENT_USER, settings::kKeyPath, name, RRF_RT_ANY, &type, &value, &size);
    return value;
}

class ProgramRun : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, settings::kKeyPath);
        SetEnvironmentVariableW(kVirtualEnvironmentVariable, nullptr);
    }
    void TearDown() override { SetEnvironmentVariableW(kVirtualEnvironmentVariable, nullptr); }
};

constexpr DWORD kStartTimeoutMs = 30000;

TEST_F(ProgramRun, SecondInstanceShowsTheHiddenFirstAndEndsAtOnce) {
    wchar_t elsewhere[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, elsewhere);
    Program first(L"NoShow", elsewhere);
    ASSERT_TRUE(first.Started());
    HWND wnd = first.WaitForMainWindow(kStartTimeoutMs);
    ASSERT_NE(wnd, nullptr) << "the first instance runs its main window";
    EXPECT_FALSE(IsWindowVisible(wnd)) << "started with NoShow";
    ShowWindow(wnd, SW_SHOW);
    EXPECT_FALSE(IsWindowVisible(wnd)) << "not even when shown from outside";

    DWORD type = 0;
    EXPECT_EQ(ReadDword(settings::kFirstRun, type), 0u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadDword(settings::kShowWelcome, type), 1u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));

    Program second(L"");
    ASSERT_TRUE(second.Started());
    ASSERT_TRUE(second.WaitForExit(kStartTimeoutMs));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(second.MainWindows().empty());

    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(wnd) != FALSE; }, 10000)) << "the first shows itself";
    EXPECT_EQ(first.MainWindows().size(), 1u);

    PostMessageW(wnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(first.WaitForExit(kStartTimeoutMs));
    EXPECT_EQ(first.ExitCode(), 0u);
}

TEST_F(ProgramRun, AnswersThroughAStormOfPlugsOnTheBusThreadAndExitsCleanly) {
    // Plugged and pulled from the bus's own thread while the main window discovers and follows.
    std::string script = "receiver R1\nreceiver R2 pid 7a32\nother X1 input32\nplug R1\nplug X1\n";
    for (int t = 100; t <= 1500; t += 100)
        script += "at " + std::to_string(t) + " ms " + (t % 200 ? "plug R2\n" : "unplug R2\n");
    script += "at 1600 ms unplug R1\nat 1700 ms plug R1\n";
    wchar_t file[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"pws", 0, file);
    FILE* out = _wfopen(file, L"wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(script.data(), 1, script.size(), out);
    std::fclose(out);
    SetEnvironmentVariableW(kVirtualEnvironmentVariable, file);

    Program program(L"DebugMode");
    HWND wnd = program.WaitForMainWindow(kStartTimeoutMs);
    ASSERT_NE(wnd, nullptr);
    EXPECT_TRUE(IsWindowVisible(wnd));
    // The driver's steps take 1.7 s from the start; the window answers throughout.
    const ULONGLONG until = GetTickCount64() + 2500;
    while (GetTickCount64() < until) {
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_BLOCK, 10000, &ignored));
        Sleep(50);
    }
    PostMessageW(wnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(kStartTimeoutMs));
    EXPECT_EQ(program.ExitCode(), 0u);
    DeleteFileW(file);
}

TEST_F(ProgramRun, ADllPlantedBesideTheProgramIsNeverLoaded) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"pw_planted";
    const std::wstring marker = folder + L"\\planted-dll-was-loaded";
    CreateDirectoryW(folder.c_str(), nullptr);
    DeleteFileW(marker.c_str());
    const std::wstring program = folder + L"\\Pairwright.exe";
    ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(
        CopyFileW(WinePath(PW_FAKE_WTSAPI_PATH).c_str(), (folder + L"\\wtsapi32.dll").c_str(), FALSE));

    // Wine prefers its own copy of a system DLL; a Windows loader takes one found beside the program.
    const wchar_t kOverrides[] = L"Software\\Wine\\AppDefaults\\Pairwright.exe\\DllOverrides";
    const wchar_t kNativeFirst[] = L"native,builtin";
    RegSetKeyValueW(HKEY_CURRENT_USER, kOverrides, L"wtsapi32", REG_SZ, kNativeFirst, sizeof kNativeFirst);
    {
        Program run(L"NoShow", folder.c_str(), program);
        HWND wnd = run.WaitForMainWindow(kStartTimeoutMs);
        ASSERT_NE(wnd, nullptr);
        PostMessageW(wnd, WM_CLOSE, 0, 0);
        ASSERT_TRUE(run.WaitForExit(kStartTimeoutMs));
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\Pairwright.exe");
    EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the planted wtsapi32.dll was loaded";
    DeleteFileW((folder + L"\\wtsapi32.dll").c_str());
    DeleteFileW(program.c_str());
    DeleteFileW(marker.c_str());
    RemoveDirectoryW(folder.c_str());
}

} // namespace
