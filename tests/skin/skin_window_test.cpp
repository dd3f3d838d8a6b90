// The skinned windows under Wine: a test template (skin_test.rc) and images the test writes itself.
#include "framework/pump.h"
#include "skin/skin_controls.h"
#include "skin/skin_dialog.h"
#include "skin/skin_scrollbar.h"
#include "tests/support/bmp_file.h"

#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <boost/weak_ptr.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace pw::gdip;

constexpr UINT kTemplate = 950;
constexpr int kMaskWidth = 320;
constexpr int kMaskHeight = 240;
constexpr int kWhiteRow = 230;

// Uniform renderings make any cut-out recognisable by one pixel.
constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlue = RGB(0, 0, 200);
constexpr COLORREF kYellow = RGB(220, 220, 0);
constexpr COLORREF kGrey = RGB(90, 90, 90);

// A 24-bit bottom-up Windows bitmap file.
void WriteBmp(const fs::path& path, int width, int height, const std::function<COLORREF(int, int)>& pixel) {
    pwtest::Bmp24 bmp(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bmp.Set(x, y, pixel(x, y));
    ASSERT_TRUE(bmp.Save(path.wstring())) << path;
}

void WriteSolid(const fs::path& path, int width, int height, COLORREF colour) {
    WriteBmp(path, width, height, [colour](int, int) { return colour; });
}

// The images every test uses, written once into a fresh temporary folder.
class SkinFiles {
public:
    SkinFiles() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_dir = fs::path(temp) / (L"pw_skin_test_" + std::to_wstring(GetCurrentProcessId()));
        fs::create_directories(m_dir);
        WriteSolid(Path(L"normal0.bmp"), kMaskWidth, kMaskHeight, kRed);
        WriteSolid(Path(L"normal1.bmp"), kMaskWidth, kMaskHeight, kGreen);
        WriteSolid(Path(L"hover.bmp"), kMaskWidth, kMaskHeight, kBlue);
        WriteSolid(Path(L"selected.bmp"), kMaskWidth, kMaskHeight, kYellow);
        WriteSolid(Path(L"disable.bmp"), kMaskWidth, kMaskHeight, kGrey);
        // Outside: pure white in the top-left corner and along one whole row. (254, 255, 255) in the
        // top-right corner is inside.
        WriteBmp(Path(L"mask.bmp"), kMaskWidth, kMaskHeight, [](int x, int y) -> COLORREF {
            if (y == kWhiteRow || x + y < 3) return RGB(255, 255, 255);
            if (x == kMaskWidth - 1 && y == 0) return RGB(254, 255, 255);
            return RGB(0, 0, 0);
        });
        // Scroll bar cells: 6 x 12 each; every column and row its own colour.
        WriteBmp(Path(L"scrollbar.bmp"), 24, 48,
                 [](int x, int y) { return RGB(40 + (x / 6) * 50, 40 + (y / 12) * 50, 128); });
        for (int i = 0; i < 7; ++i)
            WriteSolid(Path(L"point" + std::to_wstring(i) + L".bmp"), 10 + i, 10, kGreen);
        std::fclose(_wfopen(Path(L"broken.bmp").c_str(), L"wb"));
    }
    ~SkinFiles() {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    std::wstring Path(const std::wstring& name) const { return (m_dir / name).wstring(); }

private:
    fs::path m_dir;
};

const SkinFiles& Files() {
    static const SkinFiles files;
    return files;
}

class TestDialog : public CSkinDialog {
public:
    struct Scroll {
        UINT message;
        int code;
        int pos;
    };

    explicit TestDialog(bool withMask = true, int normals = 1) : CSkinDialog(kTemplate) {
        AddImage(SkinImageKind::Normal, Files().Path(L"normal0.bmp"));
        if (normals > 1) AddImage(SkinImageKind::Normal, Files().Path(L"normal1.bmp"));
        AddImage(SkinImageKind::Hover, Files().Path(L"hover.bmp"));
        AddImage(SkinImageKind::Hover, Files().Path(L"hover.bmp"));
        AddImage(SkinImageKind::Selected, Files().Path(L"selected.bmp"));
        AddImage(SkinImageKind::Selected, Files().Path(L"selected.bmp"));
        AddImage(SkinImageKind::Disable, Files().Path(L"disable.bmp"));
        if (withMask) SetMaskImage(Files().Path(L"mask.bmp"));
        for (int i = 0; i < 7; ++i)
            picture.AddImageFile(Files().Path(L"point" + std::to_wstring(i) + L".bmp"));
        vbar.SetSkinFile(Files().Path(L"scrollbar.bmp"));
        hbar.SetSkinFile(Files().Path(L"scrollbar.bmp"));
    }

    CSkinButton button;
    CSkinCheckBox check;
    CSkinStatic text;
    CSkinBitmap picture;
    CSkinScrollBar vbar;
    CSkinScrollBar hbar;
    std::vector<int> checkSeenAtClick;
    std::vector<Scroll> scrolls;
    bool followScroll = false; // answer notifications the way an owner does

    void SetDraggable(bool on) { m_bDraggable = on; }

    void DoDataExchange() override {
        BindControl(1001, button);
        BindControl(1002, check);
        BindControl(1003, text);
        BindControl(1004, picture);
        BindControl(1005, vbar);
        BindControl(1006, hbar);
    }
    BOOL OnInitDialog() override {
        CSkinDialog::OnInitDialog();
        vbar.FitToSkin();
        hbar.FitToSkin();
        // No focus, so the dialog is never activated: Wine without a window manager waits two seconds
        // to destroy an active window.
        return FALSE;
    }
    bool OnCommand(WORD id, WORD code, HWND) override {
        if (id == 1002 && code == BN_CLICKED) checkSeenAtClick.push_back(check.GetCheck());
        return false;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_VSCROLL:
        case WM_HSCROLL: return OnScroll(message, wParam, lParam);
        }
        return CSkinDialog::WindowProc(message, wParam, lParam);
    }
    LRESULT OnScroll(UINT message, WPARAM wParam, LPARAM lParam) {
        scrolls.push_back({message, LOWORD(wParam), HIWORD(wParam)});
        auto* bar = reinterpret_cast<HWND>(lParam) == vbar.m_hWnd ? &vbar : &hbar;
        if (followScroll) {
            SCROLLINFO info{};
            bar->GetScrollInfo(info);
            int pos = info.nPos;
            switch (LOWORD(wParam)) {
            case SB_LINEUP: --pos; break;
            case SB_LINEDOWN: ++pos; break;
            case SB_PAGEUP: pos -= static_cast<int>(info.nPage); break;
            case SB_PAGEDOWN: pos += static_cast<int>(info.nPage); break;
            case SB_THUMBTRACK: pos = HIWORD(wParam); break;
            }
            pos = std::max(info.nMin, std::min(pos, info.nMax - static_cast<int>(info.nPage) + 1));
            info.fMask = SIF_POS;
            info.nPos = pos;
            bar->SetScrollInfo(info, true);
        }
        return 0;
    }
};

struct OpenDialog {
    explicit OpenDialog(TestDialog& d) : dialog(d) {
        created = dialog.Create(nullptr);
        if (created) dialog.ShowWindow(SW_SHOWNOACTIVATE);
        fw::PumpPending();
    }
    ~OpenDialog() {
        if (dialog.m_hWnd) dialog.DestroyWindow();
    }
    TestDialog& dialog;
    bool created = false;
};

COLORREF PixelOf(const std::unique_ptr<CSkinImage>& image, int x = 0, int y = 0) {
    ARGB argb = 0;
    if (!image || GdipBitmapGetPixel(image->Native(), x, y, &argb) != Ok) return CLR_INVALID;
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

LPARAM Point(int x, int y) {
    return MAKELPARAM(x, y);
}

POINT Center(const RECT& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class SkinWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_session = new Session; }
    static void TearDownTestSuite() {
        delete s_session;
        s_session = nullptr;
    }
    static Session* s_session;
};
Session* SkinWindows::s_session = nullptr;

TEST_F(SkinWindows, MaskGivesTheWindowItsSizeAndOutline) {
    TestDialog dialog;
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    const RECT r = dialog.GetWindowRect();
    EXPECT_EQ(r.right - r.left, kMaskWidth);
    EXPECT_EQ(r.bottom - r.top, kMaskHeight);

    const fw::UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(dialog.m_hWnd, region.get()), ERROR);
    EXPECT_FALSE(PtInRegion(region.get(), 0, 0)) << "pure white corner is outside";
    EXPECT_FALSE(PtInRegion(region.get(), 2, 0));
    EXPECT_TRUE(PtInRegion(region.get(), 3, 0));
    EXPECT_TRUE(PtInRegion(region.get(), kMaskWidth - 1, 0)) << "(254, 255, 255) is inside";
    EXPECT_FALSE(PtInRegion(region.get(), 100, kWhiteRow)) << "an all-white row is outside";
    EXPECT_TRUE(PtInRegion(region.get(), 100, kWhiteRow + 1));
    EXPECT_FALSE(PtInRegion(region.get(), kMaskWidth, 10));
}

TEST_F(SkinWindows, WithoutAMaskTheTemplateSizeAndShapeStay) {
    TestDialog dialog(false);
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    RECT units{0, 0, 160, 120};
    MapDialogRect(dialog.m_hWnd, &units);
    const RECT r = dialog.GetWindowRect();
    EXPECT_EQ(r.right - r.left, units.right);
    EXPECT_EQ(r.bottom - r.top, units.bottom);
    const fw::UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(dialog.m_hWnd, region.get()), ERROR);
}

TEST_F(SkinWindows, BrokenMaskChangesNothing) {
    TestDialog dialog(false);
    dialog.SetMaskImage(Files().Path(L"broken.bmp"));
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    const fw::UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(dialog.m_hWnd, region.get()), ERROR);
    EXPECT_NE(dialog.GetWindowRect().right - dialog.GetWindowRect().left, kMaskWidth);
}

TEST_F(SkinWindows, SetBackgroundWithAMissingEntryChangesNothing) {
    TestDialog dialog;
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    EXPECT_EQ(dialog.GetBackgroundIndex(), 0);
    EXPECT_TRUE(dialog.HasBackgroundBrush());
    dialog.SetBackground(1);
    dialog.SetBackground(-1);
    EXPECT_EQ(dialog.GetBackgroundIndex(), 0);
    EXPECT_TRUE(dialog.HasBackgroundBrush());
    EXPECT_EQ(PixelOf(dialog.button.GetStateImage(SkinImageKind::Normal)), kRed);
}

TEST_F(SkinWindows, UndecodableRenderingTakesItsPlaceButLeavesNoBrush) {
    TestDialog dialog;
    dialog.AddImage(SkinImageKind::Normal, Files().Path(L"broken.bmp"));
    dialog.AddImage(SkinImageKind::Normal, Files().Path(L"missing.bmp"));
    ASSERT_EQ(dialog.ImageCount(SkinImageKind::Normal), 3u);
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    dialog.SetBackground(2);
    EXPECT_EQ(dialog.GetBackgroundIndex(), 2);
    EXPECT_FALSE(dialog.HasBackgroundBrush());
    EXPECT_EQ(dialog.button.GetStateImage(SkinImageKind::Normal), nullptr);
    dialog.SetBackground(0);
    EXPECT_TRUE(dialog.HasBackgroundBrush());
}

TEST_F(SkinWindows, WindowsNamingTheSameFileShareOneImageOnlyWhileTheyExist) {
    TestDialog first;
    TestDialog second;
    boost::weak_ptr<CSkinImage> held;
    {
        OpenDialog a(first);
        OpenDialog b(second);
        ASSERT_TRUE(a.created && b.created);
        const CSkinImage* shown = first.Image(SkinImageKind::Normal, 0);
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(second.Image(SkinImageKind::Normal, 0), shown);
        held = CSkinImage::Shared(Files().Path(L"normal0.bmp"));
        EXPECT_EQ(held.lock().get(), shown);
    }
    EXPECT_TRUE(held.expired()) << "the closed windows hold no pictures";
    OpenDialog again(first);
    ASSERT_TRUE(again.created);
    EXPECT_TRUE(first.HasBackgroundBrush());
    EXPECT_EQ(PixelOf(first.button.GetStateImage(SkinImageKind::Normal)), kRed) << "decoded again";
}

TEST_F(SkinWindows, ADecodedImageDoesNotHoldItsFile) {
    const fs::path copy = Files().Path(L"held.bmp");
    fs::copy_file(Files().Path(L"normal1.bmp"), copy, fs::copy_options::overwrite_existing);
    const BitmapPtr image = CSkinImage::Load(copy.wstring());
    ASSERT_TRUE(image->IsValid());
    EXPECT_TRUE(DeleteFileW(copy.c_str())) << "error " << GetLastError();
    EXPECT_EQ(PixelOf(image->CloneArea(0, 0, 1, 1)), kGreen);
}

TEST_F(SkinWindows, ControlIndexZeroDrawsTheBackgroundEntryButDisableUsesEntryZero) {
    TestDialog dialog(true, 2);
    dialog.AddImage(SkinImageKind::Disable, Files().Path(L"normal1.bmp"));
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    dialog.SetBackground(1);
    EXPECT_EQ(PixelOf(dialog.button.GetStateImage(SkinImageKind::Normal)), kGreen);
    EXPECT_EQ(PixelOf(dialog.button.GetStateImage(SkinImageKind::Hover)), kBlue);
    EXPECT_EQ(PixelOf(dialog.button.GetStateImage(SkinImageKind::Disable)), kGrey);
    dialog.button.m_nDisableIndex = 1;
    EXPECT_EQ(PixelOf(dialog.button.GetStateImage(SkinImageKind::Disable)), kGreen);
    EXPECT_EQ(dialog.button.GetStateImage(SkinImageKind::CheckedHover), nullptr) << "no such list";

    // The cut-out has the control's size and comes from its own rectangle.
    const RECT r = dialog.text.GetRectIn(dialog.m_hWnd);
    const auto image = dialog.text.GetStateImage(SkinImageKind::Normal);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), r.right - r.left);
    EXPECT_EQ(image->Height(), r.bottom - r.top);
}

TEST_F(SkinWindows, ControlsAreSetUpOnceWhenBoundOrCreated) {
    TestDialog dialog;
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    EXPECT_TRUE(dialog.button.m_bInit);
    EXPECT_EQ(dialog.button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(dialog.button.m_nAlign, 5) << "a skinned button ends up centred";
    EXPECT_EQ(dialog.check.GetStyle() & (BS_TYPEMASK | BS_NOTIFY),
              static_cast<DWORD>(BS_OWNERDRAW | BS_NOTIFY));
    EXPECT_EQ(dialog.text.GetStyle() & SS_TYPEMASK, static_cast<DWORD>(SS_OWNERDRAW));
    EXPECT_EQ(dialog.vbar.GetThickness(), 6);
    EXPECT_EQ(dialog.vbar.GetArrowSize(), 12);
    const RECT bar = dialog.vbar.GetWindowRect();
    EXPECT_EQ(bar.right - bar.left, 6) << "FitToSkin";

    CSkinButton created;
    ASSERT_TRUE(
        created.CreateEx(0, L"BUTTON", L"x", WS_CHILD | WS_VISIBLE, RECT{5, 5, 60, 25}, dialog.m_hWnd, 77));
    EXPECT_TRUE(created.m_bInit);
    EXPECT_EQ(created.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));

    CSkinScrollBar createdBar;
    createdBar.SetSkinFile(Files().Path(L"scrollbar.bmp"));
    ASSERT_TRUE(createdBar.CreateEx(0, L"SCROLLBAR", L"", WS_CHILD | SBS_VERT, RECT{0, 0, 20, 100},
                                    dialog.m_hWnd, 78));
    EXPECT_EQ(createdBar.GetThickness(), 6);
    EXPECT_EQ(createdBar.GetLength(), 100);

    created.m_bHover = TRUE;
    created.DestroyWindow();
    EXPECT_FALSE(created.m_bInit);
    EXPECT_FALSE(created.m_bHover) << "a new window starts without hover";
}

TEST_F(SkinWindows, CheckBoxKeepsItsOwnStateAndTogglesBeforeTheParentHearsTheClick) {
    TestDialog dialog;
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    dialog.check.SetCheck(1);
    EXPECT_EQ(dialog.check.m_nCheck, 1);
    EXPECT_EQ(dialog.check.GetCheck(), 1);
    dialog.check.m_nCheck = 0;
    EXPECT_EQ(dialog.check.GetCheck(), 0) << "read from m_nCheck, not the system's button state";

    SendMessageW(dialog.check.m_hWnd, BM_CLICK, 0, 0);
    SendMessageW(dialog.check.m_hWnd, BM_CLICK, 0, 0);
    EXPECT_EQ(dialog.checkSeenAtClick, (std::vector<int>{1, 0}));
    EXPECT_EQ(dialog.check.m_nCheck, 0);
}

TEST_F(SkinWindows, DoubleClickPressesTheControlAgain) {
    TestDialog dialog;
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    fw::PumpPending();
    SendMessageW(dialog.button.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(4, 5));
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, dialog.button.m_hWnd, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_EQ(msg.lParam, Point(4, 5));
    ReleaseCapture();
}

TEST_F(SkinWindows, HoverFollowsTheCursorAndClearsOnTheNextPollOutside) {
    TestDialog dialog;
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    const POINT inside = Center(dialog.button.GetWindowRect());
    ASSERT_TRUE(SetCursorPos(inside.x, inside.y));
    dialog.button.PostMessage(WM_MOUSEMOVE, 0, Point(1, 1));
    ASSERT_TRUE(fw::PumpUntil([&] { return dialog.button.m_bHover != FALSE; }, 5000));

    const RECT whole = dialog.GetWindowRect();
    ASSERT_TRUE(SetCursorPos(whole.right + 50, whole.bottom + 50));
    // The poll clears it; sending the tick ourselves keeps the test independent of timer timing.
    dialog.button.PostMessage(WM_TIMER, 1, 0);
    ASSERT_TRUE(fw::PumpUntil([&] { return dialog.button.m_bHover == FALSE; }, 5000));
}

TEST_F(SkinWindows, DraggableDialogAnswersCaptionForItsSurface) {
    TestDialog dialog;
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    const RECT r = dialog.GetWindowRect();
    const LPARAM surface = Point(r.left + 150, r.top + 200);
    EXPECT_NE(SendMessageW(dialog.m_hWnd, WM_NCHITTEST, 0, surface), HTCAPTION);
    dialog.SetDraggable(true);
    EXPECT_EQ(SendMessageW(dialog.m_hWnd, WM_NCHITTEST, 0, surface), HTCAPTION);
}

TEST_F(SkinWindows, SkinBitmapChoosesItsFileAndOwnsExactlyOneBitmap) {
    TestDialog dialog;
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    const auto shownWidth = [&] {
        BITMAP info{};
        auto bitmap = reinterpret_cast<HBITMAP>(dialog.picture.SendMessage(STM_GETIMAGE, IMAGE_BITMAP, 0));
        return bitmap && GetObjectW(bitmap, sizeof info, &info) ? info.bmWidth : 0;
    };
    dialog.picture.SetImage(3);
    EXPECT_EQ(shownWidth(), 13);
    dialog.picture.SetImage(7);
    EXPECT_EQ(shownWidth(), 10) << "no entry 7: entry 0";
    dialog.picture.SetImage(1);
    const auto before = reinterpret_cast<HBITMAP>(dialog.picture.SendMessage(STM_GETIMAGE, IMAGE_BITMAP, 0));
    dialog.picture.SetImage(1);
    EXPECT_EQ(GetObjectType(before), 0u) << "the bitmap handed back is deleted";
    const auto shown = reinterpret_cast<HBITMAP>(dialog.picture.SendMessage(STM_GETIMAGE, IMAGE_BITMAP, 0));
    dialog.DestroyWindow();
    EXPECT_EQ(GetObjectType(shown), 0u) << "the bitmap shown is deleted with the control";
}

// ---- Scroll bar ----

void SetInfo(CSkinScrollBar& bar, int nMin, int nMax, UINT page, int pos) {
    SCROLLINFO info{};
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = nMin;
    info.nMax = nMax;
    info.nPage = page;
    info.nPos = pos;
    bar.SetScrollInfo(info, true);
}

TEST_F(SkinWindows, ScrollBarDragKeepsTheTrackPositionItSent) {
    TestDialog dialog;
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    CSkinScrollBar& bar = dialog.vbar;
    SetInfo(bar, 0, 99, 10, 0);
    const RECT thumb = bar.GetPartRect(pw::skin::kPartThumb);
    ASSERT_GT(thumb.bottom, thumb.top);
    const POINT start = Center(thumb);

    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Point(start.x, start.y));
    EXPECT_TRUE(bar.IsDragging());
    EXPECT_TRUE(dialog.scrolls.empty()) << "pressing the thumb sends nothing";
    bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, Point(start.x, start.y + 40));
    ASSERT_EQ(dialog.scrolls.size(), 1u);
    EXPECT_EQ(dialog.scrolls[0].message, static_cast<UINT>(WM_VSCROLL));
    EXPECT_EQ(dialog.scrolls[0].code, SB_THUMBTRACK);
    const int sent = dialog.scrolls[0].pos;
    EXPECT_GT(sent, 0);

    SCROLLINFO info{};
    bar.GetScrollInfo(info, SIF_TRACKPOS | SIF_POS);
    EXPECT_EQ(info.nTrackPos, sent);
    EXPECT_EQ(info.nPos, 0) << "the bar never moves nPos itself";

    bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, Point(start.x, start.y + 40));
    bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, Point(start.x, start.y + 5000));
    ASSERT_EQ(dialog.scrolls.size(), 2u) << "only changes are sent";
    EXPECT_EQ(dialog.scrolls[1].pos, 90) << "never above nMax - nPage + 1";
    bar.SendMessage(WM_LBUTTONUP, 0, Point(start.x, start.y + 5000));
    EXPECT_FALSE(bar.IsDragging());
    EXPECT_EQ(dialog.scrolls.size(), 2u) << "releasing sends nothing";
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SkinWindows, HeldArrowRepeatsOnTheTimersAndStopsAtTheEnd) {
    TestDialog dialog;
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    dialog.followScroll = true;
    CSkinScrollBar& bar = dialog.vbar;
    SetInfo(bar, 0, 99, 10, 2);
    const POINT up = Center(bar.GetPartRect(pw::skin::kPartUp));

    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Point(up.x, up.y));
    ASSERT_EQ(dialog.scrolls.size(), 1u);
    EXPECT_EQ(dialog.scrolls[0].code, SB_LINEUP);
    bar.SendMessage(WM_TIMER, pw::skin::kRepeatDelayTimer, 0);
    EXPECT_EQ(dialog.scrolls.size(), 2u) << "first repeat at 500 ms";
    bar.SendMessage(WM_TIMER, pw::skin::kRepeatTimer, 0);
    EXPECT_EQ(dialog.scrolls.size(), 2u) << "nPos reached nMin: the repeat stops";
    bar.SendMessage(WM_LBUTTONUP, 0, Point(up.x, up.y));
    EXPECT_EQ(bar.GetPressedPart(), pw::skin::kPartNone);

    // Page areas repeat until the thumb lies under the cursor.
    SetInfo(bar, 0, 99, 10, 0);
    const RECT after = bar.GetPartRect(pw::skin::kPartPageAfter);
    POINT target{(after.left + after.right) / 2, after.bottom - 2};
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Point(target.x, target.y));
    EXPECT_EQ(dialog.scrolls.back().code, SB_PAGEDOWN);
    ClientToScreen(bar.m_hWnd, &target);
    ASSERT_TRUE(SetCursorPos(target.x, target.y));
    size_t count = dialog.scrolls.size();
    for (int i = 0; i < 20; ++i)
        bar.SendMessage(WM_TIMER, pw::skin::kRepeatTimer, 0);
    EXPECT_GT(dialog.scrolls.size(), count);
    count = dialog.scrolls.size();
    bar.SendMessage(WM_TIMER, pw::skin::kRepeatTimer, 0);
    EXPECT_EQ(dialog.scrolls.size(), count) << "stopped with the thumb under the cursor";
    SCROLLINFO info{};
    bar.GetScrollInfo(info, SIF_POS);
    EXPECT_EQ(info.nPos, 90);
    bar.SendMessage(WM_LBUTTONUP, 0, 0);
}

TEST_F(SkinWindows, HorizontalBarSendsHScrollAndLaysOutAlongX) {
    TestDialog dialog;
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    CSkinScrollBar& bar = dialog.hbar;
    ASSERT_TRUE(bar.IsHorizontal());
    const RECT r = bar.GetWindowRect();
    EXPECT_EQ(r.bottom - r.top, 6) << "FitToSkin sets the height of a horizontal bar";
    SetInfo(bar, 0, 9, 2, 3);
    const RECT left = bar.GetPartRect(pw::skin::kPartUp);
    EXPECT_EQ(left.right - left.left, 12);
    EXPECT_EQ(left.bottom - left.top, 6);
    const RECT right = bar.GetPartRect(pw::skin::kPartDown);
    EXPECT_EQ(right.right, r.right - r.left);

    const POINT p = Center(right);
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Point(p.x, p.y));
    bar.SendMessage(WM_LBUTTONUP, 0, Point(p.x, p.y));
    ASSERT_EQ(dialog.scrolls.size(), 1u);
    EXPECT_EQ(dialog.scrolls[0].message, static_cast<UINT>(WM_HSCROLL));
    EXPECT_EQ(dialog.scrolls[0].code, SB_LINEDOWN);
}

TEST_F(SkinWindows, HoverLookFollowsPartsAndLeavingClearsIt) {
    TestDialog dialog;
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    CSkinScrollBar& bar = dialog.vbar;
    SetInfo(bar, 0, 99, 10, 0);
    const POINT down = Center(bar.GetPartRect(pw::skin::kPartDown));
    const POINT thumb = Center(bar.GetPartRect(pw::skin::kPartThumb));
    bar.SendMessage(WM_MOUSEMOVE, 0, Point(down.x, down.y));
    EXPECT_EQ(bar.GetHotPart(), pw::skin::kPartDown);
    bar.SendMessage(WM_MOUSEMOVE, 0, Point(thumb.x, thumb.y));
    EXPECT_EQ(bar.GetHotPart(), pw::skin::kPartThumb);
    bar.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(bar.GetHotPart(), pw::skin::kPartNone);
}

TEST_F(SkinWindows, LosingTheCaptureEndsADrag) {
    TestDialog dialog;
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    CSkinScrollBar& bar = dialog.vbar;
    SetInfo(bar, 0, 99, 10, 0);
    const POINT start = Center(bar.GetPartRect(pw::skin::kPartThumb));
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, Point(start.x, start.y));
    ASSERT_TRUE(bar.IsDragging());
    SetCapture(dialog.m_hWnd);
    EXPECT_FALSE(bar.IsDragging());
    bar.SendMessage(WM_MOUSEMOVE, 0, Point(start.x, start.y + 40));
    EXPECT_TRUE(dialog.scrolls.empty());
    ReleaseCapture();
}

// ---- Resources stay flat over many paints ----

// GDI objects of this process. Wine does not implement GetGuiResources; there the process's own
// GDI handle table (the PEB's GdiSharedHandleTable, one entry per live object) is counted instead.
size_t GdiObjectCount() {
    if (DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return count;
    struct Entry {
        std::uint64_t object;
        std::uint32_t owner;
        std::uint16_t unique;
        std::uint8_t type;
        std::uint8_t flags;
        std::uint64_t user;
    };
    static_assert(sizeof(Entry) == 24);
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic,
                                  nullptr) != 0)
        return 0;
    const auto* peb = reinterpret_cast<const std::uint8_t*>(basic.PebBaseAddress);
    const Entry* table = *reinterpret_cast<const Entry* const*>(peb + 0xF8);
    if (!table) return 0;
    size_t count = 0;
    for (size_t i = 0; i < 0x10000; ++i)
        count += table[i].type != 0;
    return count;
}

// Committed private memory of the process, heaps included.
size_t CommittedBytes() {
    size_t total = 0;
    MEMORY_BASIC_INFORMATION mbi;
    const std::uint8_t* p = nullptr;
    while (VirtualQuery(p, &mbi, sizeof mbi) == sizeof mbi) {
        if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) total += mbi.RegionSize;
        const auto* next = static_cast<const std::uint8_t*>(mbi.BaseAddress) + mbi.RegionSize;
        if (next <= p) break;
        p = next;
    }
    return total;
}

TEST_F(SkinWindows, TenThousandPaintsLeaveGdiObjectsAndMemoryFlat) {
    TestDialog dialog;
    OpenDialog open(dialog);
    ASSERT_TRUE(open.created);
    SetInfo(dialog.vbar, 0, 99, 10, 30);
    dialog.button.m_bHover = TRUE;
    const auto paintAll = [&](int times) {
        for (int i = 0; i < times; ++i)
            for (HWND wnd : {dialog.button.m_hWnd, dialog.text.m_hWnd, dialog.vbar.m_hWnd})
                RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    };
    paintAll(200); // caches of GDI+ and the system settle first
    const size_t gdiBefore = GdiObjectCount();
    const size_t memoryBefore = CommittedBytes();
    ASSERT_GT(gdiBefore, 0u) << "the GDI object count must be readable";
    paintAll(10000);
    const size_t gdiAfter = GdiObjectCount();
    const size_t memoryAfter = CommittedBytes();
    EXPECT_LE(gdiAfter, gdiBefore + 2);
    EXPECT_LT(memoryAfter, memoryBefore + 512 * 1024)
        << "before " << memoryBefore << " after " << memoryAfter;
}

TEST_F(SkinWindows, LeakCheckSeesALeak) {
    // The counters the leak test relies on do move when objects are kept.
    const size_t gdiBefore = GdiObjectCount();
    std::vector<fw::UniqueBrush> kept;
    for (int i = 0; i < 50; ++i)
        kept.emplace_back(CreateSolidBrush(RGB(i, 0, 0)));
    EXPECT_GE(GdiObjectCount(), gdiBefore + 50);
    const size_t memoryBefore = CommittedBytes();
    std::vector<std::unique_ptr<CSkinImage>> images;
    const auto source = CSkinImage::Load(Files().Path(L"normal0.bmp"));
    for (int i = 0; i < 100; ++i)
        images.push_back(source->CloneArea(0, 0, 100, 100));
    EXPECT_GT(CommittedBytes(), memoryBefore + 1024 * 1024);
}

} // namespace
