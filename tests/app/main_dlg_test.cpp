#include "app/main_app.h"
#include "app/main_dlg.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/virtual_hotplug.h"
#include "framework/pump.h"
#include "virtual/virtual_receiver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace pw;
using ::testing::ElementsAre;

class CallLog final : public IItemView {
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
    std::vector<std::wstring> calls;
    std::vector<std::wstring> receivers;
};

class TestMainDlg final : public CMainDlg {
public:
    TestMainDlg(IItemView& view, CVirtualHotplug* hotplug) : m_view(view), m_pHotplug(hotplug) {}

protected:
    IItemView& ItemView() override { return m_view; }
    CVirtualHotplug* VirtualHotplug() override { return m_pHotplug; }

private:
    IItemView& m_view;
    CVirtualHotplug* m_pHotplug;
};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, settings::kKeyPath);
        RegisterMainWindowClass(GetModuleHandleW(nullptr));
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, settings::kKeyPath); }

    CMainApp app;
    virt::VirtualBus bus;
    hid::ScopedBackend scoped{bus};
    CVirtualHotplug hotplug{bus};
    CallLog view;
};

TEST_F(MainWindow, StaysHiddenWhileShowIsFalseUntilAskedToShow) {
    app.m_bShow = false;
    TestMainDlg dialog(view, &hotplug);
    ASSERT_TRUE(dialog.Create(nullptr));
    wchar_t cls[64] = {};
    GetClassNameW(dialog.m_hWnd, cls, 64);
    EXPECT_STREQ(cls, kMainWindowClass) << "template 102 names the class";
    EXPECT_FALSE(dialog.IsWindowVisible());
    dialog.ShowWindow(SW_SHOWNORMAL);
    SetWindowPos(dialog.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    EXPECT_FALSE(dialog.IsWindowVisible());

    dialog.SendMessage(WM_SHOW_CONTROL_PANEL);
    EXPECT_TRUE(app.m_bShow);
    EXPECT_TRUE(dialog.IsWindowVisible());

    dialog.ShowWindow(SW_MINIMIZE);
    dialog.SendMessage(WM_SHOW_CONTROL_PANEL);
    EXPECT_FALSE(IsIconic(dialog.m_hWnd)) << "restored";
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

    const TestMainDlg dialog(view, &hotplug);
    EXPECT_EQ(dialog.KeySets().cmdPipe, KeySet{entry});
    EXPECT_TRUE(dialog.KeySets().noCmdPipe.empty());
}

TEST_F(MainWindow, DiscoversAtStartAndFollowsPlugsLikeRealHardware) {
    virt::ReceiverConfig second;
    second.tag = "R2";
    virt::VirtualReceiver& r1 = bus.AddReceiver(virt::ReceiverConfig{});
    virt::VirtualReceiver& r2 = bus.AddReceiver(second);
    bus.Plug(r1);

    TestMainDlg dialog(view, &hotplug);
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

} // namespace
