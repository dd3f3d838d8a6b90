#include <windows.h>
#include <commctrl.h>

#include "common/types.h"
#include "res/dialog_layouts.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

namespace ui = pw::ui;

INT_PTR CALLBACK NoOpDialogProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG;
}

class Templates : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefDlgProcW;
        wc.cbWndExtra = DLGWINDOWEXTRA;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = pw::kMainWindowClass;
        RegisterClassExW(&wc);
        s_parent = CreateWindowExW(0, L"STATIC", L"parent", WS_POPUP, 0, 0, 1200, 900, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(s_parent); }

    // The template as linked into the program, created without WS_VISIBLE: destroying a shown
    // top-level window costs Wine two seconds under Xvfb.
    static HWND Create(const ui::Dialog& d) {
        HMODULE module = GetModuleHandleW(nullptr);
        HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(d.id), MAKEINTRESOURCEW(5)); // RT_DIALOG
        if (!res) return nullptr;
        const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, res)));
        const DWORD length = SizeofResource(module, res);
        if (!bytes || length < 16) return nullptr;
        std::vector<BYTE> copy(bytes, bytes + length);
        DWORD style = 0;
        std::memcpy(&style, copy.data() + 12,
                    sizeof(style)); // DLGTEMPLATEEX: version, signature, help id, ex style
        s_shown = (style & WS_VISIBLE) != 0;
        style &= ~static_cast<DWORD>(WS_VISIBLE);
        std::memcpy(copy.data() + 12, &style, sizeof(style));
        return CreateDialogIndirectParamW(module, reinterpret_cast<const DLGTEMPLATE*>(copy.data()),
                                          (d.flags & ui::kChild) ? s_parent : nullptr, NoOpDialogProc, 0);
    }

    // Maps x, y, width and height each on its own, as dialog creation does for controls.
    static ui::Rect Map(HWND dlg, const ui::Rect& r) {
        RECT m{r.x, r.y, r.cx, r.cy};
        MapDialogRect(dlg, &m);
        return {m.left, m.top, m.right, m.bottom};
    }

    static inline HWND s_parent = nullptr;
    static inline bool s_shown = false; // the template had WS_VISIBLE
};

std::wstring ClassOf(HWND w) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    return name;
}

const wchar_t* ExpectedClass(ui::ControlKind kind) {
    switch (kind) {
    case ui::ControlKind::PushButton:
    case ui::ControlKind::LinkButton:
    case ui::ControlKind::PlainButton:
    case ui::ControlKind::CheckBox: return L"Button";
    case ui::ControlKind::ScrollBar: return L"ScrollBar";
    case ui::ControlKind::ProgressBar: return L"msctls_progress32";
    case ui::ControlKind::ListBox: return L"ListBox";
    default: return L"Static";
    }
}

TEST_F(Templates, ShellFontGivesTheBaseUnitsOfTheTable) {
    for (int id : {IDD_MAIN_DIALOG, IDD_PAIR_REQ, IDD_RECEIVER_ITEM, IDD_ITEM_VIEW, IDD_DEVICE_ITEM}) {
        const ui::Dialog* d = ui::FindDialog(id);
        ASSERT_TRUE(d);
        HWND dlg = Create(*d);
        ASSERT_TRUE(dlg) << d->symbol << " error " << GetLastError();
        RECT r{0, 0, 4, 8};
        MapDialogRect(dlg, &r);
        std::printf("%-20s %s: %ld x %ld pixels per 4 x 8 dialog units\n", std::string(d->symbol).c_str(),
                    (d->flags & (ui::kShellFont | ui::kControlFont)) ? "MS Shell Dlg 8" : "system font ",
                    r.right, r.bottom);
        if (d->flags & (ui::kShellFont | ui::kControlFont)) {
            EXPECT_EQ(r.right, ui::kBaseUnitX) << d->symbol;
            EXPECT_EQ(r.bottom, ui::kBaseUnitY) << d->symbol;
        }
        DestroyWindow(dlg);
    }
}

TEST_F(Templates, EveryTemplateHasTheControlsOfTheTable) {
    for (const ui::Dialog& d : ui::Dialogs()) {
        SCOPED_TRACE(std::string(d.symbol));
        HWND dlg = Create(d);
        ASSERT_TRUE(dlg) << "error " << GetLastError();
        RECT client{};
        GetClientRect(dlg, &client);
        const ui::Rect size = Map(dlg, {0, 0, d.dlu.cx, d.dlu.cy});
        EXPECT_EQ(client.right, size.cx);
        EXPECT_EQ(client.bottom, size.cy);
        if (d.flags & (ui::kShellFont | ui::kControlFont)) {
            EXPECT_EQ((ui::Size{client.right, client.bottom}), ui::PixelSize(d))
                << "template size = rendering size";
        }
        const LONG_PTR ex = GetWindowLongPtrW(dlg, GWL_EXSTYLE);
        EXPECT_EQ((ex & WS_EX_TOOLWINDOW) != 0, (d.flags & ui::kToolWindow) != 0);
        EXPECT_EQ((ex & WS_EX_APPWINDOW) != 0, (d.flags & ui::kAppWindow) != 0);
        EXPECT_EQ((GetWindowLongPtrW(dlg, GWL_STYLE) & WS_CHILD) != 0, (d.flags & ui::kChild) != 0);
        EXPECT_EQ(s_shown, (d.flags & ui::kVisible) != 0);

        int counted = 0;
        for (const ui::Control& c : d.controls) {
            if (c.id == -1) continue;
            ++counted;
            SCOPED_TRACE(std::string(c.symbol));
            HWND w = GetDlgItem(dlg, c.id);
            ASSERT_TRUE(w);
            EXPECT_EQ(ClassOf(w), ExpectedClass(c.kind));
            const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
            EXPECT_EQ((style & WS_VISIBLE) == 0, (c.flags & ui::kHidden) != 0);
            EXPECT_EQ((style & WS_DISABLED) != 0, (c.flags & ui::kDisabled) != 0);
            switch (c.kind) {
            case ui::ControlKind::PushButton:
            case ui::ControlKind::LinkButton:
            case ui::ControlKind::PlainButton:
                EXPECT_EQ(style & BS_TYPEMASK, (c.flags & ui::kDefault) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
                EXPECT_EQ((style & BS_NOTIFY) != 0, (c.flags & ui::kNotify) != 0);
                break;
            case ui::ControlKind::CheckBox: EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX); break;
            case ui::ControlKind::Picture: EXPECT_EQ(style & SS_TYPEMASK, SS_BITMAP); break;
            case ui::ControlKind::ScrollBar: EXPECT_TRUE(style & SBS_VERT); break;
            case ui::ControlKind::ProgressBar: EXPECT_TRUE(style & PBS_MARQUEE); break;
            default: break;
            }
            if (c.kind != ui::ControlKind::Picture) {
                RECT wr{};
                GetWindowRect(w, &wr);
                MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&wr), 2);
                EXPECT_EQ((ui::Rect{wr.left, wr.top, wr.right - wr.left, wr.bottom - wr.top}),
                          Map(dlg, c.dlu));
            }
            wchar_t text[256] = {};
            GetWindowTextW(w, text, 256);
            EXPECT_EQ(std::wstring(text), std::wstring(c.text.begin(), c.text.end()));
        }
        int children = 0;
        for (HWND w = GetWindow(dlg, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            children += GetDlgCtrlID(w) != -1;
        EXPECT_EQ(children, counted) << "no control beyond the table";
        DestroyWindow(dlg);
    }
}

TEST_F(Templates, StringsAndIconOfTheProgram) {
    wchar_t text[128] = {};
    LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, text, 128);
    EXPECT_EQ(std::wstring(text), L"&About Pairwright...");
    LoadStringW(GetModuleHandleW(nullptr), IDP_SOCKETS_INIT_FAILED, text, 128);
    EXPECT_EQ(std::wstring(text), L"Windows sockets initialization failed.");
    for (int size : {48, 32, 16}) {
        HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                                   IMAGE_ICON, size, size, 0));
        ASSERT_TRUE(icon) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bm{};
        GetObjectW(info.hbmColor, sizeof(bm), &bm);
        EXPECT_EQ(bm.bmWidth, size);
        EXPECT_EQ(bm.bmBitsPixel, 32) << size;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

} // namespace
