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

TEST_F(EndToEnd, ADeviceIsRemovedOnlyOnceItsRemovalIsConfirmed) {
    Session run({.scenario = "two_devices"});
    HWND main = run.MainWindow();
    ASSERT_NE(main, nullptr);
    const auto receiver = run.trace.WaitFor("discovery", "^arrival receiver ");
    ASSERT_TRUE(receiver);
    const std::string command = Literal(PathOf(*receiver));
    const HWND view = run.trace.WaitForOpen("IDD_ITEM_VIEW");
    std::vector<Row> rows;
    ASSERT_TRUE(WaitUntil([&] { return (rows = Rows(run.trace, view)).size() == 4; }, kWaitMs))
        << Describe(rows);
    ASSERT_EQ(Describe(rows),
              "IDD_RECEIVER_ITEM Vorn Veltrane Receiver | IDD_DEVICE_ITEM Vorn QT 1 Keyboard | "
              "IDD_DEVICE_ITEM Vorn QT 2 Mouse | IDD_ADD_NEW_DEV");
    const HWND mouse = rows[2].hwnd;

    // Cancel first: the device stays.
    ASSERT_TRUE(Click(mouse, IDC_BTN_DELETE_DEV));
    HWND question = run.trace.WaitForShown("IDD_DEL_DEV_REQ");
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(main); }, kWaitMs)) << "modal over the main window";
    EXPECT_EQ(Control(question, IDC_STATIC_ASK)->text, L"Remove Vorn QT 2 Mouse?");
    EXPECT_EQ(Control(question, IDC_STATIC_DEL_COMMENT)->text,
              L"Please confirm that you would like to remove this device.");
    ASSERT_TRUE(Click(question, IDCANCEL));
    EXPECT_TRUE(run.trace.WaitForClose(question));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, kWaitMs));
    EXPECT_THAT(run.trace.Find("hid", "^set-feature " + command + " 0806"), testing::IsEmpty());
    EXPECT_EQ(Rows(run.trace, view).size(), 4u);

    const std::size_t cancelled = run.trace.Lines().size();
    ASSERT_TRUE(Click(mouse, IDC_BTN_DELETE_DEV));
    question = run.trace.WaitForShown("IDD_DEL_DEV_REQ", kWaitMs, cancelled);
    ASSERT_NE(question, nullptr);
    ASSERT_TRUE(Click(question, IDC_BTN_DELETE));
    EXPECT_TRUE(run.trace.WaitFor("hid", "^set-feature " + command + " 080602")) << "slot 2 is emptied";
    EXPECT_TRUE(run.trace.WaitForClose(mouse)) << "its row goes";
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }, kWaitMs));
    EXPECT_TRUE(WaitUntil([&] { return (rows = Rows(run.trace, view)).size() == 3; }, kWaitMs))
        << Describe(rows);
    EXPECT_EQ(
        Describe(rows),
        "IDD_RECEIVER_ITEM Vorn Veltrane Receiver | IDD_DEVICE_ITEM Vorn QT 1 Keyboard | IDD_ADD_NEW_DEV");
    EXPECT_TRUE(Stacked(rows));
    ASSERT_TRUE(run.program.Close());
}

// UTF-16 LE without a byte-order mark, CR LF after every line.
std::string LogFileBytes(const std::vector<std::wstring>& lines) {
    std::string bytes;
    for (const std::wstring& line : lines) {
        for (const wchar_t c : line + L"\r\n") {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
    }
    return bytes;
}

int ListCount(HWND list) {
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &count)) return -1;
    return static_cast<int>(count);
}

TEST_F(EndToEnd, DebugModeLogsThePairingAndSavesTheLogBesideTheProgram) {
    const ProgramCopy copy;
    const std::wstring file = copy.Folder() + L"\\PairingLog.txt";
    Session run({.scenario = "pair_request", .arguments = L"DebugMode", .folder = copy.Folder()});
    ASSERT_NE(run.MainWindow(), nullptr);
    HWND debug = run.trace.WaitForShown("IDD_DEBUG");
    ASSERT_NE(debug, nullptr) << "opened by the receiver's first state report";
    EXPECT_EQ(Inspect(debug).text, L"Debug Dialog");
    const HWND list = GetDlgItem(debug, IDC_LIST_LOG);
    // Debug reports are switched on before the notification interface is open: the receiver's answer
    // to that ("Debug log is enabled", then Init) reaches nobody.
    const std::vector<std::wstring> lines = {
        L"State mechanism in Request received",
        L"Receive 0x5C and check Pass",
        L"State mechanism in Progress A (Pipe0)",
        L"State mechanism in Progress B (Pipe2)",
        L"State mechanism in Success",
        L"State mechanism in Init",
    };
    std::optional<std::string> saved;
    const auto savedAre = [&](std::size_t count) {
        return WaitUntil([&] { return ListCount(list) == static_cast<int>(count); }, kWaitMs) &&
               Click(debug, IDC_BTN_SAVE) &&
               WaitUntil(
                   [&] {
                       saved = ReadFileBytes(file);
                       return saved && *saved == LogFileBytes({lines.begin(), lines.begin() + count});
                   },
                   kWaitMs);
    };

    HWND request = run.trace.WaitForShown("IDD_PAIR_REQ");
    ASSERT_NE(request, nullptr);
    EXPECT_FALSE(ReadFileBytes(file)) << "nothing is written before Save";
    EXPECT_TRUE(savedAre(1)) << ListCount(list) << " lines, " << (saved ? saved->size() : 0) << " bytes";
    ASSERT_TRUE(Click(request, IDC_BTN_ADD_DEVICE));
    ASSERT_NE(run.trace.WaitForShown("IDD_PAIR_SUCC", 30000), nullptr);
    EXPECT_TRUE(savedAre(lines.size()))
        << "replaced: " << ListCount(list) << " lines, " << (saved ? saved->size() : 0) << " bytes";
    ASSERT_TRUE(run.program.Close());
}

} // namespace
