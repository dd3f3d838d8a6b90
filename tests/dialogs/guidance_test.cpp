// The welcome, help and no-receiver pages, the redundant-connection and multiple-receivers pop-ups, and
// texts a translation gives the pop-ups.
#include "app/settings.h"
#include "dialogs/connection_dlgs.h"
#include "dialogs/guidance_dlgs.h"
#include "dialogs/pair_outcome_dlgs.h"
#include "framework/handles.h"
#include "res/resource.h"
#include "tests/dialogs/popup_host.h"

#include <gmock/gmock.h>

namespace {

using namespace pw;
using namespace pwtest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Guidance : public PopupTest {};

TEST_F(Guidance, WelcomeCheckBoxStartsFromTheSwitchAndEveryClickWritesIt) {
    struct Case {
        const char* name;
        std::optional<bool> stored;
        int checked;
        std::vector<bool> writes; // after two clicks
    };
    // The first case leaves the box checked: the next window still starts from the switch.
    const Case cases[] = {
        {"do not show", true, 1, {false, true}},
        {"nothing stored", std::nullopt, 0, {true, false}},
        {"show", false, 0, {true, false}},
    };
    FakeWelcomeSwitch welcomeSwitch;
    CDlgWelcome welcome(welcomeSwitch);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        welcomeSwitch = FakeWelcomeSwitch{};
        welcomeSwitch.stored = c.stored;
        ASSERT_TRUE(host.Open(welcome));
        HWND box = welcome.GetDlgItem(IDC_CHECK_DONOT_SHOW);
        EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), c.checked) << "a new window starts from the switch";
        Click(welcome.m_hWnd, IDC_CHECK_DONOT_SHOW);
        Click(welcome.m_hWnd, IDC_CHECK_DONOT_SHOW);
        EXPECT_EQ(welcomeSwitch.writes, c.writes);
        EXPECT_TRUE(welcome.IsOpen());
        welcome.Close();
    }
}

TEST_F(Guidance, WelcomeSwitchIsTheShowWelcomeSettingWhenItIsADword) {
    struct Case {
        const char* name;
        DWORD type;
        std::vector<BYTE> data;
        int checked;
        DWORD writtenByClick;
    };
    const Case cases[] = {
        {"ShowWelcome 0", REG_DWORD, {0, 0, 0, 0}, 1, 1},
        {"ShowWelcome 2", REG_DWORD, {2, 0, 0, 0}, 0, 0},
        {"ShowWelcome a string", REG_SZ, {'0', 0, 0, 0}, 0, 0},
        {"no ShowWelcome", REG_NONE, {}, 0, 0},
    };
    settings::CRegistryWelcomeSwitch welcomeSwitch;
    CDlgWelcome welcome(welcomeSwitch);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteTreeW(HKEY_CURRENT_USER, settings::kKeyPath);
        HKEY raw = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, settings::kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &raw, nullptr),
                  ERROR_SUCCESS);
        const fw::UniqueRegKey key(raw);
        if (!c.data.empty())
            RegSetValueExW(key.get(), settings::kShowWelcome, 0, c.type, c.data.data(),
                           static_cast<DWORD>(c.data.size()));

        ASSERT_TRUE(host.Open(welcome));
        EXPECT_EQ(SendDlgItemMessageW(welcome.m_hWnd, IDC_CHECK_DONOT_SHOW, BM_GETCHECK, 0, 0), c.checked);
        Click(welcome.m_hWnd, IDC_CHECK_DONOT_SHOW);
        DWORD type = REG_NONE, value = 0xFFFF, size = sizeof value;
        EXPECT_EQ(RegQueryValueExW(key.get(), settings::kShowWelcome, nullptr, &type,
                                   reinterpret_cast<BYTE*>(&value), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << "written at once, as a DWORD";
        EXPECT_EQ(value, c.writtenByClick);
        welcome.Close();
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, settings::kKeyPath);
}

TEST_F(Guidance, WelcomeAsksForHelpOrTheMainWindowAndDoneClosesIt) {
    FakeWelcomeSwitch welcomeSwitch;
    CDlgWelcome welcome(welcomeSwitch);
    ASSERT_TRUE(host.Open(welcome));
    const LPARAM self = reinterpret_cast<LPARAM>(welcome.m_hWnd);
    EXPECT_EQ(Text(welcome.m_hWnd, IDC_STATIC_WELCOME_TITLE), L"Welcome to Vorn Veltrane Receiver");
    EXPECT_EQ(Text(welcome.m_hWnd, IDC_BTN_DONE), L"Done");
    Click(welcome.m_hWnd, IDC_BTN_LEARN_PAIR);
    Click(welcome.m_hWnd, IDC_BTN_GO_CONTROL_PANEL);
    EXPECT_THAT(host.TakePosted(),
                ElementsAre(Posted{WM_SHOW_PAIR_HELP, 0, self}, Posted{WM_SHOW_CONTROL_PANEL, 0, self}));
    EXPECT_TRUE(welcome.IsOpen()) << "the owner closes it";
    Click(welcome.m_hWnd, IDC_BTN_DONE);
    EXPECT_FALSE(welcome.IsOpen());
    EXPECT_THAT(host.TakePosted(), IsEmpty());
}

TEST_F(Guidance, HelpOffersOnlyItsLinkAndShowsTheSteps) {
    UseLanguage(L"English",
                {{L"IDC_STATIC_HELP_COMMENT", L"1. Find the switch.\\n2. Slide it.\\n\\n3. Hold a key."}});
    CDlgPairHelp help;
    ASSERT_TRUE(host.Open(help));
    HWND window = help.m_hWnd;
    EXPECT_EQ(Text(window, IDC_STATIC_HELP_TITLE), L"Adding Your Device?");
    EXPECT_EQ(Text(window, IDC_STATIC_HELP_COMMENT), L"1. Find the switch.\n2. Slide it.\n\n3. Hold a key.");
    EXPECT_EQ(Text(window, IDC_STATIC_HELP_DISTANCE),
              L"Device and receiver should be within 24 inches or less when pairing.");
    EXPECT_FALSE(Visible(window, IDC_BTN_HELP_NOT_NOW));
    EXPECT_FALSE(IsWindowEnabled(help.GetDlgItem(IDC_BTN_HELP_NOT_NOW)));
    Click(window, IDC_BTN_GO_CONTROL_PANEL);
    EXPECT_THAT(host.TakePosted(),
                ElementsAre(Posted{WM_SHOW_CONTROL_PANEL, 0, reinterpret_cast<LPARAM>(window)}));
    EXPECT_TRUE(help.IsOpen()) << "the owner closes it";
}

TEST_F(Guidance, NoReceiverTipIsAPanelOfItsParentThatNothingElseEnds) {
    for (const bool arabic : {false, true}) {
        SCOPED_TRACE(arabic ? "Arabic" : "English");
        UseLanguage(arabic ? L"Arabic" : L"English");
        HWND parent =
            CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 460, 600, nullptr, nullptr, nullptr, nullptr);
        CDlgNoDongleTip tip;
        ASSERT_TRUE(tip.Create(parent));
        EXPECT_EQ(GetParent(tip.m_hWnd), parent);
        EXPECT_TRUE(tip.GetStyle() & WS_CHILD);
        EXPECT_EQ(Text(tip.m_hWnd, IDC_STATIC_INSERT_TIP),
                  L"Please Plug in a Vorn Veltrane Receiver to get started.");
        const RECT at = RectIn(tip.m_hWnd, IDC_STATIC_INSERT_TIP);
        EXPECT_EQ(at.left, arabic ? 74 : 71);
        EXPECT_EQ(at.top, arabic ? 40 : 41);
        EXPECT_EQ(ReadsRightToLeft(tip.m_hWnd, IDC_STATIC_INSERT_TIP), arabic);
        for (const UINT id : {IDOK, IDCANCEL})
            tip.SendMessage(WM_COMMAND, id);
        tip.SendMessage(WM_CLOSE);
        EXPECT_TRUE(IsWindow(tip.m_hWnd));
        DestroyWindow(parent);
        EXPECT_EQ(tip.m_hWnd, nullptr);
    }
}

TEST_F(Guidance, RedundantAndMultipleReceiversNameTheDevice) {
    CDlgRedundant redundant;
    CDlgForbidPair forbid;
    struct Case {
        CConnectionDialog* dialog;
        DeviceSlotRecord record;
        int title;
        const wchar_t* titleText;
        int info;
        const wchar_t* infoText;
        int ok;
    };
    const Case cases[] = {
        {&redundant, Record(1, "QT 1"), IDC_STATIC_REDANT_TITLE, L"Redundant Connection",
         IDC_STATIC_REDANT_INFO, L"Vorn QT 1 Keyboard is already connected to this adapter.",
         IDC_BTN_REDANT_OK},
        {&forbid, Record(2, "QT 2"), IDC_STATIC_MORE_DG_TITLE, L"Multiple Vorn Veltrane Receivers Detected",
         IDC_STATIC_MORE_DG_INFO,
         L"Please only insert the receiver you would like to add Vorn QT 2 Mouse to, and remove the other "
         L"receivers.",
         IDC_BTN_MORE_DG_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialog->GetTemplateId());
        for (const int button : {c.ok, IDC_BTN_GO_CONTROL_PANEL}) {
            ASSERT_TRUE(host.Open(*c.dialog, [&] { c.dialog->SetDeviceRecord(c.record); }));
            HWND window = c.dialog->m_hWnd;
            EXPECT_EQ(Text(window, c.title), c.titleText);
            EXPECT_EQ(Text(window, c.info), c.infoText);
            Click(window, button);
            EXPECT_FALSE(c.dialog->IsOpen());
            const auto posted = host.TakePosted();
            if (button == c.ok) {
                EXPECT_THAT(posted, IsEmpty());
            } else {
                EXPECT_THAT(posted,
                            ElementsAre(Posted{WM_SHOW_CONTROL_PANEL, 0, reinterpret_cast<LPARAM>(window)}));
            }
        }
    }
}

TEST_F(Guidance, MultipleReceiversOpenedWithoutRecordOrOwnerKeepsItsTemplateSentence) {
    CDlgForbidPair forbid;
    ASSERT_TRUE(OpenPopup(forbid, host.MainWindow()));
    EXPECT_EQ(
        Text(forbid.m_hWnd, IDC_STATIC_MORE_DG_INFO),
        L"To connect XXX to [ReceiverName], additional receivers must be removed. Please remove all other "
        L"receivers to add this device.");
    Click(forbid.m_hWnd, IDC_BTN_GO_CONTROL_PANEL);
    EXPECT_FALSE(forbid.IsOpen());
    EXPECT_THAT(host.TakePosted(), IsEmpty());
}

TEST_F(Guidance, ATranslationWithoutTheNameShowsItsTextAlone) {
    UseLanguage(L"English", {{L"IDC_STATIC_REDANT_INFO", L"Already connected."},
                             {L"IDC_STATIC_SUCCESS_COMMENT", L"Ready for use."},
                             {L"IDC_DEVICE_LIMITED_TITLE", L"Limit reached!"},
                             {L"IDC_STATIC_FAILED_MSG_TITLE", L"Pairing failed"}});
    CDlgRedundant redundant;
    CDlgPairSucc succ;
    CDlgPairFailed failed;
    CDlgPairFailedMsg failedMsg;
    const DeviceSlotRecord record = Record(1, "QT 1");
    failed.SetMode(CDlgPairFailed::kModeDeviceLimited);
    succ.SetDeviceRecord(record);
    failedMsg.SetDeviceRecord(record);
    ASSERT_TRUE(host.Open(redundant, [&] { redundant.SetDeviceRecord(record); }));
    ASSERT_TRUE(host.Open(succ));
    ASSERT_TRUE(host.Open(failed, [&] { failed.SetDeviceRecord(record); }));
    ASSERT_TRUE(host.Open(failedMsg));
    EXPECT_EQ(Text(redundant.m_hWnd, IDC_STATIC_REDANT_INFO), L"Already connected.");
    EXPECT_EQ(Text(succ.m_hWnd, IDC_STATIC_SUCCESS_COMMENT), L"Ready for use.");
    EXPECT_EQ(Text(failed.m_hWnd, IDC_STATIC_FAIL_TITLE), L"Limit reached!");
    EXPECT_EQ(Text(failedMsg.m_hWnd, IDC_STATIC_FAILED_MSG_TITLE), L"Pairing failed");
}

} // namespace
