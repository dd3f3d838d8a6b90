// The road of a pairing as its user meets it: a device asks, the pop-ups of the pairing flow open,
// the user answers, the receiver is told, and the list shows the outcome.
#include "tests/e2e/harness.h"

#include "lang/text_format.h"
#include "res/dialog_layouts.h"
#include "res/resource.h"

#include <gmock/gmock.h>

namespace {

using namespace pwtest;
using namespace pwtest::e2e;
using pw::TextKey;

constexpr std::uint8_t kMouse = 2;
// The pairing watch gives up after 30 one-second ticks.
constexpr DWORD kWatchMs = 30000;

std::wstring TextOf(HWND dialog, int id) {
    const auto control = Control(dialog, id);
    return control ? control->text : L"<no control " + std::to_wstring(id) + L">";
}

bool ShowsControl(HWND dialog, int id) {
    const auto control = Control(dialog, id);
    return control && control->visible;
}

std::string CommandPath(const Trace& trace) {
    const auto receiver = trace.WaitFor("discovery", "^arrival receiver ");
    return receiver ? Literal(receiver->text.substr(receiver->text.rfind(' ') + 1)) : "<no receiver>";
}

// The item view: the one child of the main window that holds the receiver rows.
HWND ItemView(const Trace& trace) {
    return trace.WaitForOpen("IDD_ITEM_VIEW");
}

// Waits until the list reads as expected; false (and the list as it is) when it does not in time.
testing::AssertionResult ListBecomes(const Trace& trace, HWND view, const std::string& expected) {
    std::string shown;
    if (WaitUntil([&] { return (shown = Describe(Rows(trace, view))) == expected; }, kWaitMs))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the list shows " << shown;
}

// A pop-up as the item view opens it: shown, topmost and centred on the visible main window.
void ExpectOpenedOverMain(HWND popup, HWND main) {
    const Window window = Inspect(popup);
    EXPECT_TRUE(window.visible);
    EXPECT_NE(window.exStyle & WS_EX_TOPMOST, 0u);
    EXPECT_TRUE(CentredOn(window, main)) << "at " << window.screen.left << ", " << window.screen.top;
}

TEST_F(EndToEnd, AnAcceptedDeviceIsAddedAndListedAboveAddNewDevice) {
    Session run({.scenario = "pair_request"});
    HWND main = run.MainWindow();
    ASSERT_NE(main, nullptr);
    const std::string command = CommandPath(run.trace);
    const std::wstring folder = ProgramFolder();

    HWND request = run.trace.WaitForShown("IDD_PAIR_REQ");
    ASSERT_NE(request, nullptr) << "the mouse asks two seconds in";
    EXPECT_TRUE(run.trace.WaitFor("dispatch", "^code 01 receivers 1 .*open-pair-request", 0));
    ExpectOpenedOverMain(request, main);
    EXPECT_EQ(TextOf(request, IDC_STATIC_DETECTED), L"Vorn QT 5 Mouse Detected!");
    EXPECT_EQ(TextOf(request, IDC_STATIC_PAIR_REQ_COMMENT),
              L"Would you like to add it to your Vorn Veltrane Receiver?");
    EXPECT_TRUE(ShowsControl(request, IDC_PIC_DEVICE));

    ASSERT_TRUE(Click(request, IDC_BTN_ADD_DEVICE));
    EXPECT_TRUE(run.trace.WaitFor("hid", "^set-feature " + command + " 080401563412"))
        << "accepts the mouse by its id";
    EXPECT_TRUE(run.trace.WaitForClose(request));
    HWND progress = run.trace.WaitForShown("IDD_PAIR_PROGRESS");
    ASSERT_NE(progress, nullptr);
    ExpectOpenedOverMain(progress, main);
    EXPECT_EQ(TextOf(progress, IDC_STATIC_PAIRING), L"Please wait while we add your device.");

    HWND success = run.trace.WaitForShown("IDD_PAIR_SUCC", kWatchMs);
    ASSERT_NE(success, nullptr) << "the mouse shows up among the slots";
    EXPECT_TRUE(run.trace.WaitForClose(progress));
    ExpectOpenedOverMain(success, main);
    EXPECT_EQ(TextOf(success, IDC_STATIC_CONGRATULATIONS), L"Congratulations");
    EXPECT_EQ(TextOf(success, IDC_STATIC_SUCCESS_COMMENT),
              L"Your Vorn QT 5 Mouse is now added and ready for use.");
    EXPECT_TRUE(ShowsControl(success, IDC_BTN_FINISH));

    const HWND view = ItemView(run.trace);
    EXPECT_TRUE(ListBecomes(run.trace, view,
                            "IDD_RECEIVER_ITEM Vorn Veltrane Receiver | IDD_DEVICE_ITEM Vorn QT 1 Keyboard | "
                            "IDD_DEVICE_ITEM Vorn QT 5 Mouse | IDD_ADD_NEW_DEV"));
    EXPECT_TRUE(Stacked(Rows(run.trace, view))) << "the new row sits right above Add New Device";
    const auto receiver = Rows(run.trace, view).front();
    EXPECT_EQ(TextOf(receiver.hwnd, IDC_STATIC_PAIRED_COUNT),
              pw::ComposeCounts(1, LanguageText(folder, TextKey::Keyboards), 1,
                                LanguageText(folder, TextKey::Mice)));

    ASSERT_TRUE(Click(success, IDC_BTN_FINISH));
    EXPECT_TRUE(run.trace.WaitForClose(success));
    EXPECT_TRUE(Inspect(main).visible);
    ASSERT_TRUE(run.program.Close());
}

TEST_F(EndToEnd, ADeviceThatNeverShowsUpEndsOnTheTimedOutPageAfterThirtySeconds) {
    Session run({.scenario = "pair_never_joins"});
    HWND main = run.MainWindow();
    ASSERT_NE(main, nullptr);
    HWND request = run.trace.WaitForShown("IDD_PAIR_REQ");
    ASSERT_NE(request, nullptr);
    ASSERT_TRUE(Click(request, IDC_BTN_ADD_DEVICE));
    HWND progress = run.trace.WaitForShown("IDD_PAIR_PROGRESS");
    ASSERT_NE(progress, nullptr);
    const auto opened = run.trace.Find("window", "^open IDD_PAIR_PROGRESS ").front();

    HWND failed = run.trace.WaitForShown("IDD_PAIR_FAILED_MSG", kWatchMs + kWaitMs, opened.index);
    ASSERT_NE(failed, nullptr);
    const auto shown = run.trace.Find("window", "^open IDD_PAIR_FAILED_MSG ").front();
    EXPECT_GE(shown.microseconds - opened.microseconds, 29'000'000) << "thirty ticks of one second";
    EXPECT_TRUE(run.trace.WaitForClose(progress));
    EXPECT_TRUE(run.trace.Find("window", "^open IDD_PAIR_SUCC ").empty());
    ExpectOpenedOverMain(failed, main);
    EXPECT_EQ(TextOf(failed, IDC_STATIC_FAILED_MSG_TITLE), L"Vorn QT 6 Mouse Pairing Failed");
    EXPECT_EQ(TextOf(failed, IDC_STATIC_DISTANCE), LanguageText(ProgramFolder(), TextKey::Distance));
    for (const int step : {IDC_STATIC_HELP_COMMENT, IDC_STATIC_HELP_COMMENT2, IDC_STATIC_HELP_COMMENT3,
                           IDC_STATIC_HELP_COMMENT4, IDC_STATIC_HELP_COMMENT5})
        EXPECT_TRUE(ShowsControl(failed, step)) << "step " << step;
    EXPECT_EQ(
        Describe(Rows(run.trace, ItemView(run.trace))),
        "IDD_RECEIVER_ITEM Vorn Veltrane Receiver | IDD_DEVICE_ITEM Vorn QT 1 Keyboard | IDD_ADD_NEW_DEV");

    // Its only visible way out is the link, which brings up the main window.
    ASSERT_TRUE(Click(failed, IDC_BTN_GO_CONTROL_PANEL));
    EXPECT_TRUE(run.trace.WaitForClose(failed));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }, kWaitMs));
    ASSERT_TRUE(run.program.Close());
}

// A device the receiver will not take, with one receiver plugged in: the page that says why, and
// nothing sent to the receiver.
struct Refusal {
    const char* scenario;
    const char* decision; // the dispatcher's, in the trace
    const char* symbol;
    int closeButton;
    int titleId;
    std::wstring title;
    int textId;
    std::wstring text;
    bool picture; // the device's picture beside the title
};

class Refused : public EndToEnd, public testing::WithParamInterface<Refusal> {};

TEST_P(Refused, ThePageTellsWhyAndNothingIsSent) {
    const Refusal& refusal = GetParam();
    Session run({.scenario = refusal.scenario});
    HWND main = run.MainWindow();
    ASSERT_NE(main, nullptr);
    const std::string command = CommandPath(run.trace);
    HWND page = run.trace.WaitForShown(refusal.symbol);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(
        run.trace.WaitFor("dispatch", std::string(" receivers 1 (.*,)?") + refusal.decision + "$", 0));
    ExpectOpenedOverMain(page, main);
    EXPECT_EQ(TextOf(page, refusal.titleId), refusal.title);
    EXPECT_EQ(TextOf(page, refusal.textId), refusal.text);
    EXPECT_EQ(ShowsControl(page, IDC_PIC_DEVICE), refusal.picture);
    EXPECT_TRUE(run.trace.OpenWindows("IDD_PAIR_REQ").empty());

    ASSERT_TRUE(Click(page, refusal.closeButton));
    EXPECT_TRUE(run.trace.WaitForClose(page));
    EXPECT_THAT(run.trace.Find("hid", "^set-feature " + command + " 0804"), testing::IsEmpty())
        << "the receiver gets no answer";
    ASSERT_TRUE(run.program.Close());
}

INSTANTIATE_TEST_SUITE_P(
    Codes, Refused,
    testing::Values(
        Refusal{"already_connected", "open-redundant", "IDD_REDUNDANT", IDC_BTN_REDANT_OK,
                IDC_STATIC_REDANT_TITLE, L"Redundant Connection", IDC_STATIC_REDANT_INFO,
                L"Vorn QT 1 Keyboard is already connected to this adapter.", false},
        Refusal{"device_limited", "open-failed-device-limited", "IDD_PAIR_FAILED", IDC_BTN_OK,
                IDC_STATIC_FAIL_TITLE, L"Vorn QT 7 Mouse cannot be added to new receivers!",
                IDC_STATIC_FAIL_COMMENT,
                L"The device has reached its limit on the maximum number of times that it can be added to "
                L"compatible receivers.",
                true},
        Refusal{"receiver_full", "open-failed-receiver-full", "IDD_PAIR_FAILED", IDC_BTN_OK,
                IDC_STATIC_FAIL_TITLE, L"Maximum Receiver Limit", IDC_STATIC_FAIL_COMMENT,
                L"Either remove a device from this receiver to add a new device, or add your device to "
                L"another receiver.",
                false}),
    [](const testing::TestParamInfo<Refusal>& each) { return std::string(each.param.scenario); });

TEST_F(EndToEnd, TwoReceiversTurnAPairRequestIntoTheMultipleReceiversPageUntilOneIsPulledOut) {
    Session run({.scenario = "two_receivers"});
    HWND main = run.MainWindow();
    ASSERT_NE(main, nullptr);
    HWND page = run.trace.WaitForShown("IDD_FORBID_PAIR");
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(run.trace.WaitFor("dispatch", "^code 01 receivers 2 (.*,)?open-multiple$", 0));
    ExpectOpenedOverMain(page, main);
    EXPECT_EQ(TextOf(page, IDC_STATIC_MORE_DG_TITLE), L"Multiple Vorn Veltrane Receivers Detected");
    EXPECT_EQ(
        TextOf(page, IDC_STATIC_MORE_DG_INFO),
        L"Please only insert the receiver you would like to add Vorn QT 5 Mouse to, and remove the other "
        L"receivers.");
    EXPECT_THAT(run.trace.Find("window", "^open IDD_PAIR_REQ "), testing::IsEmpty());
    const HWND view = ItemView(run.trace);
    EXPECT_EQ(
        Describe(Rows(run.trace, view)),
        "IDD_RECEIVER_ITEM Vorn Veltrane Receiver | IDD_DEVICE_ITEM Vorn QT 1 Keyboard | IDD_ADD_NEW_DEV | "
        "IDD_RECEIVER_ITEM Vorn Veltrane Receiver")
        << "the second receiver is listed collapsed";

    const auto removal = run.trace.WaitFor("discovery", "^removal receiver ", kWaitMs + kWaitMs);
    ASSERT_TRUE(removal) << "the second receiver is pulled out ten seconds in";
    EXPECT_TRUE(run.trace.WaitForClose(page)) << "one receiver left: the page closes";
    EXPECT_TRUE(ListBecomes(run.trace, view,
                            "IDD_RECEIVER_ITEM Vorn Veltrane Receiver | IDD_DEVICE_ITEM Vorn QT 1 Keyboard | "
                            "IDD_ADD_NEW_DEV"));
    EXPECT_THAT(run.trace.Find("hid", " 0804"), testing::IsEmpty()) << "no receiver was answered";
    ASSERT_TRUE(run.program.Close());
}

TEST_F(EndToEnd, AReceiverPulledOutDuringPairingClosesItsPopUpsAndShowsTheTip) {
    Session run({.scenario = "pulled_out_pairing"});
    HWND main = run.MainWindow();
    ASSERT_NE(main, nullptr);
    HWND first = run.trace.WaitForShown("IDD_PAIR_REQ");
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(Click(first, IDC_BTN_ADD_DEVICE));
    HWND progress = run.trace.WaitForShown("IDD_PAIR_PROGRESS");
    ASSERT_NE(progress, nullptr);
    const auto progressOpened = run.trace.WaitFor("window", "^open IDD_PAIR_PROGRESS ");
    ASSERT_TRUE(progressOpened);
    HWND second = run.trace.WaitForShown("IDD_PAIR_REQ", kWaitMs, progressOpened->index);
    ASSERT_NE(second, nullptr) << "a keyboard asks while the mouse is on its way";
    EXPECT_EQ(TextOf(second, IDC_STATIC_DETECTED), L"Vorn QT 6 Keyboard Detected!");

    ASSERT_TRUE(run.trace.WaitFor("discovery", "^removal receiver ", kWaitMs + kWaitMs))
        << "pulled out fifteen seconds in";
    EXPECT_TRUE(run.trace.WaitForClose(second));
    EXPECT_TRUE(run.trace.WaitForClose(progress));
    EXPECT_THAT(run.trace.Find("window", "^open IDD_PAIR_(SUCC|FAILED_MSG) "), testing::IsEmpty());

    const HWND view = ItemView(run.trace);
    EXPECT_TRUE(ListBecomes(run.trace, view, ""));
    HWND tip = run.trace.WaitForOpen("IDD_NO_DONGLE_TIP");
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(tip) != FALSE; }, kWaitMs));
    EXPECT_EQ(GetAncestor(tip, GA_PARENT), view);
    EXPECT_EQ(TextOf(tip, IDC_STATIC_INSERT_TIP), LanguageText(ProgramFolder(), TextKey::InsertTip));
    EXPECT_TRUE(Inspect(main).visible);
    ASSERT_TRUE(run.program.Close());
}

TEST_F(EndToEnd, ArabicLaysOutThePairRequestRightToLeft) {
    const ProgramCopy arabic(ProgramCopy::Arabic);
    Session run({.scenario = "pair_request", .folder = arabic.Folder()});
    HWND main = run.MainWindow();
    ASSERT_NE(main, nullptr);
    HWND request = run.trace.WaitForShown("IDD_PAIR_REQ");
    ASSERT_NE(request, nullptr);
    ExpectOpenedOverMain(request, main);

    const pw::ui::Dialog& layout = *pw::ui::FindDialog(IDD_PAIR_REQ);
    for (const pw::ui::Control& control : layout.controls) {
        if (!control.HasLayout()) continue;
        SCOPED_TRACE(testing::Message() << control.symbol);
        const auto shown = Control(request, control.id);
        ASSERT_TRUE(shown);
        const pw::ui::Rect place = pw::ui::PixelRect(control, true);
        EXPECT_EQ(shown->rect.left, place.x);
        EXPECT_EQ(shown->rect.top, place.y);
        EXPECT_EQ(shown->rect.right, place.Right());
        EXPECT_EQ(shown->rect.bottom, place.Bottom());
        EXPECT_EQ((shown->exStyle & WS_EX_RTLREADING) != 0, (control.flags & pw::ui::kNoRtlReading) == 0);
    }
    const Window add = *Control(request, IDC_BTN_ADD_DEVICE);
    const Window notNow = *Control(request, IDC_BTN_NOT_ADD_DEVICE);
    EXPECT_GT(add.rect.left, notNow.rect.left) << "Add Device stands right of Not now";
    EXPECT_GT(Control(request, IDC_PIC_DEVICE)->rect.left, add.rect.left) << "the picture at the right edge";

    const std::wstring& folder = arabic.Folder();
    EXPECT_EQ(add.text, LanguageText(folder, TextKey::AddDevice));
    EXPECT_EQ(notNow.text, LanguageText(folder, TextKey::NotAddDevice));
    EXPECT_NE(add.text, L"Add Device") << "translated";
    EXPECT_EQ(TextOf(request, IDC_STATIC_DETECTED),
              pw::ComposeNameThenText(DeviceName(folder, "QT 5", kMouse),
                                      LanguageText(folder, TextKey::DeviceDetected)));
    EXPECT_EQ(TextOf(request, IDC_STATIC_PAIR_REQ_COMMENT),
              LanguageText(folder, TextKey::PairRequestComment));
    ASSERT_TRUE(run.program.Close());
}

} // namespace
