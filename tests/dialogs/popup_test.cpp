// What every pop-up shares: how it opens, that WM_CLOSE leaves no window behind, its layouts and texts
// from the table, and its keyboard handling with real key strokes.
#include "dialogs/connection_dlgs.h"
#include "dialogs/guidance_dlgs.h"
#include "dialogs/pair_outcome_dlgs.h"
#include "dialogs/pair_progress_dlg.h"
#include "dialogs/pair_req_dlg.h"
#include "res/dialog_layouts.h"
#include "res/resource.h"
#include "tests/dialogs/popup_host.h"

#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace {

using namespace pw;
using namespace pwtest;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// One object of every pop-up class, as the item view holds them, and how each is opened.
struct EveryPopup {
    struct Entry {
        const char* name;
        CPopupDialog* popup;
        std::function<void()> handOver;
    };

    std::vector<Entry> All() {
        failed.SetMode(CDlgPairFailed::kModeDeviceLimited);
        succ.SetDeviceRecord(Record(1, "QT 1"));
        failedMsg.SetDeviceRecord(Record(2, "QT 2"));
        progress.SetDeviceRecord(Record(2, "QT 2"));
        return {
            {"pair request", &pairReq, [this] { pairReq.SetDeviceRecord(Record(2, "QT 5")); }},
            {"progress", &progress, {}},
            {"success", &succ, {}},
            {"pairing failed", &failed, [this] { failed.SetDeviceRecord(Record(2, "QT 7")); }},
            {"timed out", &failedMsg, {}},
            {"redundant connection", &redundant, [this] { redundant.SetDeviceRecord(Record(1, "QT 1")); }},
            {"multiple receivers", &forbid, [this] { forbid.SetDeviceRecord(Record(2, "QT 2")); }},
            {"welcome", &welcome, {}},
            {"help", &help, {}},
        };
    }

    FakeWelcomeSwitch welcomeSwitch;
    CDlgPairReq pairReq;
    CDlgPairProgress progress;
    CDlgPairSucc succ;
    CDlgPairFailed failed;
    CDlgPairFailedMsg failedMsg;
    CDlgRedundant redundant;
    CDlgForbidPair forbid;
    CDlgWelcome welcome{welcomeSwitch};
    CDlgPairHelp help;
};

class Popups : public PopupTest {
protected:
    bool Open(const EveryPopup::Entry& entry) { return host.Open(*entry.popup, entry.handOver); }

    EveryPopup popups;
};

POINT Centre(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST_F(Popups, OpenOverTheDesktopCentredOnTheMainWindowWhileItIsShownAndTopmost) {
    struct Case {
        const char* name;
        int mainShow;
        bool onMain;
    };
    const Case cases[] = {{"main window shown", SW_SHOWNOACTIVATE, true},
                          {"main window hidden", SW_HIDE, false},
                          {"main window minimised", SW_SHOWMINNOACTIVE, false}};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(host.MainWindow(), MONITOR_DEFAULTTONEAREST), &monitor));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.ShowMain(c.mainShow);
        CDlgPairHelp& help = popups.help;
        ASSERT_TRUE(host.Open(help));
        const POINT expected = Centre(c.onMain ? TestHost::kMainRect : monitor.rcWork);
        const POINT centre = Centre(help.GetWindowRect());
        EXPECT_NEAR(centre.x, expected.x, 1);
        EXPECT_NEAR(centre.y, expected.y, 1);
        EXPECT_TRUE(help.GetExStyle() & WS_EX_TOPMOST);
        EXPECT_EQ(GetWindow(help.m_hWnd, GW_OWNER), nullptr);
        EXPECT_EQ(help.GetOwner(), &host);

        const RECT before = help.GetWindowRect();
        EXPECT_FALSE(host.Open(help)) << "open already: left as it is";
        EXPECT_EQ(Centre(help.GetWindowRect()).x, Centre(before).x);
        help.Close();
    }
}

TEST_F(Popups, CloseRequestDestroysEveryPopupLikeItsOwnButtonAndTheNextEventOpensItAgain) {
    const std::set<HWND> before = ThreadWindows();
    for (const auto& entry : popups.All()) {
        SCOPED_TRACE(entry.name);
        const int stops = host.stops;
        ASSERT_TRUE(Open(entry));
        EXPECT_NE(ThreadWindows(), before);
        entry.popup->SendMessage(WM_CLOSE);
        fw::PumpPending();
        EXPECT_FALSE(entry.popup->IsOpen());
        EXPECT_EQ(ThreadWindows(), before) << "no hidden window left";
        EXPECT_THAT(host.TakePosted(), IsEmpty());
        const bool progress = entry.popup == &popups.progress;
        EXPECT_EQ(host.stops - stops, progress ? 1 : 0) << "the progress closes as its Cancel does";
        EXPECT_TRUE(Open(entry));
        entry.popup->Close();
    }
}

// Where the layout table puts every control, in both layouts, and the language texts it shows.
void ExpectTableLayoutAndTexts(const CDialog& popup, bool arabic) {
    const pw::ui::Dialog* table = pw::ui::FindDialog(static_cast<int>(popup.GetTemplateId()));
    ASSERT_NE(table, nullptr);
    HWND dialog = popup.m_hWnd;
    for (const pw::ui::Control& c : table->controls) {
        SCOPED_TRACE(std::string(c.symbol));
        if (c.HasLayout()) {
            const pw::ui::Rect r = pw::ui::PixelRect(c, arabic);
            const RECT at = RectIn(dialog, c.id);
            EXPECT_EQ(at.left, r.x);
            EXPECT_EQ(at.top, r.y);
            EXPECT_EQ(at.right - at.left, r.cx);
            EXPECT_EQ(at.bottom - at.top, r.cy);
            EXPECT_EQ(ReadsRightToLeft(dialog, c.id), arabic && !(c.flags & pw::ui::kNoRtlReading));
        }
        if (c.textKey && !(c.flags & pw::ui::kComposedText)) {
            EXPECT_EQ(Text(dialog, c.id), std::wstring(L"ar:") + TextEntryOf(*c.textKey).key);
        }
    }
}

TEST_F(Popups, BothLayoutsAndTheTextsComeFromTheTable) {
    std::vector<std::wstring> marked;
    for (const TextEntry& e : kTextTable)
        marked.push_back(std::wstring(L"ar:") + e.key);
    for (const bool arabic : {false, true}) {
        SCOPED_TRACE(arabic ? "Arabic" : "English");
        UseLanguage(arabic ? L"Arabic" : L"English");
        for (size_t i = 0; i < kTextTable.size(); ++i)
            CMultiLanguage::s_texts[kTextTable[i].key] = marked[i];
        for (const auto& entry : popups.All()) {
            SCOPED_TRACE(entry.name);
            ASSERT_TRUE(Open(entry));
            ExpectTableLayoutAndTexts(*entry.popup, arabic);
            entry.popup->Close();
        }
    }
}

TEST_F(Popups, ArabicPlacesThePartsOnTheOtherSide) {
    UseLanguage(L"Arabic");
    struct Case {
        CPopupDialog* popup;
        int id;
        RECT at;
    };
    EveryPopup& p = popups;
    const Case cases[] = {
        {&p.pairReq, IDC_BTN_ADD_DEVICE, {118, 192, 195, 220}},
        {&p.pairReq, IDC_BTN_NOT_ADD_DEVICE, {34, 192, 111, 220}},
        {&p.pairReq, IDC_PIC_DEVICE, {437, 70, 485, 118}},
        {&p.progress, IDCANCEL, {35, 190, 112, 221}},
        {&p.progress, IDC_STATIC_PAIRING, {79, 78, 478, 106}},
        {&p.failedMsg, IDC_STATIC_HELP_COMMENT, {759, 336, 920, 390}},
        {&p.failedMsg, IDC_STATIC_HELP_COMMENT5, {42, 336, 203, 390}},
        {&p.help, IDC_STATIC_HELP_COMMENT, {759, 336, 920, 390}},
        {&p.help, IDC_STATIC_HELP_COMMENT5, {42, 336, 203, 390}},
        {&p.welcome, IDC_BTN_DONE, {60, 281, 251, 312}},
        {&p.welcome, IDC_BTN_LEARN_PAIR, {275, 281, 466, 312}},
        {&p.redundant, IDC_BTN_REDANT_OK, {32, 171, 113, 202}},
        {&p.redundant, IDC_BTN_GO_CONTROL_PANEL, {13, 237, 247, 266}},
        {&p.forbid, IDC_BTN_MORE_DG_OK, {32, 195, 112, 228}},
        {&p.forbid, IDC_BTN_GO_CONTROL_PANEL, {13, 262, 247, 291}},
    };
    for (const auto& entry : popups.All())
        ASSERT_TRUE(Open(entry)) << entry.name;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.popup->GetTemplateId() << " control " << c.id);
        const RECT at = RectIn(c.popup->m_hWnd, c.id);
        EXPECT_EQ(at.left, c.at.left);
        EXPECT_EQ(at.top, c.at.top);
        EXPECT_EQ(at.right, c.at.right);
        EXPECT_EQ(at.bottom, c.at.bottom);
    }
}

struct KeyCase {
    const char* name;
    std::vector<int> tabOrder; // from the control that has the focus when the pop-up opens
    bool enterCloses;
    bool escapeCloses;
    int spaceOn;
    bool spaceCloses;
    std::vector<UINT> spacePosts;
};

TEST_F(Popups, TabMovesBetweenTheButtonsSpacePressesOneEnterAndEscapeDoWhatEachPopupSays) {
    const KeyCase cases[] = {
        {"pair request",
         {IDC_BTN_ADD_DEVICE, IDC_BTN_NOT_ADD_DEVICE, IDC_BTN_GO_CONTROL_PANEL},
         false,
         false,
         IDC_BTN_NOT_ADD_DEVICE,
         false,
         {WM_PAIR_ANSWER}},
        {"progress", {IDCANCEL}, false, false, IDCANCEL, true, {}},
        {"success", {IDC_BTN_FINISH, IDC_BTN_GO_CONTROL_PANEL}, false, false, IDC_BTN_FINISH, true, {}},
        {"pairing failed",
         {IDC_BTN_OK, IDC_BTN_GO_CONTROL_PANEL},
         true,
         false,
         IDC_BTN_GO_CONTROL_PANEL,
         true,
         {WM_SHOW_CONTROL_PANEL}},
        {"timed out",
         {IDC_BTN_GO_CONTROL_PANEL},
         true,
         true,
         IDC_BTN_GO_CONTROL_PANEL,
         true,
         {WM_SHOW_CONTROL_PANEL}},
        {"redundant connection",
         {IDC_BTN_REDANT_OK, IDC_BTN_GO_CONTROL_PANEL},
         true,
         false,
         IDC_BTN_REDANT_OK,
         true,
         {}},
        {"multiple receivers",
         {IDC_BTN_MORE_DG_OK, IDC_BTN_GO_CONTROL_PANEL},
         true,
         false,
         IDC_BTN_GO_CONTROL_PANEL,
         true,
         {WM_SHOW_CONTROL_PANEL}},
        {"welcome",
         {IDC_BTN_DONE, IDC_BTN_GO_CONTROL_PANEL, IDC_BTN_LEARN_PAIR, IDC_CHECK_DONOT_SHOW},
         false,
         false,
         IDC_CHECK_DONOT_SHOW,
         false,
         {}},
        {"help",
         {IDC_BTN_GO_CONTROL_PANEL},
         false,
         false,
         IDC_BTN_GO_CONTROL_PANEL,
         false,
         {WM_SHOW_CONTROL_PANEL}},
    };
    const auto entries = popups.All();
    ASSERT_EQ(std::size(cases), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const KeyCase& c = cases[i];
        const EveryPopup::Entry& entry = entries[i];
        CPopupDialog& popup = *entry.popup;
        SCOPED_TRACE(c.name);
        const auto open = [&] {
            if (!popup.IsOpen()) {
                ASSERT_TRUE(Open(entry));
            }
            if (GetForegroundWindow() != popup.m_hWnd) SetForegroundWindow(popup.m_hWnd);
            ASSERT_EQ(GetForegroundWindow(), popup.m_hWnd);
        };
        const auto focus = [] { return GetDlgCtrlID(GetFocus()); };
        const auto messages = [&] {
            std::vector<UINT> posted;
            for (const Posted& p : host.TakePosted())
                posted.push_back(p.message);
            return posted;
        };
        const int stops = host.stops;

        open();
        std::vector<int> seen{focus()};
        for (size_t n = 1; n < c.tabOrder.size(); ++n) {
            PressKeys({VK_TAB});
            seen.push_back(focus());
        }
        EXPECT_THAT(seen, ElementsAreArray(c.tabOrder));
        PressKeys({VK_TAB});
        EXPECT_EQ(focus(), c.tabOrder.front()) << "round again";
        PressKeys({VK_SHIFT, VK_TAB});
        EXPECT_EQ(focus(), c.tabOrder.back()) << "Shift+Tab goes back";

        PressKeys({VK_RETURN});
        EXPECT_EQ(popup.IsOpen(), !c.enterCloses) << "Enter";
        open();
        PressKeys({VK_ESCAPE});
        EXPECT_EQ(popup.IsOpen(), !c.escapeCloses) << "Escape";
        EXPECT_THAT(messages(), IsEmpty()) << "Enter and Escape answer nothing";
        EXPECT_EQ(host.stops, stops) << "Escape is not Cancel";

        open();
        while (focus() != c.spaceOn && popup.IsOpen())
            PressKeys({VK_TAB});
        PressKeys({VK_SPACE});
        EXPECT_EQ(popup.IsOpen(), !c.spaceCloses) << "Space";
        EXPECT_THAT(messages(), ElementsAreArray(c.spacePosts));

        open();
        const int stopsBeforeClose = host.stops;
        PressKeys({VK_MENU, VK_F4});
        EXPECT_FALSE(popup.IsOpen()) << "Alt+F4";
        EXPECT_THAT(messages(), IsEmpty());
        EXPECT_EQ(host.stops - stopsBeforeClose, &popup == &popups.progress ? 1 : 0);
        EXPECT_TRUE(Open(entry)) << "opens again";
        popup.Close();
    }
    EXPECT_EQ(popups.welcomeSwitch.writes, std::vector<bool>{true}) << "Space on the check box";
}

} // namespace
