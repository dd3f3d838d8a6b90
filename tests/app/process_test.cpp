// The program itself, started as real processes under Wine: heavy hot-plugging and a planted DLL.
#include "app/settings.h"
#include "tests/support/program.h"
#include "virtual/virtual_hid_win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using namespace pw;
using pwtest::kStartTimeoutMs;
using pwtest::Program;

class ProgramRun : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, settings::kKeyPath); }
};

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

    Program program({.arguments = L"DebugMode", .environment = {{kVirtualEnvironmentVariable, file}}});
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
    ASSERT_TRUE(program.Close());
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
    ASSERT_TRUE(CopyFileW(pwtest::ProgramPath().c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(pwtest::WinePath(PW_FAKE_WTSAPI_PATH).c_str(), (folder + L"\\wtsapi32.dll").c_str(),
                          FALSE));

    // Wine prefers its own copy of a system DLL; a Windows loader takes one found beside the program.
    const wchar_t kOverrides[] = L"Software\\Wine\\AppDefaults\\Pairwright.exe\\DllOverrides";
    const wchar_t kNativeFirst[] = L"native,builtin";
    RegSetKeyValueW(HKEY_CURRENT_USER, kOverrides, L"wtsapi32", REG_SZ, kNativeFirst, sizeof kNativeFirst);
    {
        Program run({.arguments = L"NoShow", .program = program, .folder = folder});
        ASSERT_NE(run.WaitForMainWindow(kStartTimeoutMs), nullptr);
        ASSERT_TRUE(run.Close());
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
