// The debug dialog from the program's own template 141 (the resource object is linked in), under Wine.
#include "diag/debug_dlg.h"
#include "framework/handles.h"
#include "res/resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

pw::DeviceSlotRecord Event(std::uint8_t code, std::uint8_t value) {
    pw::DeviceSlotRecord data{};
    auto* bytes = reinterpret_cast<std::uint8_t*>(&data);
    bytes[0] = code;
    bytes[1] = value;
    return data;
}

std::vector<std::uint8_t> ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> Utf16Lines(std::initializer_list<const char*> lines) {
    std::vector<std::uint8_t> bytes;
    for (const char* line : lines) {
        for (const char* c = line; *c; ++c)
            bytes.insert(bytes.end(), {static_cast<std::uint8_t>(*c), 0});
        bytes.insert(bytes.end(), {0x0D, 0, 0x0A, 0});
    }
    return bytes;
}

std::wstring SystemText(DWORD error) {
    wchar_t buffer[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, buffer, 512,
                   nullptr);
    std::wstring text = buffer;
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    return text;
}

struct Report {
    HWND owner;
    std::wstring message;
};

class DebugDialog : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = fs::temp_directory_path() / (L"pw_diag_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                                fs::path(test->name()).wstring());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    pw::SaveErrorReporter Recorder() {
        return [this](HWND owner, const std::wstring& message) { m_reports.push_back({owner, message}); };
    }
    fs::path LogPath() const { return m_folder / L"PairingLog.txt"; }
    static void Click(const CWnd& dialog, int id) { SendMessageW(dialog.GetDlgItem(id), BM_CLICK, 0, 0); }
    static LRESULT ListMessage(const CWnd& dialog, UINT message) {
        return SendMessageW(dialog.GetDlgItem(IDC_LIST_LOG), message, 0, 0);
    }
    std::vector<fs::path> FolderContents() const { return FolderContents(m_folder); }
    static std::vector<fs::path> FolderContents(const fs::path& folder) {
        std::vector<fs::path> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename());
        return names;
    }

    fs::path m_folder;
    std::vector<Report> m_reports;
};

TEST_F(DebugDialog, LinesComeFromEventCodeAndValueAndAppendWithoutScrollingOrSelecting) {
    pw::CDlgDebug dialog(m_folder.wstring(), Recorder());
    dialog.AddLogLine(Event(0xD0, 1)); // no window yet: nothing, no crash
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_TRUE(dialog.IsWindowVisible());
    EXPECT_EQ(dialog.GetWindowText(), L"Debug Dialog");

    dialog.AddLogLine(Event(0xD0, 1));
    dialog.AddLogLine(Event(0x00, 1));
    dialog.AddLogLine(Event(0xAC, 2));
    dialog.AddLogLine(Event(0x5C, 1));
    dialog.AddLogLine(Event(0xFF, 0));
    dialog.AddLogLine(Event(0xD0, 0));
    dialog.AddLogLine(Event(0xA4, 1));
    EXPECT_EQ(dialog.GetLines(), (std::vector<std::wstring>{
                                     L"Debug log is enabled", L"Receive 0x5C but check Fail",
                                     L"Debug log is disabled", L"State mechanism in Progress A (Pipe0)"}));

    // More lines than the list shows: the view stays at the top and nothing gets selected.
    for (int i = 0; i < 40; ++i)
        dialog.AddLogLine(Event(0xA2, 0));
    EXPECT_EQ(dialog.GetLines().size(), 44u);
    EXPECT_EQ(dialog.GetLines().back(), L"State mechanism in Init");
    EXPECT_EQ(ListMessage(dialog, LB_GETTOPINDEX), 0);
    EXPECT_EQ(ListMessage(dialog, LB_GETCURSEL), LB_ERR);
    dialog.DestroyWindow();
}

TEST_F(DebugDialog, EverySaveReplacesTheFileWithTheWholeList) {
    pw::CDlgDebug dialog(m_folder.wstring() + L"\\", Recorder()); // a trailing separator is not doubled
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_EQ(fs::path(dialog.GetLogPath()), LogPath());

    // A longer log from an earlier run is replaced, not overwritten in place.
    std::ofstream(LogPath(), std::ios::binary) << std::string(400, 'x');
    Click(dialog, IDC_BTN_SAVE);
    ASSERT_TRUE(fs::exists(LogPath()));
    EXPECT_EQ(fs::file_size(LogPath()), 0u) << "an empty list gives an empty file";

    dialog.AddLogLine(Event(0xA2, 0));
    dialog.AddLogLine(Event(0xAC, 1));
    Click(dialog, IDC_BTN_SAVE);
    const auto two = Utf16Lines({"State mechanism in Init", "Receive 0x5C and check Pass"});
    EXPECT_EQ(ReadFileBytes(LogPath()), two);
    Click(dialog, IDC_BTN_SAVE);
    EXPECT_EQ(ReadFileBytes(LogPath()), two);

    dialog.AddLogLine(Event(0xA1, 0));
    Click(dialog, IDC_BTN_SAVE);
    EXPECT_EQ(ReadFileBytes(LogPath()), Utf16Lines({"State mechanism in Init", "Receive 0x5C and check Pass",
                                                    "State mechanism in Success"}));
    EXPECT_EQ(dialog.GetLines().size(), 3u) << "the list keeps its lines";
    EXPECT_TRUE(m_reports.empty());
    EXPECT_EQ(FolderContents(), std::vector<fs::path>{L"PairingLog.txt"});
    dialog.DestroyWindow();
}

TEST_F(DebugDialog, FailedSaveTellsTheUserAndLeavesAGoodLogUntouched) {
    enum class Obstacle { MissingFolder, LogIsAFolder, LogHeldOpen };
    struct Case {
        const char* name;
        Obstacle obstacle;
        std::vector<DWORD> errors; // the system's text of one of these ends the message
    };
    const Case cases[] = {
        {"missing folder", Obstacle::MissingFolder, {ERROR_PATH_NOT_FOUND}},
        {"PairingLog.txt is a folder", Obstacle::LogIsAFolder, {ERROR_ACCESS_DENIED}},
        {"log held open without sharing",
         Obstacle::LogHeldOpen,
         {ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION}},
    };
    const fs::path folder = m_folder / L"program";
    const fs::path log = folder / L"PairingLog.txt";
    const auto good = Utf16Lines({"State mechanism in Success"});
    const auto saved = Utf16Lines({"State mechanism in Fail", "State mechanism in Cancel"});

    pw::CDlgDebug dialog(folder.wstring(), Recorder());
    ASSERT_TRUE(dialog.Create(nullptr));
    dialog.AddLogLine(Event(0xA0, 0));
    dialog.AddLogLine(Event(0xA6, 0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_reports.clear();
        fs::remove_all(folder);
        fw::UniqueKernelHandle held;
        switch (c.obstacle) {
        case Obstacle::MissingFolder: break;
        case Obstacle::LogIsAFolder: fs::create_directories(log); break;
        case Obstacle::LogHeldOpen:
            fs::create_directories(folder);
            std::ofstream(log, std::ios::binary)
                .write(reinterpret_cast<const char*>(good.data()), static_cast<std::streamsize>(good.size()));
            held.reset(
                CreateFileW(log.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(held);
            break;
        }

        Click(dialog, IDC_BTN_SAVE);
        ASSERT_EQ(m_reports.size(), 1u);
        EXPECT_EQ(m_reports[0].owner, dialog.m_hWnd);
        const std::wstring& message = m_reports[0].message;
        EXPECT_NE(message.find(log.wstring()), std::wstring::npos) << message;
        EXPECT_TRUE(std::any_of(c.errors.begin(), c.errors.end(), [&](DWORD error) {
            return message.ends_with(SystemText(error));
        })) << message;
        if (c.obstacle == Obstacle::MissingFolder) continue;
        EXPECT_EQ(FolderContents(folder), std::vector<fs::path>{L"PairingLog.txt"})
            << "no temporary file is left";
        if (c.obstacle == Obstacle::LogHeldOpen) {
            held.reset();
            EXPECT_EQ(ReadFileBytes(log), good);
            Click(dialog, IDC_BTN_SAVE);
            EXPECT_EQ(ReadFileBytes(log), saved) << "the obstacle gone, the next save works";
            EXPECT_EQ(m_reports.size(), 1u);
        }
    }
    EXPECT_EQ(dialog.GetLines().size(), 2u);
    dialog.DestroyWindow();
}

// A message loop that routes keys through the dialog manager, run until the window is gone.
void PumpDialogUntilDestroyed(HWND dialog) {
    const ULONGLONG deadline = GetTickCount64() + 5000;
    while (IsWindow(dialog) && GetTickCount64() < deadline) {
        MSG msg;
        while (IsWindow(dialog) && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (IsDialogMessageW(dialog, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

TEST_F(DebugDialog, OkEscapeAndCloseBoxDestroyTheWindowAndTheNextOneStartsEmpty) {
    struct Ending {
        const char* name;
        void (*end)(HWND dialog);
    };
    const Ending endings[] = {
        {"OK button", [](HWND d) { SendMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); }},
        // Routed by this test's loop through the dialog manager, which turns it into IDCANCEL.
        {"Escape key",
         [](HWND d) {
             PostMessageW(GetDlgItem(d, IDC_LIST_LOG), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
             PumpDialogUntilDestroyed(d);
         }},
        // What the title-bar box sends; the system turns it into WM_CLOSE.
        {"close box", [](HWND d) { SendMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    // One object for all, as the item view keeps it; created over the desktop like the item view does.
    pw::CDlgDebug dialog(m_folder.wstring(), Recorder());
    for (const Ending& e : endings) {
        SCOPED_TRACE(e.name);
        ASSERT_TRUE(dialog.Create(GetDesktopWindow()));
        EXPECT_TRUE(dialog.GetLines().empty());
        dialog.AddLogLine(Event(0xD0, 1));
        EXPECT_EQ(dialog.GetLines(), std::vector<std::wstring>{L"Debug log is enabled"});
        dialog.AddLogLine(Event(0xA3, 0));

        HWND wnd = dialog.m_hWnd;
        e.end(wnd);
        EXPECT_FALSE(IsWindow(wnd)) << "the window is destroyed, not hidden";
        EXPECT_EQ(dialog.m_hWnd, nullptr);
        EXPECT_TRUE(dialog.GetLines().empty());
        dialog.AddLogLine(Event(0xD0, 1)); // a report after the end waits for a new window
    }
    EXPECT_FALSE(fs::exists(LogPath())) << "nothing is written unless Save is pressed";
}

} // namespace
