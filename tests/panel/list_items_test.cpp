// The add-device item and the device item with its removal confirmation, as real windows under Wine.
#include "panel_rig.h"

#include "framework/pump.h"
#include "panel/device_item.h"
#include "panel/list_item.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace pw::test {
namespace {

DeviceSlotRecord Record(int slot, std::uint8_t kind, DeviceId id, const char* name,
                        std::uint8_t byte27 = 0x10, std::uint8_t byte28 = 0x01) {
    DeviceSlotRecord record{};
    record.slot = static_cast<std::uint8_t>(slot);
    record.kind = kind;
    WriteDeviceId(record.id, id);
    std::memcpy(record.name, name, std::min(std::strlen(name), sizeof record.name));
    auto* bytes = reinterpret_cast<std::uint8_t*>(&record);
    bytes[27] = byte27;
    bytes[28] = byte28;
    return record;
}

using ListItems = PanelWindows;

TEST_F(ListItems, AddDeviceButtonAsksTheParentForThePairingHelpOnceAndEnterOrEscapeKeepTheItem) {
    CDlgAddNewDev item(host);
    ASSERT_TRUE(item.Create(host.m_hWnd));
    item.ShowWindow(SW_SHOWNA);
    EXPECT_EQ(TextOf(item.GetDlgItem(IDC_BTN_ADD_NEW_DEV)), L"Add New Device");

    SendMessageW(item.GetDlgItem(IDC_BTN_ADD_NEW_DEV), BM_CLICK, 0, 0);
    fw::PumpPending();
    ASSERT_EQ(host.received.size(), 1u);
    EXPECT_EQ(host.received[0].message, WM_SHOW_PAIR_HELP);
    EXPECT_EQ(host.received[0].wParam, 0u);
    EXPECT_EQ(host.received[0].lParam, 0);

    item.SendMessage(WM_COMMAND, IDOK);
    item.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_TRUE(IsWindow(item.m_hWnd));
    EXPECT_TRUE(item.IsWindowVisible());

    DeviceSlotRecord record{};
    item.GetRecord(record);
    EXPECT_EQ(record.kind, 0);
    EXPECT_EQ(record.Id(), 0u);
}

TEST_F(ListItems, EveryItemTakesTheLayoutOfItsLanguage) {
    struct Case {
        const wchar_t* language;
        bool rightToLeft;
        ui::Rect addButton;
        ui::Rect deviceName;
        ui::Rect settingsButton;
    };
    const Case cases[] = {
        {L"English", false, {118, 17, 210, 35}, {80, 7, 207, 15}, {396, 23, 36, 23}},
        {L"aRaBiC", true, {155, 21, 137, 29}, {167, 7, 207, 15}, {20, 23, 36, 23}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "right to left " << c.rightToLeft);
        UseLanguage(c.language);
        CDlgAddNewDev add(host);
        CDlgDeviceItem device(host, context);
        ASSERT_TRUE(add.Create(host.m_hWnd));
        ASSERT_TRUE(device.Create(host.m_hWnd));
        HWND button = add.GetDlgItem(IDC_BTN_ADD_NEW_DEV);
        HWND name = device.GetDlgItem(IDC_STATIC_DEVICE_NAME);
        EXPECT_EQ(PlaceOf(button), c.addButton);
        EXPECT_EQ(PlaceOf(name), c.deviceName);
        EXPECT_EQ(PlaceOf(device.GetDlgItem(IDC_BTN_SETTINGS)), c.settingsButton);
        EXPECT_EQ((GetWindowLongPtrW(button, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0, c.rightToLeft);
        EXPECT_EQ((GetWindowLongPtrW(name, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0, c.rightToLeft);
    }
}

TEST_F(ListItems, DeviceItemShowsNameFirmwareAndKindPictureOfItsRecord) {
    struct Case {
        DeviceSlotRecord record;
        const wchar_t* name;
        const wchar_t* firmware;
        const char* picture;
    };
    const Case cases[] = {
        {Record(1, kKindKeyboard, 0x0A0B0C, "  QT 1\t", 0x34, 0x12), L"Vorn QT 1 Keyboard", L"1.2.3.4",
         "keyboard.bmp"},
        {Record(2, kKindMouse, 0x010203, "QT 5", 0x00, 0xFF), L"Vorn QT 5 Mouse", L"15.15.0.0", "Mouse.bmp"},
        {Record(3, 7, 0x040506, "QT 9 "), L"Vorn QT 9 ", L"0.1.1.0", "keyboard.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.record.name);
        CDlgDeviceItem item(host, context);
        ASSERT_TRUE(item.Create(host.m_hWnd));
        EXPECT_FALSE(item.IsWindowVisible()) << "the receiver item shows it";
        item.SetRecord(c.record);
        EXPECT_EQ(TextOf(item.GetDlgItem(IDC_STATIC_DEVICE_NAME)), c.name);
        EXPECT_EQ(TextOf(item.GetDlgItem(IDC_STATIC_FW_VALUE)), c.firmware);
        EXPECT_EQ(ShownPictureWidth(item.GetDlgItem(IDC_PIC_DEVICE)), PictureFileWidth(c.picture));
        DeviceSlotRecord back{};
        item.GetRecord(back);
        EXPECT_EQ(std::memcmp(&back, &c.record, sizeof back), 0);
    }
}

TEST_F(ListItems, ActivityTextChangesOnlyWithTheState) {
    CDlgDeviceItem item(host, context);
    ASSERT_TRUE(item.Create(host.m_hWnd));
    HWND status = item.GetDlgItem(IDC_STATIC_STATUS_VALUE);
    EXPECT_EQ(TextOf(status), L"Active");

    // A mark in the control shows whether the item wrote it again.
    SetWindowTextW(status, L"mark");
    item.SetActivity(true);
    EXPECT_EQ(TextOf(status), L"mark") << "a new item is active already";
    item.SetActivity(false);
    EXPECT_EQ(TextOf(status), L"Inactive");
    SetWindowTextW(status, L"mark");
    item.SetActivity(false);
    EXPECT_EQ(TextOf(status), L"mark");
    item.SetActivity(true);
    EXPECT_EQ(TextOf(status), L"Active");

    item.EnableRemove(false);
    EXPECT_FALSE(IsWindowEnabled(item.GetDlgItem(IDC_BTN_DELETE_DEV)));
    item.EnableRemove(true);
    EXPECT_TRUE(IsWindowEnabled(item.GetDlgItem(IDC_BTN_DELETE_DEV)));
}

TEST_F(ListItems, SettingsButtonStartsTheSystemFoldersRundll32ForKeyboardsAndMice) {
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    const std::wstring rundll32 = std::wstring(system) + L"\\rundll32.exe";
    struct Case {
        std::uint8_t kind;
        std::vector<std::wstring> started;
    };
    const Case cases[] = {
        {kKindKeyboard, {rundll32 + L" shell32.dll, Control_RunDLL main.cpl @1"}},
        {kKindMouse, {rundll32 + L" shell32.dll, Control_RunDLL main.cpl @0"}},
        {3, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << int{c.kind});
        launched.clear();
        CDlgDeviceItem item(host, context);
        ASSERT_TRUE(item.Create(host.m_hWnd));
        item.SetRecord(Record(1, c.kind, 0x123456, "QT 1"));
        SendMessageW(item.GetDlgItem(IDC_BTN_SETTINGS), BM_CLICK, 0, 0);
        EXPECT_EQ(launched, c.started);
    }
}

// The confirmation runs modally over the main window; the script reads it and answers.
TEST_F(ListItems, RemovalAsksFirstAndOnlyRemoveAsksTheOwnerToUnpair) {
    enum class Answer { Remove, Cancel, Escape };
    struct Case {
        const wchar_t* language;
        Answer answer;
        bool posted;
    };
    const Case cases[] = {
        {L"English", Answer::Remove, true},
        {L"English", Answer::Cancel, false},
        {L"English", Answer::Escape, false},
        {L"Arabic", Answer::Cancel, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << static_cast<int>(c.answer) << " right to left "
                                        << (c.language[0] == L'A'));
        UseLanguage(c.language);
        host.received.clear();
        CDlgDeviceItem item(host, context);
        ASSERT_TRUE(item.Create(host.m_hWnd));
        item.SetRecord(Record(4, kKindMouse, 0x3A2B1C, "QT 5"));

        std::wstring question;
        bool rightToLeft = false;
        ui::Rect cancel, remove;
        RECT dialog{};
        WhileModal<CDlgDelDevReq>(
            [&] { SendMessageW(item.GetDlgItem(IDC_BTN_DELETE_DEV), BM_CLICK, 0, 0); },
            [&](CDlgDelDevReq& confirmation) {
                HWND ask = confirmation.GetDlgItem(IDC_STATIC_ASK);
                question = TextOf(ask);
                rightToLeft = (GetWindowLongPtrW(ask, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0;
                cancel = PlaceOf(confirmation.GetDlgItem(IDCANCEL));
                remove = PlaceOf(confirmation.GetDlgItem(IDC_BTN_DELETE));
                dialog = confirmation.GetWindowRect();
                switch (c.answer) {
                case Answer::Remove:
                    PostMessageW(confirmation.GetDlgItem(IDC_BTN_DELETE), BM_CLICK, 0, 0);
                    break;
                case Answer::Cancel: PostMessageW(confirmation.GetDlgItem(IDCANCEL), BM_CLICK, 0, 0); break;
                case Answer::Escape: {
                    HWND focus = GetFocus();
                    if (!focus || !IsChild(confirmation.m_hWnd, focus)) focus = confirmation.m_hWnd;
                    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0);
                    break;
                }
                }
            });
        fw::PumpPending();

        EXPECT_EQ(question, L"Remove Vorn QT 5 Mouse?");
        EXPECT_EQ(rightToLeft, c.language[0] == L'A');
        EXPECT_EQ(cancel.x < remove.x, rightToLeft) << "Cancel sits left of Remove right to left";
        const RECT over = main.GetWindowRect();
        EXPECT_NEAR((dialog.left + dialog.right) / 2, (over.left + over.right) / 2, 1)
            << "centred on the main window";
        EXPECT_NEAR((dialog.top + dialog.bottom) / 2, (over.top + over.bottom) / 2, 1);

        const auto removals = host.Of(WM_REMOVE_DEVICE);
        ASSERT_EQ(removals.size(), c.posted ? 1u : 0u);
        if (c.posted) {
            EXPECT_EQ(removals[0].wParam, 0x3A2B1Cu);
            EXPECT_EQ(removals[0].lParam, reinterpret_cast<LPARAM>(static_cast<CDlgItem*>(&item)));
        }
        EXPECT_TRUE(IsWindow(item.m_hWnd)) << "the owner drops the item, not the item itself";
    }
}

} // namespace
} // namespace pw::test
