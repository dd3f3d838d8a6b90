// The progress dialog and the pages that end a pairing.
#include "dialogs/pair_outcome_dlgs.h"
#include "dialogs/pair_progress_dlg.h"
#include "res/resource.h"
#include "tests/dialogs/popup_host.h"

#include <gmock/gmock.h>

#include <commctrl.h>

#include <memory>

namespace {

using namespace pw;
using namespace pwtest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

POINT Centre(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class PairProgress : public PopupTest {
protected:
    // As the item view opens it after "Add Device": with its last notification.
    void OpenProgress(const DeviceSlotRecord& lastNotification) {
        ASSERT_TRUE(host.Open(progress, [&] { progress.SetDeviceRecord(lastNotification); }));
    }
    // As the receiver item's pairing watch reports.
    void Report(WPARAM result, std::unique_ptr<DeviceSlotRecord> copy) {
        ASSERT_TRUE(
            progress.PostMessage(WM_PAIRING_RESULT, result, reinterpret_cast<LPARAM>(copy.release())));
        fw::PumpPending();
    }

    CDlgPairProgress progress;
};

TEST_F(PairProgress, ResultOpensTheSuccessOrTimedOutPageWithTheAcceptedDeviceAndEnds) {
    struct Case {
        const char* name;
        WPARAM result;
        bool withCopy;
        bool success;
        bool timedOut;
    };
    const Case cases[] = {
        {"found", 0, true, true, false},
        {"timed out", 1, false, false, true},
        {"other result", 7, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenProgress(Record(2, "QT 4"));
        Report(c.result, c.withCopy ? std::make_unique<DeviceSlotRecord>(Record(1, "QT 8")) : nullptr);
        EXPECT_FALSE(progress.IsOpen());
        EXPECT_EQ(progress.SuccessPage().IsOpen(), c.success);
        EXPECT_EQ(progress.TimedOutPage().IsOpen(), c.timedOut);
        EXPECT_THAT(host.TakePosted(), IsEmpty());
        EXPECT_EQ(host.stops, 0);
        const CPopupDialog* page = c.success    ? static_cast<const CPopupDialog*>(&progress.SuccessPage())
                                   : c.timedOut ? &progress.TimedOutPage()
                                                : nullptr;
        if (!page) continue;
        // The page shows the accepted request, not the copy that came with the result.
        EXPECT_EQ(Text(page->m_hWnd, c.success ? IDC_STATIC_SUCCESS_COMMENT : IDC_STATIC_FAILED_MSG_TITLE),
                  c.success ? L"Your Vorn QT 4 Mouse is now added and ready for use."
                            : L"Vorn QT 4 Mouse Pairing Failed");
        EXPECT_EQ(page->GetOwner(), &host);
        const POINT centre = Centre(page->GetWindowRect());
        EXPECT_NEAR(centre.x, Centre(TestHost::kMainRect).x, 1) << "opened as the item view opens pop-ups";
        EXPECT_NEAR(centre.y, Centre(TestHost::kMainRect).y, 1);
        EXPECT_TRUE(page->GetExStyle() & WS_EX_TOPMOST);
        SendMessageW(page->m_hWnd, WM_CLOSE, 0, 0);
    }
}

TEST_F(PairProgress, APageStillOpenFromAnEarlierPairingIsLeftAsItIs) {
    for (const WPARAM result : {WPARAM{0}, WPARAM{1}}) {
        SCOPED_TRACE(result);
        const int id = result == 0 ? IDC_STATIC_SUCCESS_COMMENT : IDC_STATIC_FAILED_MSG_TITLE;
        OpenProgress(Record(1, "QT 1"));
        Report(result, result == 0 ? std::make_unique<DeviceSlotRecord>(Record(1, "QT 1")) : nullptr);
        const CPopupDialog& page =
            result == 0 ? static_cast<const CPopupDialog&>(progress.SuccessPage()) : progress.TimedOutPage();
        ASSERT_TRUE(page.IsOpen());
        const HWND window = page.m_hWnd;
        const std::wstring shown = Text(window, id);

        OpenProgress(Record(2, "QT 2"));
        Report(result, result == 0 ? std::make_unique<DeviceSlotRecord>(Record(2, "QT 2")) : nullptr);
        EXPECT_FALSE(progress.IsOpen());
        EXPECT_EQ(page.m_hWnd, window) << "not opened again";
        EXPECT_EQ(Text(window, id), shown) << "not refreshed";
        SendMessageW(window, WM_CLOSE, 0, 0);
    }
}

TEST_F(PairProgress, CancelStopsPairingAndOpensNothing) {
    OpenProgress(Record(1, "QT 1"));
    EXPECT_TRUE(progress.GetDlgItem(IDC_PROGRESS_PAIRING) &&
                (GetWindowLongPtrW(progress.GetDlgItem(IDC_PROGRESS_PAIRING), GWL_STYLE) & PBS_MARQUEE));
    EXPECT_EQ(Text(progress.m_hWnd, IDC_STATIC_PAIRING), L"Please wait while we add your device.");
    EXPECT_EQ(Text(progress.m_hWnd, IDCANCEL), L"Cancel");
    EXPECT_FALSE(Visible(progress.m_hWnd, IDC_BTN_GO_CONTROL_PANEL));
    EXPECT_FALSE(IsWindowEnabled(progress.GetDlgItem(IDC_BTN_GO_CONTROL_PANEL)));

    Click(progress.m_hWnd, IDCANCEL);
    EXPECT_FALSE(progress.IsOpen());
    EXPECT_EQ(host.stops, 1);
    EXPECT_THAT(host.TakePosted(), IsEmpty());
    EXPECT_FALSE(progress.SuccessPage().IsOpen());
    EXPECT_FALSE(progress.TimedOutPage().IsOpen());
}

TEST_F(PairProgress, TheHiddenLinkWouldBringUpTheMainWindowAndStopPairing) {
    OpenProgress(Record(1, "QT 1"));
    const LPARAM self = reinterpret_cast<LPARAM>(progress.m_hWnd);
    progress.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BTN_GO_CONTROL_PANEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(progress.GetDlgItem(IDC_BTN_GO_CONTROL_PANEL)));
    EXPECT_FALSE(progress.IsOpen());
    EXPECT_EQ(host.stops, 1);
    EXPECT_THAT(host.TakePosted(), ElementsAre(Posted{WM_SHOW_CONTROL_PANEL, 0, self}));
}

class PairOutcome : public PopupTest {};

TEST_F(PairOutcome, SuccessNamesTheDeviceAndFinishOrTheLinkCloseIt) {
    CDlgPairSucc page;
    struct Case {
        int button;
        bool posts;
    };
    for (const Case c : {Case{IDC_BTN_FINISH, false}, Case{IDC_BTN_GO_CONTROL_PANEL, true}}) {
        SCOPED_TRACE(c.button);
        page.SetDeviceRecord(Record(1, "QT 1"));
        ASSERT_TRUE(host.Open(page));
        HWND window = page.m_hWnd;
        EXPECT_EQ(Text(window, IDC_STATIC_CONGRATULATIONS), L"Congratulations");
        EXPECT_EQ(Text(window, IDC_STATIC_SUCCESS_COMMENT),
                  L"Your Vorn QT 1 Keyboard is now added and ready for use.");
        EXPECT_EQ(ShownPicture(window, IDC_PIC_DEVICE), UiPicture(L"keyboard.bmp"));
        for (int id : {IDC_BTN_FINISH, IDC_BTN_GO_CONTROL_PANEL, IDC_STATIC_SUCCESS_COMMENT})
            EXPECT_TRUE(Visible(window, id)) << id << ": hidden by the template, shown by the page";
        Click(window, c.button);
        EXPECT_FALSE(page.IsOpen());
        const auto posted = host.TakePosted();
        if (c.posts) {
            EXPECT_THAT(posted,
                        ElementsAre(Posted{WM_SHOW_CONTROL_PANEL, 0, reinterpret_cast<LPARAM>(window)}));
        } else {
            EXPECT_THAT(posted, IsEmpty());
        }
    }
}

TEST_F(PairOutcome, PairingFailedShowsTheReceiverLimitOrTheDeviceLimit) {
    struct Case {
        int mode;
        const wchar_t* title;
        const wchar_t* explanation;
        bool picture;
    };
    const wchar_t* full =
        L"Either remove a device from this receiver to add a new device, or add your device to "
        L"another receiver.";
    const wchar_t* limited =
        L"The device has reached its limit on the maximum number of times that it can be "
        L"added to compatible receivers.";
    const Case cases[] = {
        {CDlgPairFailed::kModeReceiverFull, L"Maximum Receiver Limit", full, false},
        {CDlgPairFailed::kModeDeviceLimited, L"Vorn QT 7 Mouse cannot be added to new receivers!", limited,
         true},
        {5, L"Maximum Receiver Limit", full, false},
    };
    CDlgPairFailed page;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        page.SetMode(c.mode);
        ASSERT_TRUE(host.Open(page, [&] { page.SetDeviceRecord(Record(2, "QT 7")); }));
        EXPECT_EQ(Text(page.m_hWnd, IDC_STATIC_FAIL_TITLE), c.title);
        EXPECT_EQ(Text(page.m_hWnd, IDC_STATIC_FAIL_COMMENT), c.explanation);
        EXPECT_EQ(Visible(page.m_hWnd, IDC_PIC_DEVICE), c.picture);
        if (c.picture) {
            EXPECT_EQ(ShownPicture(page.m_hWnd, IDC_PIC_DEVICE), UiPicture(L"Mouse2.bmp"));
        }
        Click(page.m_hWnd, IDC_BTN_OK);
        EXPECT_FALSE(page.IsOpen());
    }
    EXPECT_THAT(host.TakePosted(), IsEmpty());
}

TEST_F(PairOutcome, TheLinkOfAPageWithoutOwnerOnlyClosesIt) {
    CDlgPairFailed failed;
    CDlgPairFailedMsg timedOut;
    for (CPopupDialog* page : {static_cast<CPopupDialog*>(&failed), static_cast<CPopupDialog*>(&timedOut)}) {
        SCOPED_TRACE(page->GetTemplateId());
        ASSERT_TRUE(OpenPopup(*page, host.MainWindow()));
        Click(page->m_hWnd, IDC_BTN_GO_CONTROL_PANEL);
        EXPECT_FALSE(page->IsOpen());
    }
    EXPECT_THAT(host.TakePosted(), IsEmpty());
}

TEST_F(PairOutcome, TimedOutPageShowsTheFiveStepsAndALinkAsItsWayOut) {
    CDlgPairFailedMsg page;
    page.SetDeviceRecord(Record(1, "QT 3"));
    ASSERT_TRUE(host.Open(page));
    HWND window = page.m_hWnd;
    EXPECT_EQ(Text(window, IDC_STATIC_FAILED_MSG_TITLE), L"Vorn QT 3 Keyboard Pairing Failed");
    EXPECT_EQ(Text(window, IDC_STATIC_DISTANCE),
              L"Device and receiver should be within 60 cm or less when pairing.");
    EXPECT_EQ(
        Text(window, IDC_STATIC_HELP_COMMENT),
        L"1. Locate the power switch slider.\n\n2. Slide to OFF.\n\n3.Press and hold any key/button and "
        L"slide "
        L"power to ON.\n\n4. Continue holding key/button for 3 seconds.\n\n5. Pairing will begin. If not, "
        L"repeat steps 1-5.");
    EXPECT_EQ(Text(window, IDC_STATIC_HELP_COMMENT2), L"Slide to OFF.");
    EXPECT_EQ(Text(window, IDC_STATIC_HELP_COMMENT5), L"Pairing will begin. If not, repeat steps 1-5.");
    EXPECT_EQ(ShownPicture(window, IDC_PIC_DEVICE), UiPicture(L"keyboard.bmp"));
    EXPECT_FALSE(Visible(window, IDC_BTN_OK));
    Click(window, IDC_BTN_GO_CONTROL_PANEL);
    EXPECT_FALSE(page.IsOpen());
    EXPECT_THAT(host.TakePosted(),
                ElementsAre(Posted{WM_SHOW_CONTROL_PANEL, 0, reinterpret_cast<LPARAM>(window)}));
}

} // namespace
