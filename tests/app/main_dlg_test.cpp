#include "app/main_dlg.h"
#include "app/settings.h"
#include "app/startup.h"
#include "virtual/virtual_hotplug_win.h"
#include "framework/pump.h"
#include "res/resource.h"
#include "virtual/virtual_receiver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace pw;
using ::testing::ElementsAre;

class CallLog final : public IMainItemView {
public:
    bool AddReceiver(const std::wstring& path) override {
        calls.push_back(L"AddReceiver " + path);
        receivers.push_back(LowerCasePath(path));
        return true;
    }
    bool RemoveReceiver(const std::wstring& path) override {
        calls.push_back(L"RemoveReceiver " + path);
        const auto found = std::find(receivers.begin(), receivers.end(), LowerCasePath(path));
        if (found == receivers.end()) return false;
        receivers.erase(found);
        return true;
    }
    void AddNotifyChannel(const std::wstring& path) override { calls.push_back(L"AddNotifyChannel " + path); }
    bool RemoveNotifyChannel(const std::wstring& path) override {
        calls.push_back(L"RemoveNotifyChannel " + path);
        return true;
    }
    void SetPostingEnabled(bool enabled) override {
        calls.push_back(enabled ? L"Posting on" : L"Posting off");
    }
    void RefreshAllReceivers() override { calls.push_back(L"RefreshAllReceivers"); }
    void StopAllPairing() override { calls.push_back(L"StopAllPairing"); }
    std::vector<std::wstring> calls;
    std::vector<std::wstring> receivers;
};

class NoWelcomeSwitch final : public IWelcomeSwitch {
public:
    std::optional<bool> ReadDoNotShow() override { return std::nullopt; }
    void WriteDoNotShow(bool) override {}
};

NoWelcomeSwitch g_welcomeSwitch;

class TestMainDlg final : public CMainDlg {
public:
    TestMainDlg(bool& show, const std::wstring& moduleFolder, IMainItemView& view, IDeviceNotices& notices)
        : CMainDlg({.show = show,
                    .moduleFolder = moduleFolder,
                    .notices = notices,
                    .welcomeSwitch = g_welcomeSwitch}),
          m_view(view) {}

protected:
    IMainItemView& ItemView() override { return m_view; }

private:
    IMainItemView& m_view;
};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, settings::kKeyPath);
        RegisterMainWindowClass(GetModuleHandleW(nullptr));
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, settings::kKeyPath); }

    bool show = true;
    std::wstring moduleFolder;
    virt::VirtualBus bus;
    hid::ScopedBackend scoped{bus};
    CVirtualHotplug hotplug{bus};
    CallLog view;
};

TEST_F(MainWindow, StaysHiddenWhileShowIsFalseUntilAskedToShow) {
    show = false;
    TestMainDlg dialog(show, moduleFolder, view, hotplug);
    ASSERT_TRUE(dialog.Create(nullptr));
    wchar_t cls[64] = {};
    GetClassNameW(dialog.m_hWnd, cls, 64);
    EXPECT_STREQ(cls, kMainWindowClass) << "template 102 names the class";
    EXPECT_FALSE(dialog.IsWindowVisible());
    dialog.ShowWindow(SW_SHOWNORMAL);
    SetWindowPos(dialog.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    EXPECT_FALSE(dialog.IsWindowVisible());

    // The main window hands the request to its item view, which brings it up.
    dialog.SendMessage(WM_SHOW_CONTROL_PANEL);
    EXPECT_TRUE(fw::PumpUntil([&] { return dialog.IsWindowVisible(); }, 5000));
    EXPECT_TRUE(show);

    dialog.ShowWindow(SW_MINIMIZE);
    dialog.SendMessage(WM_SHOW_CONTROL_PANEL);
    EXPECT_TRUE(fw::PumpUntil([&] { return !IsIconic(dialog.m_hWnd); }, 5000)) << "restored";
    dialog.SendMessage(WM_CLOSE);
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST_F(MainWindow, LoadsTheKeySetsWhenConstructed) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, settings::kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    const DWORD one = 1;
    const wchar_t entry[] = L"vid_2f1e&pid_7a31&mi_01&col02";
    RegSetValueExW(key, L"CmdPipes", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegSetValueExW(key, L"CmdPipe0", 0, REG_SZ, reinterpret_cast<const BYTE*>(entry), sizeof entry);
    RegCloseKey(key);

    const TestMainDlg dialog(show, moduleFolder, view, hotplug);
    EXPECT_EQ(dialog.KeySets().cmdPipe, KeySet{entry});
    EXPECT_TRUE(dialog.KeySets().noCmdPipe.empty());
}

TEST_F(MainWindow, DiscoversAtStartAndFollowsPlugsLikeRealHardware) {
    virt::ReceiverConfig second;
    second.tag = "R2";
    virt::VirtualReceiver& r1 = bus.AddReceiver(virt::ReceiverConfig{});
    virt::VirtualReceiver& r2 = bus.AddReceiver(second);
    bus.Plug(r1);

    TestMainDlg dialog(show, moduleFolder, view, hotplug);
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_THAT(view.calls,
                ElementsAre(L"AddReceiver " + r1.CommandPath(), L"AddNotifyChannel " + r1.NotifyPath()));

    view.calls.clear();
    bus.Plug(r2);
    ASSERT_TRUE(fw::PumpUntil([&] { return view.calls.size() == 2; }, 5000));
    EXPECT_THAT(view.calls,
                ElementsAre(L"AddReceiver " + r2.CommandPath(), L"AddNotifyChannel " + r2.NotifyPath()));

    view.calls.clear();
    bus.Unplug(r1);
    // Every removal asks the receivers first: one such call per interface of the receiver.
    ASSERT_TRUE(fw::PumpUntil(
        [&] {
            return std::count_if(view.calls.begin(), view.calls.end(), [](const std::wstring& call) {
                       return call.starts_with(L"RemoveReceiver ");
                   }) == 4;
        },
        5000));
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), L"RemoveReceiver " + r1.CommandPath()), 1);
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), L"RemoveNotifyChannel " + r1.CommandPath()),
              0);
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), L"RemoveNotifyChannel " + r1.NotifyPath()), 1);

    dialog.SendMessage(WM_CLOSE);
    view.calls.clear();
    bus.Unplug(r2);
    fw::PumpPending();
    EXPECT_TRUE(view.calls.empty()) << "closed: no more device notifications";
}

TEST_F(MainWindow, TitleAndButtonsFollowTheLanguageAndTheCloseButtonEndsIt) {
    struct Case {
        const wchar_t* language;
        int minimizeX;
        int closeX;
        bool rightToLeft;
    };
    const Case cases[] = {{L"English", 408, 455, false}, {L"arabic", 69, 21, true}};

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    moduleFolder = std::wstring(temp) + L"pw_main_language";
    CreateDirectoryW(moduleFolder.c_str(), nullptr);
    CreateDirectoryW((moduleFolder + L"\\lan").c_str(), nullptr);
    const std::wstring file = moduleFolder + L"\\lan\\pairwright.ini";

    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "language " << std::string(c.language, c.language + wcslen(c.language)));
        DeleteFileW(file.c_str());
        const std::wstring title = std::wstring(L"Title in ") + c.language;
        WritePrivateProfileStringW(L"Language", L"Default", c.language, file.c_str());
        WritePrivateProfileStringW(c.language, L"ID1", L"ID_TRAY_TIP", file.c_str());
        WritePrivateProfileStringW(c.language, L"TEXT1", title.c_str(), file.c_str());
        CMultiLanguage::s_strLanguage.clear();

        show = false;
        TestMainDlg dialog(show, moduleFolder, view, hotplug);
        ASSERT_TRUE(dialog.Create(nullptr));
        const auto place = [&](int id) {
            RECT r{};
            GetWindowRect(dialog.GetDlgItem(id), &r);
            MapWindowPoints(nullptr, dialog.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
            return r;
        };
        HWND titleText = dialog.GetDlgItem(IDC_STATIC_TITLE);
        EXPECT_EQ(CWnd::FromHandle(titleText)->GetWindowText(), title);
        EXPECT_EQ((GetWindowLongPtrW(titleText, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0, c.rightToLeft);
        EXPECT_EQ(place(IDC_BTN_MINIMIZE).left, c.minimizeX);
        EXPECT_EQ(place(IDC_BTN_CLOSE).left, c.closeX);
        EXPECT_EQ(place(IDC_BTN_CLOSE).right - place(IDC_BTN_CLOSE).left, 23);

        show = true;
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BTN_CLOSE, BN_CLICKED),
                           reinterpret_cast<LPARAM>(dialog.GetDlgItem(IDC_BTN_CLOSE)));
        EXPECT_FALSE(show) << "the close button hides the program for good";
        EXPECT_EQ(dialog.m_hWnd, nullptr);
    }
    CMultiLanguage::s_strLanguage.clear();
    CMultiLanguage::s_strLanguageFile.clear();
}

TEST_F(MainWindow, AnswersTheTrayIconSessionChangesAndStopsPairingWhenClosed) {
    show = false;
    TestMainDlg dialog(show, moduleFolder, view, hotplug);
    ASSERT_TRUE(dialog.Create(nullptr));
    view.calls.clear();

    EXPECT_EQ(dialog.SendMessage(WM_TRAY_CALLBACK, 0x81, WM_LBUTTONDBLCLK), 1) << "another icon";
    EXPECT_EQ(dialog.SendMessage(WM_TRAY_CALLBACK, 0x80, WM_LBUTTONUP), 0);
    fw::PumpPending();
    EXPECT_FALSE(show);
    EXPECT_EQ(dialog.SendMessage(WM_TRAY_CALLBACK, 0x80, WM_LBUTTONDBLCLK), 0);
    EXPECT_TRUE(fw::PumpUntil([&] { return show; }, 5000)) << "a double click shows the window";

    dialog.SendMessage(WM_WTSSESSION_CHANGE, 2, 0); // console disconnected
    dialog.SendMessage(WM_WTSSESSION_CHANGE, 5, 0); // a session logon: nothing
    dialog.SendMessage(WM_WTSSESSION_CHANGE, 1, 0); // console connected again
    dialog.SendMessage(WM_CLOSE);
    EXPECT_THAT(view.calls,
                ElementsAre(L"Posting off", L"Posting on", L"RefreshAllReceivers", L"StopAllPairing"));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST_F(MainWindow, ClosingSendsStopPairingToEveryReceiver) {
    virt::ReceiverConfig second;
    second.tag = "R2";
    virt::VirtualReceiver& r1 = bus.AddReceiver(virt::ReceiverConfig{});
    virt::VirtualReceiver& r2 = bus.AddReceiver(second);
    bus.Plug(r1);
    bus.Plug(r2);

    show = false;
    CMainDlg dialog(
        {.show = show, .moduleFolder = moduleFolder, .notices = hotplug, .welcomeSwitch = g_welcomeSwitch});
    ASSERT_TRUE(dialog.Create(nullptr));
    bus.ClearLog();
    dialog.SendMessage(WM_CLOSE);

    std::vector<std::wstring> stopped;
    for (const virt::Transfer& t : bus.Log()) {
        if (t.kind == virt::TransferKind::SetFeature && t.bytes.size() == 32 && t.bytes[0] == 8 &&
            t.bytes[1] == 0x0B &&
            std::all_of(t.bytes.begin() + 2, t.bytes.end(), [](std::uint8_t b) { return b == 0; }))
            stopped.push_back(t.path);
    }
    std::sort(stopped.begin(), stopped.end());
    std::vector<std::wstring> expected{r1.CommandPath(), r2.CommandPath()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(stopped, expected);
}

TEST_F(MainWindow, TheSystemMenuAboutItemShowsTheAboutBox) {
    show = false;
    TestMainDlg dialog(show, moduleFolder, view, hotplug);
    ASSERT_TRUE(dialog.Create(nullptr));

    static std::wstring s_line;
    static bool s_seen = false;
    static HWND s_main = nullptr;
    static bool s_mainEnabled = true;
    s_line.clear();
    s_seen = false;
    s_main = dialog.m_hWnd;
    s_mainEnabled = true;
    // The about box runs modally inside WM_SYSCOMMAND; a thread timer reads it and closes it.
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND about = FindWindowW(nullptr, L"About Pairwright");
        if (!about) return;
        KillTimer(nullptr, id);
        s_seen = true;
        s_mainEnabled = IsWindowEnabled(s_main) != FALSE;
        EnumChildWindows(
            about,
            [](HWND child, LPARAM) {
                wchar_t text[64] = {};
                GetWindowTextW(child, text, 64);
                if (std::wstring(text).starts_with(L"Pairwright, Version")) s_line = text;
                return TRUE;
            },
            0);
        PostMessageW(about, WM_COMMAND, IDOK, 0);
    });
    ASSERT_NE(timer, 0u);
    dialog.SendMessage(WM_SYSCOMMAND, 0x10 | 0x3, 0); // the low four bits do not matter
    EXPECT_TRUE(s_seen);
    EXPECT_EQ(s_line, L"Pairwright, Version 1.0");
    EXPECT_FALSE(s_mainEnabled) << "the about box is modal over the main window";
    EXPECT_TRUE(dialog.IsWindowEnabled());
    dialog.SendMessage(WM_CLOSE);
}

} // namespace
