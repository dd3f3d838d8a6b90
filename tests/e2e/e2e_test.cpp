// The program as its user meets it: started on a scenario, seen from outside, handled like a user.
#include "tests/e2e/harness.h"

#include "app/settings.h"
#include "res/dialog_layouts.h"
#include "res/resource.h"

#include <gmock/gmock.h>

namespace {

using namespace pwtest;
using namespace pwtest::e2e;

// The main window's own text, in every language.
constexpr wchar_t kMainTitle[] = L"Vorn Veltrane Receiver Control Panel";

// The title band where the layout table puts it in the language, with the language's title text.
void ExpectTitleBand(HWND main, const std::wstring& programFolder, bool arabic) {
    const pw::ui::Dialog& layout = *pw::ui::FindDialog(IDD_MAIN_DIALOG);
    for (const int id : {IDC_BTN_MINIMIZE, IDC_BTN_CLOSE, IDC_STATIC_TITLE}) {
        SCOPED_TRACE(testing::Message() << "control " << id);
        const auto control = Control(main, id);
        ASSERT_TRUE(control);
        EXPECT_TRUE(control->visible);
        const pw::ui::Rect place = pw::ui::PixelRect(*pw::ui::FindControl(layout, id), arabic);
        EXPECT_EQ(control->rect.left, place.x);
        EXPECT_EQ(control->rect.top, place.y);
        EXPECT_EQ(control->rect.right, place.Right());
        EXPECT_EQ(control->rect.bottom, place.Bottom());
    }
    const Window close = *Control(main, IDC_BTN_CLOSE);
    const Window minimize = *Control(main, IDC_BTN_MINIMIZE);
    EXPECT_EQ(close.rect.left < minimize.rect.left, arabic) << "the close button sits at the outer edge";
    const Window title = *Control(main, IDC_STATIC_TITLE);
    EXPECT_EQ(title.text, LanguageText(programFolder, pw::TextKey::TrayTip));
    EXPECT_EQ((title.exStyle & WS_EX_RTLREADING) != 0, arabic);
}

std::string PathOf(const TraceLine& discovery) {
    return discovery.text.substr(discovery.text.rfind(' ') + 1);
}

TEST_F(EndToEnd, StartsOnAReceiverTalksToItAndEndsWithTheCloseButton) {
    Session run({.scenario = "one_receiver"});
    HWND main = run.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(run.trace.WaitForOpen("IDD_MAIN_DIALOG"), main);
    const Window window = Inspect(main);
    EXPECT_TRUE(window.visible);
    EXPECT_EQ(window.text, kMainTitle);
    ExpectTitleBand(main, ProgramFolder(), false);

    const auto receiver = run.trace.WaitFor("discovery", "^arrival receiver ");
    ASSERT_TRUE(receiver) << "the command interface becomes a receiver";
    EXPECT_TRUE(run.trace.WaitFor("discovery", "^arrival notification "));
    const std::string command = Literal(PathOf(*receiver));
    EXPECT_TRUE(run.trace.WaitFor("hid", "^set-feature " + command + " 0801")) << "asked for its name";
    EXPECT_TRUE(run.trace.WaitFor("hid", "^get-feature " + command + " 0801"));

    ASSERT_TRUE(Click(main, IDC_BTN_CLOSE));
    ASSERT_TRUE(run.program.WaitForExit(kExitTimeoutMs));
    EXPECT_EQ(run.program.ExitCode(), 0u);
    EXPECT_TRUE(run.trace.WaitFor("hid", "^set-feature " + command + " 080b", 0)) << "pairing stopped";
}

TEST_F(EndToEnd, HiddenWithNoShowUntilAnotherStartShowsIt) {
    ForgetSettings(); // the first start ever
    Session first({.scenario = "one_receiver", .arguments = L"NoShow"});
    HWND main = first.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_THAT(VisibleWindows(first.program), testing::IsEmpty());
    ShowWindow(main, SW_SHOW);
    EXPECT_FALSE(IsWindowVisible(main)) << "not even when shown from outside";
    EXPECT_TRUE(first.trace.WaitFor("discovery", "^arrival receiver ")) << "hidden, it still discovers";
    EXPECT_EQ(ReadSetting(pw::settings::kFirstRun), 0u);
    EXPECT_EQ(ReadSetting(pw::settings::kShowWelcome), 1u);

    Program second({});
    ASSERT_TRUE(second.WaitForExit(kStartTimeoutMs));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(second.MainWindows().empty());
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, kWaitMs))
        << "the first shows itself";
    EXPECT_EQ(first.program.MainWindows().size(), 1u);

    ASSERT_TRUE(Click(main, IDC_BTN_MINIMIZE));
    EXPECT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }, kWaitMs));
    Program third({});
    ASSERT_TRUE(third.WaitForExit(kStartTimeoutMs));
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main) && IsWindowVisible(main); }, kWaitMs)) << "restored";

    ASSERT_TRUE(first.program.Close());
    EXPECT_EQ(first.program.ExitCode(), 0u);
}

TEST_F(EndToEnd, ArabicMirrorsTheTitleBand) {
    const ProgramCopy arabic(ProgramCopy::Arabic);
    EXPECT_NE(LanguageText(arabic.Folder(), pw::TextKey::TrayTip), kMainTitle) << "a translated title";
    Session run({.scenario = "one_receiver", .folder = arabic.Folder()});
    HWND main = run.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Inspect(main).text, kMainTitle);
    ExpectTitleBand(main, arabic.Folder(), true);
    ASSERT_TRUE(run.program.Close());
}

TEST_F(EndToEnd, FollowsTheReceiverPulledOutAndPluggedInAgain) {
    Session run({.scenario = "replug"});
    ASSERT_NE(run.MainWindow(), nullptr);
    const auto arrival = run.trace.WaitFor("discovery", "^arrival receiver ");
    ASSERT_TRUE(arrival);
    const std::string command = Literal(PathOf(*arrival));

    // Pulled out three seconds into the scenario.
    const auto removal =
        run.trace.WaitFor("discovery", "^removal receiver " + command, kWaitMs, arrival->index);
    ASSERT_TRUE(removal) << "the receiver is dropped";
    EXPECT_TRUE(run.trace.WaitFor("discovery", "^removal notification ", kWaitMs, arrival->index));

    const auto again =
        run.trace.WaitFor("discovery", "^arrival receiver " + command, kWaitMs, removal->index);
    ASSERT_TRUE(again) << "and taken up again when it comes back";
    EXPECT_TRUE(run.trace.WaitFor("discovery", "^arrival notification ", kWaitMs, removal->index));
    EXPECT_TRUE(run.trace.WaitFor("hid", "^set-feature " + command + " 0801", 0, removal->index))
        << "asked again for its name";
    ASSERT_TRUE(run.program.Close());
}

TEST_F(EndToEnd, TheAboutBoxHoldsTheMainWindowUntilEnterClosesIt) {
    Session run({.scenario = "one_receiver"});
    HWND main = run.MainWindow();
    ASSERT_NE(main, nullptr);
    PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0); // the About item of the system menu
    HWND about = WaitForWindowTitled(run.program, L"About Pairwright");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(main); }, kWaitMs)) << "modal over the main window";

    ASSERT_TRUE(PressKey(about, VK_RETURN));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kWaitMs));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, kWaitMs));
    ASSERT_TRUE(run.program.Close());
}

} // namespace
