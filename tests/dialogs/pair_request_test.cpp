#include "dialogs/pair_req_dlg.h"
#include "res/resource.h"
#include "tests/dialogs/popup_host.h"

#include <gmock/gmock.h>

namespace {

using namespace pw;
using namespace pwtest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class PairRequest : public PopupTest {
protected:
    // The dispatcher's part: a request opens the dialog only when it is closed.
    bool Request(const DeviceSlotRecord& record) {
        return host.Open(dialog, [&] { dialog.SetDeviceRecord(record); });
    }
    void Tick(int times, UINT_PTR id = CDlgPairReq::kTimerId) {
        for (int i = 0; i < times && dialog.IsOpen(); ++i)
            dialog.SendMessage(WM_TIMER, id);
    }

    CDlgPairReq dialog;
};

TEST_F(PairRequest, TitleNamesTheDeviceAndThePictureShowsItsKind) {
    struct Case {
        std::uint8_t kind;
        const char* name;
        const wchar_t* title;
        const wchar_t* picture;
    };
    const Case cases[] = {
        {2, "  QT 5   ", L"Vorn QT 5 Mouse Detected!", L"Mouse2.bmp"},
        {1, "QT 1", L"Vorn QT 1 Keyboard Detected!", L"keyboard.bmp"},
        {0, "QT 9", L"Vorn QT 9  Detected!", L"keyboard.bmp"},
        {3, "\tQT 3\n", L"Vorn QT 3  Detected!", L"keyboard.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Request(Record(c.kind, c.name)));
        EXPECT_EQ(Text(dialog, IDC_STATIC_DETECTED), c.title);
        EXPECT_EQ(ShownPicture(dialog, IDC_PIC_DEVICE), UiPicture(c.picture));
        EXPECT_EQ(Text(dialog, IDC_STATIC_PAIR_REQ_COMMENT),
                  L"Would you like to add it to your Vorn Veltrane Receiver?");
        EXPECT_EQ(Text(dialog, IDC_STATIC_CAPTION), L"Vorn Veltrane Receiver Control Panel");
        dialog.Close();
    }
}

TEST_F(PairRequest, ButtonsPostTheAnswerAndLeaveClosingToTheOwner) {
    struct Case {
        int button;
        UINT message;
        WPARAM wParam;
        bool lParamIsDialog;
        LPARAM lParam;
    };
    const Case cases[] = {
        {IDC_BTN_ADD_DEVICE, WM_PAIR_ANSWER, 0x563412, false, 1},
        {IDC_BTN_NOT_ADD_DEVICE, WM_PAIR_ANSWER, 0x563412, false, 0},
        {IDC_BTN_GO_CONTROL_PANEL, WM_SHOW_CONTROL_PANEL, 0, true, 0},
    };
    ASSERT_TRUE(Request(Record(1, "QT 1", 0x12, 0x34, 0x56)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        Click(dialog, c.button);
        const LPARAM lParam = c.lParamIsDialog ? reinterpret_cast<LPARAM>(dialog.m_hWnd) : c.lParam;
        EXPECT_THAT(host.TakePosted(), ElementsAre(Posted{c.message, c.wParam, lParam}));
        EXPECT_TRUE(dialog.IsOpen());
    }
    EXPECT_EQ(host.stops, 0);
}

TEST_F(PairRequest, ClosesItselfAtTheThirtiethTickPostingNothingAndStartsAfreshNextTime) {
    ASSERT_TRUE(Request(Record(2, "QT 5")));
    Tick(30, CDlgPairReq::kTimerId + 1);
    EXPECT_TRUE(dialog.IsOpen()) << "other timers do not count";
    Tick(29);
    EXPECT_TRUE(dialog.IsOpen());
    EXPECT_EQ(dialog.GetTicks(), 29);

    EXPECT_FALSE(Request(Record(1, "QT 1"))) << "open: a second request changes nothing";
    EXPECT_EQ(Text(dialog, IDC_STATIC_DETECTED), L"Vorn QT 5 Mouse Detected!");
    EXPECT_EQ(dialog.GetTicks(), 29);

    Tick(1);
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_THAT(host.TakePosted(), IsEmpty());

    ASSERT_TRUE(Request(Record(1, "QT 1")));
    EXPECT_EQ(Text(dialog, IDC_STATIC_DETECTED), L"Vorn QT 1 Keyboard Detected!");
    Tick(29);
    EXPECT_TRUE(dialog.IsOpen()) << "a full 30 ticks again";
    Tick(1);
    EXPECT_FALSE(dialog.IsOpen());
}

TEST_F(PairRequest, ATranslatedTitleTextFollowsTheName) {
    UseLanguage(L"English", {{L"IDC_STATIC_DEVICE_NAME", L"wants to join"}, {L"IDS_MOUSE", L"Rodent"}});
    ASSERT_TRUE(Request(Record(2, "QT 5")));
    EXPECT_EQ(Text(dialog, IDC_STATIC_DETECTED), L"Vorn QT 5 Rodent wants to join");
}

} // namespace
