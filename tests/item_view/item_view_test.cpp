// The item view as a real window under Wine, on the virtual bus, run in the program folder so that every
// window has its real artwork. Events arrive as WM_RECEIVER_NOTIFY posts (from the test as a reader
// would post them, or from the view's own reader threads); timers are driven by sending WM_TIMER and
// advancing the bus.
#include "app/main_dlg.h"
#include "app/settings.h"
#include "app/startup.h"
#include "common/post.h"
#include "framework/pump.h"
#include "panel/item_view_dlg.h"
#include "panel/panel_rules.h"
#include "res/resource.h"
#include "skin/gdiplus_util.h"
#include "virtual/virtual_hotplug_win.h"
#include "virtual/virtual_receiver.h"

#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace pw {
namespace {

using ::testing::ElementsAre;

class Environment final : public ::testing::Environment {
public:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        m_gdiplus = std::make_unique<gdip::Session>();
    }
    void TearDown() override { m_gdiplus.reset(); }

private:
    std::unique_ptr<gdip::Session> m_gdiplus;
};
[[maybe_unused]] const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new Environment);

class NoWelcomeSwitch final : public IWelcomeSwitch {
public:
    std::optional<bool> ReadDoNotShow() override { return std::nullopt; }
    void WriteDoNotShow(bool) override {}
};

std::vector<HWND> ThreadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND wnd, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(wnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The open pop-up of a class (one object per class, so at most one window).
template <class T> T* Open() {
    for (HWND wnd : ThreadWindows())
        if (auto* found = dynamic_cast<T*>(CWnd::FromHandle(wnd))) return found;
    return nullptr;
}

// Every pop-up that has a window, in a fixed order; the pairing-failed page with its mode.
std::string OpenPopups() {
    std::string open;
    const auto add = [&](bool isOpen, const std::string& name) {
        if (!isOpen) return;
        if (!open.empty()) open += ", ";
        open += name;
    };
    add(Open<CDlgPairReq>(), "pair-request");
    add(Open<CDlgForbidPair>(), "multiple");
    add(Open<CDlgRedundant>(), "redundant");
    if (const CDlgPairFailed* failed = Open<CDlgPairFailed>())
        add(true, "failed " + std::to_string(failed->GetMode()));
    add(Open<CDlgPairProgress>(), "progress");
    add(Open<CDlgPairSucc>(), "success");
    add(Open<CDlgPairHelp>(), "help");
    add(Open<CDlgWelcome>(), "welcome");
    add(Open<CDlgDebug>(), "debug");
    return open;
}

void CloseAllPopups() {
    for (HWND wnd : ThreadWindows()) {
        if (auto* popup = dynamic_cast<CPopupDialog*>(CWnd::FromHandle(wnd))) popup->Close();
        if (auto* debug = dynamic_cast<CDlgDebug*>(CWnd::FromHandle(wnd))) debug->DestroyWindow();
    }
}

DeviceSlotRecord Data(const char* name, DeviceId id, std::uint8_t kind = kKindMouse) {
    DeviceSlotRecord record{};
    record.kind = kind;
    WriteDeviceId(record.id, id);
    std::memcpy(record.name, name, std::min(std::strlen(name), sizeof record.name));
    return record;
}

bool Same(const DeviceSlotRecord& a, const DeviceSlotRecord& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::wstring Upper(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), towupper);
    return text;
}

std::wstring TextOf(HWND wnd) {
    wchar_t text[512] = {};
    GetWindowTextW(wnd, text, 512);
    return text;
}

RECT PlaceOf(HWND wnd) {
    RECT r{};
    GetWindowRect(wnd, &r);
    MapWindowPoints(nullptr, GetParent(wnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SCROLLINFO BarInfo(HWND bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    SendMessageW(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
}

int LineStepOf(const SCROLLINFO& info) {
    return std::max(1, static_cast<int>(info.nPage) / 3);
}

// What a window shows on the screen right now (its client area, children included).
std::vector<std::uint32_t> ShownPixels(HWND wnd) {
    const RECT client = CWnd::FromHandle(wnd)->GetClientRect();
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = client.right;
    format.bmiHeader.biHeight = -client.bottom;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    HDC shown = GetDC(wnd);
    HDC memory = CreateCompatibleDC(shown);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, client.right, client.bottom, shown, 0, 0, SRCCOPY);
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(client.right * client.bottom));
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(wnd, shown);
    return pixels;
}

// The answers (command 0x04) written to a receiver, as {accept, id bytes}; failed writes left out.
std::vector<std::vector<std::uint8_t>> AnswersIn(const std::vector<virt::Transfer>& log) {
    std::vector<std::vector<std::uint8_t>> answers;
    for (const virt::Transfer& t : log)
        if (t.kind == virt::TransferKind::SetFeature && t.ok && t.bytes.size() > 5 &&
            t.bytes[1] == kCmdAnswerPairRequest)
            answers.emplace_back(t.bytes.begin() + 2, t.bytes.begin() + 6);
    return answers;
}

// For what the reader threads do while the test thread does not pump.
bool WaitWithoutPumping(const std::function<bool()>& done) {
    const ULONGLONG deadline = GetTickCount64() + 5000;
    while (!done()) {
        if (GetTickCount64() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

// An input report of the notification interface naming a mouse.
std::vector<std::uint8_t> Report(std::uint8_t code, char letter, std::uint8_t id) {
    std::vector<std::uint8_t> report(32, 0);
    report[0] = virt::kNotifyReportId;
    report[1] = code;
    report[2] = kKindMouse;
    report[4] = static_cast<std::uint8_t>(letter);
    report[14] = id;
    return report;
}

virt::DeviceConfig Device(const std::string& name, DeviceKind kind, DeviceId id) {
    virt::DeviceConfig device;
    device.tag = name;
    device.name = name;
    device.kind = kind;
    device.id = id;
    return device;
}

// Every test: English without a language file, in the program folder; no record is left on the heap.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        CMultiLanguage::s_strLanguageFile = L"C:\\pw-no-such-folder\\pairwright.ini";
        CMultiLanguage::s_strLanguage = L"English";
        CMultiLanguage::s_texts.clear();
        m_records = NotifyRecord::LiveOnHeap();
    }
    void TearDown() override {
        fw::PumpPending();
        EXPECT_EQ(NotifyRecord::LiveOnHeap(), m_records) << "a record was never freed";
        CMultiLanguage::s_strLanguage.clear();
        CMultiLanguage::s_strLanguageFile.clear();
    }

    virt::VirtualReceiver& Plugged(const std::string& tag) {
        virt::ReceiverConfig config;
        config.tag = tag;
        virt::VirtualReceiver& receiver = bus.AddReceiver(config);
        bus.Plug(receiver);
        return receiver;
    }

    std::size_t m_records = 0;
    virt::VirtualBus bus;
    hid::ScopedBackend scoped{bus};
    bool show = true;
    NoWelcomeSwitch welcomeSwitch;
};

// The view in a stand-in main window, placed as the main window places it.
class ItemView : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(main.CreateEx(WS_EX_TOOLWINDOW, L"STATIC", L"main", WS_POPUP, RECT{300, 100, 800, 781},
                                  nullptr, 0));
        SetWindowPos(main.m_hWnd, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        OpenView();
    }
    void TearDown() override {
        view.reset();
        CloseAllPopups();
        main.DestroyWindow();
        WindowTest::TearDown();
    }

    void OpenView(bool debugMode = false) {
        view.reset();
        view = std::make_unique<CDlgItemView>(ItemViewSetup{.mainWindow = main,
                                                            .show = show,
                                                            .debugMode = debugMode,
                                                            .moduleFolder = L"C:\\pw-no-such-folder",
                                                            .welcomeSwitch = welcomeSwitch});
        ASSERT_TRUE(view->Create(main.m_hWnd));
        const RECT client = main.GetClientRect();
        const RECT own = view->GetWindowRect();
        SetWindowPos(view->m_hWnd, nullptr, 25, client.bottom - (own.bottom - own.top) - 5, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        view->SetLanguage(CMultiLanguage::s_strLanguage);
    }

    // Posted as a reader thread posts it; delivered at once.
    void Notify(std::uint8_t code, const DeviceSlotRecord& data) {
        auto record = std::make_unique<NotifyRecord>();
        record->code = code;
        record->device = data;
        ASSERT_TRUE(PostOwned(view->m_hWnd, WM_RECEIVER_NOTIFY, std::move(record), 0));
        fw::PumpPending();
    }

    void Add(const virt::VirtualReceiver& receiver) {
        ASSERT_TRUE(view->AddReceiver(receiver.CommandPath()));
        fw::PumpPending();
    }

    bool TipShown() const {
        for (HWND child = GetWindow(view->m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (dynamic_cast<CDlgNoDongleTip*>(CWnd::FromHandle(child))) return ::IsWindowVisible(child);
        ADD_FAILURE() << "no tip";
        return false;
    }

    HWND Bar() const { return view->GetDlgItem(IDC_SCROLLBAR); }

    CWnd main;
    std::unique_ptr<CDlgItemView> view;
};

TEST_F(ItemView, AReceiverIsKeyedByItsPathIgnoringCase) {
    const virt::VirtualReceiver& receiver = Plugged("R1");
    const std::wstring path = receiver.CommandPath();
    const std::wstring upper = Upper(path);

    EXPECT_TRUE(TipShown());
    for (const std::wstring* removal : {&path, &upper}) {
        Add(receiver);
        EXPECT_FALSE(TipShown());
        EXPECT_TRUE(view->AddReceiver(upper)) << "the same receiver";
        EXPECT_EQ(view->ReceiverCount(), 1);
        ASSERT_EQ(view->Receivers().size(), 1u);
        EXPECT_TRUE(view->Receivers()[0]->IsExpanded()) << "the first receiver opens expanded";

        EXPECT_TRUE(view->RemoveReceiver(*removal));
        EXPECT_EQ(view->ReceiverCount(), 0);
        EXPECT_TRUE(view->Receivers().empty());
        EXPECT_TRUE(TipShown());
        EXPECT_FALSE(view->RemoveReceiver(path));
    }
}

TEST_F(ItemView, TheHardwareIdIsCutFromVidOnAndAReceiverThatCannotBeOpenedSaysSo) {
    const virt::VirtualReceiver& receiver = Plugged("R1");
    const struct {
        std::wstring path;
        std::wstring cut;
        bool opens;
    } cases[] = {
        {receiver.CommandPath(), L"vid_2f1e&pid_7a31", true},
        {L"\\\\?\\HID#VID_2F1E&PID_7A31&COL03#9&ABC&0&0002#{4d1e55b2-f16f-11cf-88cb-001111000030}",
         L"vid_2f1e&pid_7a31", false},
        {L"\\\\?\\HID#NoVendorHere#Instance", L"\\\\?\\hid#novendorh", false},
        {L"USB#VID_12", L"vid_12", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "path " << std::string(c.path.begin(), c.path.end()));
        ASSERT_TRUE(view->AddReceiver(c.path));
        ASSERT_EQ(view->Receivers().size(), 1u);
        const CDlgReceiverItem& item = *view->Receivers()[0];
        EXPECT_EQ(item.HardwareId(), HardwareIdDisplayForm(c.cut));
        const std::wstring name = TextOf(item.GetDlgItem(IDC_STATIC_RECEIVER_NAME));
        EXPECT_EQ(name == kDamagedReceiverText, !c.opens);
        EXPECT_EQ(view->ReceiverCount(), 1) << "counted all the same";
        EXPECT_TRUE(view->RemoveReceiver(c.path));
    }
}

TEST_F(ItemView, PullingOutReceiversClosesWhatNoLongerApplies) {
    virt::VirtualReceiver& r1 = Plugged("R1");
    virt::VirtualReceiver& r2 = Plugged("R2");
    Add(r1);
    const DeviceSlotRecord mouse = Data("Travel Mouse", 0x123456);
    Notify(kNotifyPairRequest, mouse);
    ASSERT_EQ(OpenPopups(), "pair-request");

    // A second receiver while the request is open: the multiple-receivers page, as its template has it.
    Add(r2);
    EXPECT_EQ(OpenPopups(), "multiple");
    const CDlgForbidPair* multiple = Open<CDlgForbidPair>();
    ASSERT_NE(multiple, nullptr);
    EXPECT_EQ(TextOf(multiple->GetDlgItem(IDC_STATIC_MORE_DG_INFO)),
              L"To connect XXX to [ReceiverName], additional receivers must be removed. Please remove all "
              L"other receivers to add this device.");
    EXPECT_EQ(multiple->GetOwner(), nullptr) << "not opened by an event: no owner";
    EXPECT_TRUE(::IsWindowVisible(multiple->m_hWnd));

    EXPECT_TRUE(view->RemoveReceiver(r2.CommandPath()));
    EXPECT_EQ(OpenPopups(), "") << "one receiver left";

    // The last one pulled out in the middle of a pairing: the request and the progress go.
    SendMessageW(view->m_hWnd, WM_PAIR_ANSWER, mouse.Id(), 1);
    Notify(kNotifyPairRequest, Data("Other Mouse", 0x654321));
    ASSERT_EQ(OpenPopups(), "pair-request, progress");
    EXPECT_FALSE(TipShown());
    EXPECT_TRUE(view->RemoveReceiver(r1.CommandPath()));
    EXPECT_EQ(OpenPopups(), "");
    EXPECT_TRUE(TipShown());
    EXPECT_EQ(view->ReceiverCount(), 0);
}

TEST_F(ItemView, DispatchesEachEventByItsCodeAndTheReceiversCounted) {
    virt::VirtualReceiver* pool[] = {&Plugged("R1"), &Plugged("R2")};
    const struct {
        int receivers;
        std::uint8_t code;
        const char* open; // the help page is open before each event
    } cases[] = {
        {1, kNotifyPairRequest, "pair-request"},
        {0, kNotifyPairRequest, ""},
        {2, kNotifyPairRequest, "multiple"},
        {1, kNotifyUnused, "help"},
        {2, kNotifyUnused, "help"},
        {1, kNotifyDeviceLimited, "failed 1"},
        {0, kNotifyReceiverFull, "failed 0"},
        {1, kNotifyAlreadyConnected, "redundant"},
        {0, kNotifyAlreadyConnected, "redundant"},
        {2, kNotifyReceiverFull, "multiple"},
        {1, 0x77, ""},
        {1, kNotifyDebug, ""},
    };
    const DeviceSlotRecord data = Data("Slim Keyboard", 0x0A0B0C, kKindKeyboard);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << int(c.code) << " with " << c.receivers << " receivers");
        for (int i = 0; i < 2; ++i) {
            if (i < c.receivers)
                view->AddReceiver(pool[i]->CommandPath());
            else
                view->RemoveReceiver(pool[i]->CommandPath());
        }
        ASSERT_EQ(view->ReceiverCount(), c.receivers);
        CloseAllPopups();
        view->SendMessage(WM_SHOW_PAIR_HELP);
        ASSERT_EQ(OpenPopups(), "help");

        Notify(c.code, data);
        EXPECT_EQ(OpenPopups(), c.open);
        const auto handed = [&]() -> std::optional<std::pair<DeviceSlotRecord, IPopupOwner*>> {
            if (auto* d = Open<CDlgPairReq>()) return std::pair{d->GetDeviceRecord(), d->GetOwner()};
            if (auto* d = Open<CDlgForbidPair>()) return std::pair{d->GetDeviceRecord(), d->GetOwner()};
            if (auto* d = Open<CDlgRedundant>()) return std::pair{d->GetDeviceRecord(), d->GetOwner()};
            if (auto* d = Open<CDlgPairFailed>()) return std::pair{d->GetDeviceRecord(), d->GetOwner()};
            return std::nullopt;
        }();
        if (handed) {
            EXPECT_TRUE(Same(handed->first, data)) << "the dialog got the event's data";
            EXPECT_EQ(handed->second, view.get()) << "and answers to the view";
        }
    }
}

TEST_F(ItemView, AnOpenDialogKeepsItsDataWhileEveryEventBecomesTheLastNotification) {
    Add(Plugged("R1"));
    const DeviceSlotRecord a = Data("Mouse A", 0x0000A1);
    const DeviceSlotRecord b = Data("Mouse B", 0x0000B2);
    const DeviceSlotRecord c = Data("Mouse C", 0x0000C3);

    Notify(kNotifyPairRequest, a);
    const CDlgPairReq* request = Open<CDlgPairReq>();
    ASSERT_NE(request, nullptr);
    const HWND first = request->m_hWnd;
    Notify(kNotifyPairRequest, b);
    EXPECT_EQ(request->m_hWnd, first);
    EXPECT_TRUE(Same(request->GetDeviceRecord(), a));

    Notify(kNotifyReceiverFull, a);
    Notify(kNotifyDeviceLimited, b);
    const CDlgPairFailed* failed = Open<CDlgPairFailed>();
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(failed->GetMode(), CDlgPairFailed::kModeReceiverFull);
    EXPECT_TRUE(Same(failed->GetDeviceRecord(), a));

    // Every event becomes the last notification, but the progress page is handed the device the user
    // said yes to: an event in between (a debug report, say) must not rename it.
    Notify(kNotifyUnused, c);
    view->SendMessage(WM_PAIR_ANSWER, a.Id(), 1);
    const CDlgPairProgress* progress = Open<CDlgPairProgress>();
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(Same(progress->GetDeviceRecord(), a));
    EXPECT_EQ(Open<CDlgPairReq>(), nullptr);

    // Its Cancel stops pairing on every receiver through the view.
    bus.ClearLog();
    SendMessageW(progress->GetDlgItem(IDCANCEL), BM_CLICK, 0, 0);
    fw::PumpPending();
    EXPECT_EQ(OpenPopups(), "failed 0");
    EXPECT_FALSE(view->Receivers()[0]->KillTimer(CDlgReceiverItem::kPairingWatchTimer)) << "the watch ended";
    const auto log = bus.Log();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const virt::Transfer& t) {
                                return t.kind == virt::TransferKind::SetFeature &&
                                       t.bytes[1] == kCmdStopPairing;
                            }),
              1);
}

TEST_F(ItemView, DebugReportsOpenTheLogOnlyInDebugModeAndGoOnLikeAnyEvent) {
    DeviceSlotRecord report{};
    report.slot = virt::kDebugRequestReceived; // data byte 0: the event

    const virt::VirtualReceiver& r1 = Plugged("R1");
    const virt::VirtualReceiver& r2 = Plugged("R2");
    Add(r1);
    Notify(kNotifyDebug, report);
    EXPECT_EQ(OpenPopups(), "") << "not in debug mode";

    OpenView(true);
    Add(r1);
    Add(r2);
    view->SendMessage(WM_SHOW_PAIR_HELP);
    Notify(kNotifyDebug, report);
    EXPECT_EQ(OpenPopups(), "multiple, debug") << "help closed, two receivers";
    CDlgDebug* debug = Open<CDlgDebug>();
    ASSERT_NE(debug, nullptr);
    EXPECT_EQ(debug->GetLines().size(), 1u);
    Notify(kNotifyDebug, report);
    EXPECT_EQ(Open<CDlgDebug>(), debug);
    EXPECT_EQ(debug->GetLines().size(), 2u);

    debug->SendMessage(WM_COMMAND, IDOK);
    ASSERT_EQ(Open<CDlgDebug>(), nullptr);
    Notify(kNotifyDebug, report);
    ASSERT_NE(Open<CDlgDebug>(), nullptr) << "the next report opens it again";
    EXPECT_EQ(Open<CDlgDebug>()->GetLines().size(), 1u);
}

TEST_F(ItemView, AnswersAPairRequestOnlyWithOneReceiverAndAWriteThatWent) {
    virt::VirtualReceiver* pool[] = {&Plugged("R1"), &Plugged("R2")};
    const DeviceSlotRecord mouse = Data("Travel Mouse", 0x123456);
    const std::vector<std::uint8_t> accepted{1, 0x56, 0x34, 0x12};
    const std::vector<std::uint8_t> declined{0, 0x56, 0x34, 0x12};
    const struct {
        const char* what;
        int receivers;
        LPARAM accept;
        bool failWrite;
        std::vector<std::vector<std::uint8_t>> sent;
        const char* open;
    } cases[] = {
        {"add", 1, 1, false, {accepted}, "progress"},
        {"not now", 1, 0, false, {declined}, ""},
        {"two receivers", 2, 1, false, {}, "multiple"},
        {"failing write", 1, 1, true, {}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        OpenView();
        Add(*pool[0]);
        Notify(kNotifyPairRequest, mouse);
        ASSERT_EQ(OpenPopups(), "pair-request");
        if (c.receivers == 2) Add(*pool[1]);
        if (c.failWrite) pool[0]->FailWrites(1);
        bus.ClearLog();

        view->SendMessage(WM_PAIR_ANSWER, mouse.Id(), c.accept);
        fw::PumpPending();
        EXPECT_EQ(AnswersIn(bus.Log()), c.sent);
        EXPECT_EQ(OpenPopups(), c.open);
        for (CDlgReceiverItem* item : view->Receivers())
            EXPECT_EQ(item->KillTimer(CDlgReceiverItem::kPairingWatchTimer),
                      std::string(c.open) == "progress")
                << "the pairing watch runs only after an accepted answer";
    }
}

TEST_F(ItemView, APairingFromTheReceiverEndsOnTheSuccessPageWithTheDeviceListedAboveAddNewDevice) {
    virt::VirtualReceiver& receiver = Plugged("R1");
    receiver.AddPaired(Device("Slim Keyboard", kKindKeyboard, 0x0A0B0C));
    Add(receiver);
    view->AddNotifyChannel(receiver.NotifyPath());
    EXPECT_EQ(view->ChannelCount(), 1u);

    receiver.AskToPair(Device("Travel Mouse", kKindMouse, 0x123456));
    ASSERT_TRUE(fw::PumpUntil([] { return Open<CDlgPairReq>() != nullptr; }, 5000));
    CDlgPairReq& request = *Open<CDlgPairReq>();
    EXPECT_EQ(request.GetDeviceRecord().Id(), 0x123456u);
    EXPECT_STREQ(request.GetDeviceRecord().name, "Travel Mou") << "ten characters come with an event";
    EXPECT_TRUE(request.GetExStyle() & WS_EX_TOPMOST);
    const RECT around = main.GetWindowRect();
    const RECT own = request.GetWindowRect();
    EXPECT_LE(std::abs((own.left + own.right) - (around.left + around.right)), 1)
        << "centred on the main window";
    EXPECT_LE(std::abs((own.top + own.bottom) - (around.top + around.bottom)), 1);

    bus.ClearLog();
    SendMessageW(request.GetDlgItem(IDC_BTN_ADD_DEVICE), BM_CLICK, 0, 0);
    ASSERT_TRUE(fw::PumpUntil([] { return Open<CDlgPairProgress>() != nullptr; }, 5000));
    EXPECT_EQ(OpenPopups(), "progress");
    EXPECT_THAT(AnswersIn(bus.Log()), ElementsAre(std::vector<std::uint8_t>{1, 0x56, 0x34, 0x12}));

    CDlgReceiverItem& item = *view->Receivers()[0];
    item.SendMessage(WM_TIMER, CDlgReceiverItem::kPairingWatchTimer);
    fw::PumpPending();
    EXPECT_EQ(OpenPopups(), "progress") << "the device has not joined yet";

    bus.Advance(1500);
    item.SendMessage(WM_TIMER, CDlgReceiverItem::kPairingWatchTimer);
    ASSERT_TRUE(fw::PumpUntil([] { return Open<CDlgPairSucc>() != nullptr; }, 5000));
    EXPECT_TRUE(fw::PumpUntil([] { return OpenPopups() == "success"; }, 5000)) << OpenPopups();

    const auto rows = item.ListItems();
    ASSERT_EQ(rows.size(), 3u);
    std::vector<DeviceId> ids;
    for (const CDlgItem* row : rows) {
        DeviceSlotRecord record{};
        row->GetRecord(record);
        ids.push_back(record.Id());
    }
    EXPECT_THAT(ids, ElementsAre(0x0A0B0Cu, 0x123456u, 0u));
    EXPECT_NE(dynamic_cast<CDlgAddNewDev*>(rows[2]), nullptr);
    EXPECT_TRUE(::IsWindowVisible(rows[1]->m_hWnd));
    EXPECT_EQ(PlaceOf(rows[1]->m_hWnd).bottom, PlaceOf(rows[2]->m_hWnd).top) << "just above Add New Device";
}

TEST_F(ItemView, GoToControlPanelAndHelpRequestsCloseThePopupThatAsked) {
    Add(Plugged("R1"));
    show = false;
    main.ShowWindow(SW_HIDE);
    Notify(kNotifyAlreadyConnected, Data("Travel Mouse", 0x123456));
    const CDlgRedundant* redundant = Open<CDlgRedundant>();
    ASSERT_NE(redundant, nullptr);

    view->SendMessage(WM_SHOW_CONTROL_PANEL, 0, reinterpret_cast<LPARAM>(main.m_hWnd));
    EXPECT_EQ(OpenPopups(), "redundant") << "not a pop-up: nothing closed";
    ASSERT_TRUE(main.ShowWindow(SW_HIDE));
    show = false;
    SendMessageW(redundant->GetDlgItem(IDC_BTN_GO_CONTROL_PANEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(fw::PumpUntil([&] { return main.IsWindowVisible(); }, 5000));
    EXPECT_TRUE(show);
    EXPECT_EQ(OpenPopups(), "");

    view->SendMessage(WM_SHOW_WELCOME);
    const CDlgWelcome* welcome = Open<CDlgWelcome>();
    ASSERT_NE(welcome, nullptr);
    SendMessageW(welcome->GetDlgItem(IDC_BTN_LEARN_PAIR), BM_CLICK, 0, 0);
    EXPECT_TRUE(fw::PumpUntil([] { return OpenPopups() == "help"; }, 5000)) << OpenPopups();
}

TEST_F(ItemView, ManyReceiversStackAndScrollByTheBarAndTheWheel) {
    for (const char* tag : {"R1", "R2", "R3", "R4", "R5", "R6"})
        Add(Plugged(tag));
    const auto items = view->Receivers();
    const auto stacked = [&](int offset) {
        int y = offset;
        for (const CDlgReceiverItem* item : items) {
            if (PlaceOf(item->m_hWnd).top != y) return false;
            y += item->GetTotalSize().cy;
        }
        return true;
    };
    int height = 0;
    for (const CDlgReceiverItem* item : items)
        height += item->GetTotalSize().cy;
    const RECT client = view->GetClientRect();
    ASSERT_GT(height, client.bottom) << "the content must be taller than the view";
    EXPECT_TRUE(stacked(0));
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [](const auto* item) { return item->IsExpanded(); }),
              1)
        << "only the first one added";
    EXPECT_TRUE(::IsWindowVisible(Bar()));
    const SCROLLINFO info = BarInfo(Bar());
    EXPECT_EQ(info.nMax, height - client.bottom);
    const int line = LineStepOf(info);

    // The bar's own down arrow.
    auto* bar = dynamic_cast<CSkinScrollBar*>(CWnd::FromHandle(Bar()));
    ASSERT_NE(bar, nullptr);
    const RECT down = bar->GetPartRect(skin::kPartDown);
    const LPARAM at = MAKELPARAM((down.left + down.right) / 2, (down.top + down.bottom) / 2);
    bar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    bar->SendMessage(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(view->ScrollOffset(), -line);
    EXPECT_TRUE(stacked(-line));

    view->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    EXPECT_EQ(view->ScrollOffset(), -line) << "only the view's own bar scrolls it";

    view->ScrollByWheel(true);
    EXPECT_EQ(view->ScrollOffset(), -2 * line);
    view->ScrollByWheel(false);
    EXPECT_EQ(view->ScrollOffset(), -line);

    const int last = info.nMax - static_cast<int>(info.nPage);
    view->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 30000), reinterpret_cast<LPARAM>(Bar()));
    EXPECT_EQ(view->ScrollOffset(), -last);
    EXPECT_TRUE(stacked(-last));
    view->ScrollByWheel(true);
    EXPECT_EQ(view->ScrollOffset(), -last) << "the end of the range";
    EXPECT_TRUE(stacked(-last));
    EXPECT_EQ(BarInfo(Bar()).nPos, last);
}

TEST_F(ItemView, ScrolledRowsLookAsAFreshPaintingDrawsThem) {
    for (const char* tag : {"R1", "R2", "R3", "R4", "R5", "R6"}) {
        virt::VirtualReceiver& receiver = Plugged(tag);
        receiver.AddPaired(Device("Slim Keyboard", kKindKeyboard, 0x0A0B0C));
        Add(receiver);
    }
    ASSERT_TRUE(::IsWindowVisible(Bar()));
    // A quick turn of the wheel: several notches before the view paints again.
    for (int notch = 0; notch < 3; ++notch)
        view->ScrollByWheel(true);
    fw::PumpPending();
    const std::vector<std::uint32_t> scrolled = ShownPixels(view->m_hWnd);
    RedrawWindow(view->m_hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    fw::PumpPending();
    const std::vector<std::uint32_t> fresh = ShownPixels(view->m_hWnd);
    ASSERT_EQ(scrolled.size(), fresh.size());
    EXPECT_EQ(std::mismatch(scrolled.begin(), scrolled.end(), fresh.begin()).first - scrolled.begin(),
              static_cast<std::ptrdiff_t>(fresh.size()))
        << "the first pixel that differs";
}

TEST_F(ItemView, DestroyingTheViewJoinsItsReadersFreesWhatTheyPostedAndClosesThePopups) {
    virt::VirtualReceiver& r1 = Plugged("R1");
    virt::VirtualReceiver& r2 = Plugged("R2");
    for (virt::VirtualReceiver* r : {&r1, &r2}) {
        Add(*r);
        view->AddNotifyChannel(r->NotifyPath());
    }
    const std::wstring nowhere = L"\\\\?\\hid#nothing#here";
    view->AddNotifyChannel(nowhere);
    view->AddNotifyChannel(r1.NotifyPath());
    EXPECT_EQ(view->ChannelCount(), 4u) << "listed even when it could not be opened or is listed already";
    EXPECT_TRUE(view->RemoveNotifyChannel(Upper(r1.NotifyPath()))) << "the first of the two";
    EXPECT_FALSE(view->RemoveNotifyChannel(nowhere)) << "never opened: no path to find it by";
    EXPECT_EQ(view->ChannelCount(), 3u);
    Notify(kNotifyAlreadyConnected, Data("Travel Mouse", 0x123456));
    view->SendMessage(WM_SHOW_PAIR_HELP);
    view->SendMessage(WM_SHOW_WELCOME);
    ASSERT_EQ(OpenPopups(), "multiple, help, welcome");

    // Left in the queue: one posted here, four by the readers.
    const std::size_t before = NotifyRecord::LiveOnHeap();
    auto queued = std::make_unique<NotifyRecord>();
    ASSERT_TRUE(PostOwned(view->m_hWnd, WM_RECEIVER_NOTIFY, std::move(queued), 0));
    for (std::uint8_t n = 1; n <= 2; ++n) {
        r1.SendInput(Report(kNotifyAlreadyConnected, 'A', n));
        r2.SendInput(Report(kNotifyAlreadyConnected, 'B', n));
    }
    ASSERT_TRUE(WaitWithoutPumping([&] { return NotifyRecord::LiveOnHeap() == before + 5; }));

    view->DestroyWindow();
    EXPECT_EQ(NotifyRecord::LiveOnHeap(), before) << "every queued record freed";
    EXPECT_EQ(view->ChannelCount(), 0u);
    EXPECT_TRUE(view->Receivers().empty());
    EXPECT_EQ(OpenPopups(), "");
    r1.SendInput(Report(kNotifyPairRequest, 'C', 1));
    fw::PumpPending();
}

// The real main window with its item view, discovering the virtual bus.
class MainWindow : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        RegDeleteTreeW(HKEY_CURRENT_USER, settings::kKeyPath);
        RegisterMainWindowClass(GetModuleHandleW(nullptr));
    }
    void TearDown() override {
        if (dialog && dialog->m_hWnd) dialog->SendMessage(WM_CLOSE);
        dialog.reset();
        CloseAllPopups();
        RegDeleteTreeW(HKEY_CURRENT_USER, settings::kKeyPath);
        WindowTest::TearDown();
    }

    void Start(bool showWelcome = false) {
        dialog = std::make_unique<CMainDlg>(MainWindowSetup{.show = show,
                                                            .moduleFolder = L"C:\\pw-no-such-folder",
                                                            .notices = hotplug,
                                                            .welcomeSwitch = welcomeSwitch,
                                                            .showWelcome = showWelcome});
        ASSERT_TRUE(dialog->Create(nullptr));
        fw::PumpPending();
    }

    CVirtualHotplug hotplug{bus};
    std::unique_ptr<CMainDlg> dialog;
};

TEST_F(MainWindow, HiddenByNoShowItStillOpensAPairRequestWhoseLinkShowsIt) {
    virt::VirtualReceiver& receiver = Plugged("R1");
    show = false;
    Start(true);
    EXPECT_FALSE(dialog->IsWindowVisible());
    EXPECT_EQ(OpenPopups(), "") << "no welcome page while hidden";

    receiver.AskToPair(Device("Travel Mouse", kKindMouse, 0x123456));
    ASSERT_TRUE(fw::PumpUntil([] { return Open<CDlgPairReq>() != nullptr; }, 5000));
    const CDlgPairReq& request = *Open<CDlgPairReq>();
    EXPECT_TRUE(request.IsWindowVisible());
    EXPECT_FALSE(dialog->IsWindowVisible());

    SendMessageW(request.GetDlgItem(IDC_BTN_GO_CONTROL_PANEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(fw::PumpUntil([&] { return dialog->IsWindowVisible(); }, 5000));
    EXPECT_TRUE(show);
    EXPECT_EQ(OpenPopups(), "");
}

TEST_F(MainWindow, ShownItAsksForTheWelcomePageAtStart) {
    Start(true);
    EXPECT_TRUE(fw::PumpUntil([] { return OpenPopups() == "welcome"; }, 5000)) << OpenPopups();
}

TEST_F(MainWindow, ConsoleDisconnectStopsEventsAndReconnectRefreshesEveryReceiver) {
    virt::VirtualReceiver& r1 = Plugged("R1");
    virt::VirtualReceiver& r2 = Plugged("R2");
    show = false;
    Start();
    ASSERT_EQ(dialog->View().ReceiverCount(), 2);
    ASSERT_EQ(dialog->View().ChannelCount(), 2u);
    CloseAllPopups();

    dialog->SendMessage(WM_WTSSESSION_CHANGE, 2, 0);
    r1.AskToPair(Device("Travel Mouse", kKindMouse, 0x123456));
    EXPECT_FALSE(fw::PumpUntil([] { return !OpenPopups().empty(); }, 500)) << OpenPopups();

    bus.ClearLog();
    dialog->SendMessage(WM_WTSSESSION_CHANGE, 1, 0);
    for (const virt::VirtualReceiver* r : {&r1, &r2}) {
        std::vector<std::uint8_t> commands;
        for (const virt::Transfer& t : bus.LogFor(r->CommandPath()))
            if (t.kind == virt::TransferKind::SetFeature) commands.push_back(t.bytes[1]);
        EXPECT_EQ(commands.front(), kCmdQuerySlotCount) << "refreshed";
    }
    r2.AskToPair(Device("Other Mouse", kKindMouse, 0x654321));
    EXPECT_TRUE(fw::PumpUntil([] { return !OpenPopups().empty(); }, 5000)) << "events flow again";
}

TEST_F(MainWindow, ItsTextsReachEveryReceiverItemThroughTheView) {
    Plugged("R1");
    Plugged("R2");
    Start();
    CMultiLanguage::s_texts[L"IDC_STATIC_FW_VERSION"] = L"Firmware of the receiver:";
    dialog->SetLanguage(L"English");
    for (const CDlgReceiverItem* item : dialog->View().Receivers())
        EXPECT_EQ(TextOf(item->GetDlgItem(IDC_STATIC_FW_VERSION)), L"Firmware of the receiver:");
}

TEST_F(MainWindow, TheWheelOverTheMainWindowOrAReceiverScrollsOneLinePerMessage) {
    for (const char* tag : {"R1", "R2", "R3", "R4", "R5", "R6"})
        Plugged(tag);
    show = false;
    Start();
    const CDlgItemView& view = dialog->View();
    ASSERT_EQ(view.ReceiverCount(), 6);
    const int line = LineStepOf(BarInfo(view.GetDlgItem(IDC_SCROLLBAR)));

    dialog->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(view.ScrollOffset(), -line);
    dialog->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-3 * WHEEL_DELTA)), 0);
    EXPECT_EQ(view.ScrollOffset(), -2 * line) << "one line whatever the delta";
    view.Receivers()[2]->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    fw::PumpPending();
    EXPECT_EQ(view.ScrollOffset(), -line) << "from a receiver item, once";
}

} // namespace
} // namespace pw
