// The receiver item on the virtual receiver, as a real window under Wine inside a host that plays the
// item view. Timers are driven by sending WM_TIMER; transfers are read from the bus's log.
#include "panel_rig.h"

#include "framework/pump.h"
#include "panel/panel_rules.h"
#include "res/resource.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace pw::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class ReceiverItem : public PanelWindows {
protected:
    static void Tick(CDlgReceiverItem& item, UINT_PTR timer, int times = 1) {
        for (int i = 0; i < times; ++i)
            item.SendMessage(WM_TIMER, timer);
    }
    static std::vector<DeviceId> ListedIds(const CDlgReceiverItem& item) {
        std::vector<DeviceId> ids;
        for (const CDlgItem* listed : item.ListItems()) {
            DeviceSlotRecord record{};
            listed->GetRecord(record);
            ids.push_back(record.Id());
        }
        return ids;
    }
    // Unpaired by someone else: through a channel of its own, then forgotten by the log.
    void UnpairFromOutside(int slot) {
        CCmdPipe other;
        ASSERT_TRUE(other.Open(receiver.CommandPath()));
        other.RemoveSlot(slot);
        bus.ClearLog();
    }
    static int RemovalsOf(const std::vector<virt::Transfer>& log, int slot) {
        return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const virt::Transfer& t) {
            return t.kind == virt::TransferKind::SetFeature && t.bytes[1] == kCmdRemoveSlot &&
                   t.bytes[2] == slot;
        }));
    }
};

TEST_F(ReceiverItem, OpeningShowsTheReceiverAndTheHardwareIdOnlyAfterADoubleClick) {
    const auto item = OpenItem();
    EXPECT_EQ(TextOf(item->GetDlgItem(IDC_STATIC_RECEIVER_NAME)), L"Vorn Veltrane Receiver");
    EXPECT_EQ(TextOf(item->GetDlgItem(IDC_STATIC_FW_VALUE)), L"1.2.0.5");
    HWND label = item->GetDlgItem(IDC_STATIC_HARDWARE_ID);
    HWND value = item->GetDlgItem(IDC_STATIC_HARDWARE_ID_VALUE);
    EXPECT_EQ(TextOf(value), L"VID:2F1E     PID:7A31");
    EXPECT_FALSE(IsWindowVisible(label));
    EXPECT_FALSE(IsWindowVisible(value));

    ASSERT_EQ(item->ListItems().size(), 1u) << "only the add-device item";
    EXPECT_NE(dynamic_cast<CDlgAddNewDev*>(item->ListItems()[0]), nullptr);
    EXPECT_EQ(GetParent(item->ListItems()[0]->m_hWnd), host.m_hWnd)
        << "the rows are the item view's children";

    HWND picture = item->GetDlgItem(IDC_BTN_RECEIVER_PIC);
    const auto click = [&] {
        SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        fw::PumpPending();
    };
    const auto doubleClick = [&] {
        click();
        SendMessageW(picture, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
        fw::PumpPending();
        SendMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        fw::PumpPending();
    };
    click();
    EXPECT_FALSE(IsWindowVisible(value)) << "a single click does nothing";
    doubleClick();
    EXPECT_TRUE(IsWindowVisible(label));
    EXPECT_TRUE(IsWindowVisible(value));
    doubleClick();
    EXPECT_FALSE(IsWindowVisible(label));
    EXPECT_FALSE(IsWindowVisible(value));
}

TEST_F(ReceiverItem, AReceiverThatCannotBeOpenedShowsTheErrorAndNothingElse) {
    virt::ReceiverConfig other;
    other.tag = "R2";
    other.name = "Desk Dial";
    virt::VirtualReceiver& stranger = bus.AddReceiver(other);
    bus.Plug(stranger);
    CDlgReceiverItem item(context);
    ASSERT_TRUE(item.Create(host.m_hWnd));
    item.OpenReceiver(stranger.CommandPath());
    EXPECT_EQ(TextOf(item.GetDlgItem(IDC_STATIC_RECEIVER_NAME)), L"Error: the receiver was damaged!");
    EXPECT_TRUE(item.ListItems().empty());
    EXPECT_FALSE(item.KillTimer(CDlgReceiverItem::kActivityTimer)) << "no activity poll";
    EXPECT_TRUE(host.received.empty()) << "no refresh";
}

TEST_F(ReceiverItem, DebugModeAsksTheOpenedReceiverForItsDebugReports) {
    for (const bool debug : {false, true}) {
        SCOPED_TRACE(testing::Message() << "debug mode " << debug);
        const auto item = OpenItem(debug);
        EXPECT_EQ(receiver.DebugReportsOn(), debug);
    }
}

TEST_F(ReceiverItem, RefreshListsCountsAndShowsTheSlotsAtOneExchangePerQuery) {
    struct Case {
        std::vector<virt::DeviceConfig> paired;
        const wchar_t* counts;
        const char* indicator;
    };
    const Case cases[] = {
        {{}, L"0 keybaords, 0 Mice", "point0.bmp"},
        {{Device("QT 1", kKindKeyboard, 0x11), Device("QT 5", kKindMouse, 0x22),
          Device("QT 2", kKindKeyboard, 0x33)},
         L"2 keybaords, 1 Mice",
         "point3.bmp"},
        {{Device("QT 1", kKindKeyboard, 0x11), Device("QT 5", kKindMouse, 0x22), Device("QT 7", 9, 0x33),
          Device("QT 2", kKindKeyboard, 0x44), Device("QT 6", kKindMouse, 0x55),
          Device("QT 3", kKindKeyboard, 0x66)},
         L"3 keybaords, 2 Mice",
         "point5.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.paired.size() << " paired");
        for (const auto& slot : receiver.Slots())
            UnpairFromOutside(slot.slot);
        for (const auto& device : c.paired)
            receiver.AddPaired(device);
        const auto item = OpenItem();
        EXPECT_EQ(TextOf(item->GetDlgItem(IDC_STATIC_PAIRED_COUNT)), c.counts);
        EXPECT_EQ(ShownPictureWidth(item->GetDlgItem(IDC_PIC_PAIRED)), PictureFileWidth(c.indicator));
        std::vector<DeviceId> expected;
        for (const auto& device : c.paired)
            expected.push_back(device.id);
        expected.push_back(0);
        EXPECT_EQ(ListedIds(*item), expected) << "slot order, then the add-device item";

        bus.ClearLog();
        item->Refresh();
        std::vector<std::string> exchanges = Queries({kCmdQuerySlotCount});
        for (std::size_t i = 0; i < c.paired.size(); ++i) {
            exchanges.push_back(SetOf(kCmdQuerySlot));
            exchanges.push_back("get");
        }
        for (const std::string& e : Queries({kCmdQueryActivity}))
            exchanges.push_back(e);
        EXPECT_EQ(CommandExchanges(), exchanges) << "1 + n + 1 exchanges";
    }
}

TEST_F(ReceiverItem, ANewDeviceIsListedAboveAddNewDeviceAndExpandsTheReceiver) {
    receiver.AddPaired(Device("QT 1", kKindKeyboard, 0x11));
    const auto item = OpenItem();
    item->SetExpanded(false);
    fw::PumpPending();
    host.received.clear();

    receiver.AddPaired(Device("QT 5", kKindMouse, 0x22));
    item->Refresh();
    EXPECT_THAT(ListedIds(*item), ElementsAre(0x11u, 0x22u, 0u));
    EXPECT_TRUE(item->IsExpanded());
    EXPECT_EQ(item->GetBackgroundIndex(), 1);
    fw::PumpPending();
    EXPECT_EQ(host.Of(WM_RELAYOUT_ITEMS).size(), 1u);

    host.received.clear();
    item->Refresh();
    fw::PumpPending();
    EXPECT_TRUE(host.received.empty()) << "nothing new: no relayout";
}

TEST_F(ReceiverItem, ActivityPassCostsOneExchangeAndRemovesNothing) {
    receiver.AddPaired(Device("QT 1", kKindKeyboard, 0x11));
    receiver.AddPaired(Device("QT 5", kKindMouse, 0x22));
    const auto item = OpenItem();
    receiver.SetActive(0x22, false);
    UnpairFromOutside(1);
    host.received.clear();

    Tick(*item, CDlgReceiverItem::kActivityTimer);
    EXPECT_EQ(CommandExchanges(), Queries({kCmdQueryActivity}));
    EXPECT_THAT(ListedIds(*item), ElementsAre(0x11u, 0x22u, 0u))
        << "an unpaired device stays until a refresh";
    EXPECT_EQ(TextOf(item->ListItems()[0]->GetDlgItem(IDC_STATIC_STATUS_VALUE)), L"Inactive")
        << "slot 1 is empty";
    EXPECT_EQ(TextOf(item->ListItems()[1]->GetDlgItem(IDC_STATIC_STATUS_VALUE)), L"Inactive");

    item->Refresh();
    EXPECT_THAT(ListedIds(*item), ElementsAre(0x22u, 0u));
    EXPECT_EQ(host.Of(WM_RELAYOUT_ITEMS).size(), 1u) << "sent at once, not posted";
}

TEST_F(ReceiverItem, ActivityPassWaitsWhileTheMainWindowIsHiddenOrAnotherPassRuns) {
    receiver.AddPaired(Device("QT 1", kKindKeyboard, 0x11));
    const auto item = OpenItem();
    bus.ClearLog();

    main.ShowWindow(SW_HIDE);
    Tick(*item, CDlgReceiverItem::kActivityTimer);
    EXPECT_TRUE(CommandExchanges().empty());

    SetWindowPos(main.m_hWnd, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    context.activityBusy = true;
    Tick(*item, CDlgReceiverItem::kActivityTimer);
    EXPECT_TRUE(CommandExchanges().empty());

    context.activityBusy = false;
    Tick(*item, CDlgReceiverItem::kActivityTimer);
    EXPECT_EQ(CommandExchanges(), Queries({kCmdQueryActivity}));
    EXPECT_FALSE(context.activityBusy);
}

TEST_F(ReceiverItem, PairingWatchReportsTheDeviceOnceOrOneTimeOutAfterThirtyTicks) {
    struct Case {
        const char* name;
        int appearsBeforeTick; // 0: never
        int ticks;
        bool found;
    };
    const Case cases[] = {
        {"already listed", 1, 1, true},
        {"found on the 30th tick", 30, 30, true},
        {"never found", 0, 40, false},
    };
    const virt::DeviceConfig watched = Device("QT 5", kKindMouse, 0x5A5B5C);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& slot : receiver.Slots())
            UnpairFromOutside(slot.slot);
        if (c.appearsBeforeTick == 1) receiver.AddPaired(watched);
        const auto item = OpenItem();
        RecordingWindow target;
        ASSERT_TRUE(target.Create(WS_POPUP, RECT{0, 0, 10, 10}, nullptr));
        item->SetWatchedDevice(watched.id);
        item->SetWatchTarget(target.m_hWnd);
        item->StartPairingWatch();

        for (int tick = 1; tick <= c.ticks; ++tick) {
            if (tick == c.appearsBeforeTick) receiver.AddPaired(watched);
            bus.ClearLog();
            Tick(*item, CDlgReceiverItem::kPairingWatchTimer);
            if (tick == 1) {
                EXPECT_THAT(CommandExchanges(), Contains(SetOf(kCmdQuerySlotCount))) << "a tick refreshes";
            }
            fw::PumpPending();
            if (tick < std::min(c.ticks, kPairingWatchTicks)) {
                EXPECT_TRUE(target.received.empty()) << "tick " << tick;
            }
        }
        ASSERT_EQ(target.received.size(), 1u);
        const Received& result = target.received[0];
        EXPECT_EQ(result.message, WM_PAIRING_RESULT);
        EXPECT_EQ(result.wParam, c.found ? 0u : 1u);
        if (c.found) {
            ASSERT_TRUE(result.record);
            EXPECT_EQ(result.record->Id(), watched.id);
            EXPECT_EQ(result.record->kind, kKindMouse);
        } else {
            EXPECT_EQ(result.lParam, 0);
        }
        EXPECT_FALSE(item->KillTimer(CDlgReceiverItem::kPairingWatchTimer)) << "the watch stopped its timer";
        target.DestroyWindow();
    }
}

TEST_F(ReceiverItem, StopPairingSendsStopWhenOpenAndEndsTheWatch) {
    const auto item = OpenItem();
    item->SetWatchedDevice(0x77);
    item->StartPairingWatch();
    bus.ClearLog();
    EXPECT_TRUE(item->StopPairing());
    EXPECT_EQ(CommandExchanges(), std::vector<std::string>{SetOf(kCmdStopPairing)});
    EXPECT_FALSE(item->KillTimer(CDlgReceiverItem::kPairingWatchTimer));

    item->CloseReceiver();
    bus.ClearLog();
    EXPECT_TRUE(item->StopPairing());
    EXPECT_TRUE(CommandExchanges().empty());
}

TEST_F(ReceiverItem, RemovalUnpairsTheRecordsSlotDropsTheItemAndRefreshes) {
    receiver.AddPaired(Device("QT 1", kKindKeyboard, 0x11));
    receiver.AddPaired(Device("QT 5", kKindMouse, 0x22));
    const auto item = OpenItem();
    CDlgItem* mouse = item->ListItems()[1];
    bus.ClearLog();
    host.received.clear();

    item->SendMessage(WM_REMOVE_DEVICE, 0x22, reinterpret_cast<LPARAM>(mouse));
    std::vector<std::string> expected{SetOf(kCmdRemoveSlot)};
    for (const std::string& e : Queries({kCmdQuerySlotCount, kCmdQuerySlot, kCmdQueryActivity}))
        expected.push_back(e);
    EXPECT_EQ(CommandExchanges(), expected);
    EXPECT_EQ(RemovalsOf(bus.Log(), 2), 1);
    EXPECT_THAT(ListedIds(*item), ElementsAre(0x11u, 0u));
    EXPECT_EQ(host.Of(WM_RELAYOUT_ITEMS).size(), 1u);

    // A request from an item that is no longer listed is not read.
    int stranger = 0;
    bus.ClearLog();
    item->SendMessage(WM_REMOVE_DEVICE, 0x11, reinterpret_cast<LPARAM>(&stranger));
    EXPECT_EQ(RemovalsOf(bus.Log(), 1), 0);
    EXPECT_THAT(ListedIds(*item), ElementsAre(0x11u, 0u));

    // A closed channel sends nothing; the refresh then finds no slots.
    item->CloseReceiver();
    bus.ClearLog();
    item->SendMessage(WM_REMOVE_DEVICE, 0x11, reinterpret_cast<LPARAM>(item->ListItems()[0]));
    EXPECT_TRUE(bus.Log().empty());
    EXPECT_THAT(ListedIds(*item), ElementsAre(0u));
    EXPECT_EQ(receiver.Slots().size(), 1u);
}

TEST_F(ReceiverItem, TheRemoveButtonUnpairsAfterTheConfirmation) {
    receiver.AddPaired(Device("QT 1", kKindKeyboard, 0x11));
    const auto item = OpenItem();
    HWND button = item->ListItems()[0]->GetDlgItem(IDC_BTN_DELETE_DEV);
    WhileModal<CDlgDelDevReq>([&] { SendMessageW(button, BM_CLICK, 0, 0); },
                              [](CDlgDelDevReq& confirmation) {
                                  PostMessageW(confirmation.GetDlgItem(IDC_BTN_DELETE), BM_CLICK, 0, 0);
                              });
    fw::PumpPending();
    EXPECT_EQ(RemovalsOf(bus.Log(), 1), 1);
    EXPECT_TRUE(receiver.Slots().empty());
    EXPECT_THAT(ListedIds(*item), ElementsAre(0u));
}

// While the confirmation is open, timers keep running: a refresh may drop the very item that asked.
TEST_F(ReceiverItem, AnItemDroppedDuringItsConfirmationAsksForNothing) {
    receiver.AddPaired(Device("QT 1", kKindKeyboard, 0x11));
    const auto item = OpenItem();
    HWND button = item->ListItems()[0]->GetDlgItem(IDC_BTN_DELETE_DEV);
    WhileModal<CDlgDelDevReq>([&] { SendMessageW(button, BM_CLICK, 0, 0); },
                              [&](CDlgDelDevReq& confirmation) {
                                  UnpairFromOutside(1);
                                  item->Refresh();
                                  PostMessageW(confirmation.GetDlgItem(IDC_BTN_DELETE), BM_CLICK, 0, 0);
                              });
    fw::PumpPending();
    EXPECT_EQ(RemovalsOf(bus.Log(), 1), 0);
    EXPECT_THAT(ListedIds(*item), ElementsAre(0u));
}

TEST_F(ReceiverItem, ClickTogglesExpandedAndWheelMessagesGoToTheParentOnce) {
    const auto item = OpenItem();
    ASSERT_FALSE(item->IsExpanded());
    fw::PumpPending();
    host.received.clear();

    item->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(200, 5));
    fw::PumpPending();
    EXPECT_TRUE(item->IsExpanded());
    EXPECT_EQ(item->GetBackgroundIndex(), 1);
    ASSERT_EQ(host.received.size(), 2u);
    EXPECT_EQ(host.received[0].message, WM_RELAYOUT_ITEMS);
    EXPECT_EQ(host.received[1].message, WM_RECEIVER_EXPANDED);
    EXPECT_EQ(host.received[1].wParam, reinterpret_cast<WPARAM>(item.get()));
    EXPECT_EQ(host.received[1].lParam, 1);

    host.received.clear();
    item->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(200, 5));
    fw::PumpPending();
    EXPECT_FALSE(item->IsExpanded());
    EXPECT_EQ(item->GetBackgroundIndex(), 0);
    ASSERT_EQ(host.Of(WM_RECEIVER_EXPANDED).size(), 1u);
    EXPECT_EQ(host.Of(WM_RECEIVER_EXPANDED)[0].lParam, 0);

    host.received.clear();
    const WPARAM keysAndDelta = MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-WHEEL_DELTA));
    const LPARAM at = MAKELPARAM(300, 200);
    item->SendMessage(WM_MOUSEWHEEL, keysAndDelta, at);
    fw::PumpPending();
    ASSERT_EQ(host.Of(WM_MOUSEWHEEL).size(), 1u);
    EXPECT_EQ(host.Of(WM_MOUSEWHEEL)[0].wParam, keysAndDelta);
    EXPECT_EQ(host.Of(WM_MOUSEWHEEL)[0].lParam, at);
}

TEST_F(ReceiverItem, MoveToStacksTheRowsUnderTheItemTopDownWhenMovingUpAndBottomUpOtherwise) {
    receiver.AddPaired(Device("QT 1", kKindKeyboard, 0x11));
    receiver.AddPaired(Device("QT 5", kKindMouse, 0x22));
    const auto item = OpenItem();
    ASSERT_TRUE(item->IsExpanded());
    const auto rows = item->ListItems();
    const ui::Size own = {PlaceOf(item->m_hWnd).cx, PlaceOf(item->m_hWnd).cy};
    int rowsHeight = 0;
    int widest = own.cx;
    for (const CDlgItem* row : rows) {
        rowsHeight += row->GetItemSize().cy;
        widest = std::max(widest, row->GetItemSize().cx);
    }
    EXPECT_EQ(item->GetTotalSize(), (ui::Size{widest, own.cy + rowsHeight + kReceiverGap}));

    // The order of the moves, from the windows' own position changes.
    static std::vector<HWND> s_moved;
    const HHOOK hook = SetWindowsHookExW(
        WH_CALLWNDPROCRET,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
            if (code == HC_ACTION && message->message == WM_WINDOWPOSCHANGED) {
                const auto* pos = reinterpret_cast<const WINDOWPOS*>(message->lParam);
                if (!(pos->flags & SWP_NOMOVE) && (s_moved.empty() || s_moved.back() != message->hwnd))
                    s_moved.push_back(message->hwnd);
            }
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    struct Case {
        int y;
        bool topDown;
    };
    for (const Case c : {Case{200, false}, Case{40, true}}) {
        SCOPED_TRACE(testing::Message() << "to y " << c.y);
        s_moved.clear();
        item->MoveTo(0, c.y);
        std::vector<HWND> order{item->m_hWnd};
        for (const CDlgItem* row : rows)
            order.push_back(row->m_hWnd);
        if (!c.topDown) std::reverse(order.begin(), order.end());
        EXPECT_EQ(s_moved, order);
        int top = c.y;
        EXPECT_EQ(PlaceOf(item->m_hWnd).y, top);
        top += own.cy;
        for (const CDlgItem* row : rows) {
            EXPECT_EQ(PlaceOf(row->m_hWnd).y, top);
            EXPECT_EQ(PlaceOf(row->m_hWnd).x, 0);
            EXPECT_TRUE(row->IsWindowVisible());
            top += row->GetItemSize().cy;
        }
    }
    UnhookWindowsHookEx(hook);

    item->SetExpanded(false);
    item->MoveTo(0, 10);
    EXPECT_EQ(PlaceOf(item->m_hWnd).y, 10);
    for (const CDlgItem* row : rows)
        EXPECT_FALSE(row->IsWindowVisible());
    EXPECT_EQ(item->GetTotalSize(), (ui::Size{own.cx, own.cy + kReceiverGap}));
}

TEST_F(ReceiverItem, TakesTheLayoutOfItsLanguage) {
    struct Case {
        const wchar_t* language;
        bool rightToLeft;
        ui::Rect name;
        ui::Rect picture;
    };
    const Case cases[] = {
        {L"English", false, {71, 24, 156, 15}, {16, 29, 36, 46}},
        {L"ARABIC", true, {228, 24, 156, 15}, {389, 29, 36, 46}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "right to left " << c.rightToLeft);
        UseLanguage(c.language);
        const auto item = OpenItem();
        HWND name = item->GetDlgItem(IDC_STATIC_RECEIVER_NAME);
        EXPECT_EQ(PlaceOf(name), c.name);
        EXPECT_EQ(PlaceOf(item->GetDlgItem(IDC_BTN_RECEIVER_PIC)), c.picture);
        EXPECT_EQ((GetWindowLongPtrW(name, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0, c.rightToLeft);
        EXPECT_FALSE(IsWindowVisible(item->GetDlgItem(IDC_STATIC_HARDWARE_ID_VALUE)));
    }
}

} // namespace
} // namespace pw::test
