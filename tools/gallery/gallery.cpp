// The skin gallery: opens every skinned dialog template of the layout table with its skin, in the
// normal, hover, pressed and disabled looks and in both layouts, and saves a picture of each.
//   pw_gallery PROGRAM_DIR OUTPUT_DIR
// PROGRAM_DIR is the program folder (ui\, lan\Arabic\ui\ and lan\arabic.ini below it). Each picture is
// OUTPUT_DIR\<dialog>-<ltr|rtl>-<n>-<look>.bmp; pixels outside the window's outline are light grey.
#include "framework/pump.h"
#include "lang/text_keys.h"
#include "res/dialog_layouts.h"
#include "res/resource.h"
#include "skin/skin_controls.h"
#include "skin/skin_dialog.h"
#include "skin/skin_scrollbar.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace ui = pw::ui;

enum class Look { Normal, Hover, Pressed, Disabled };
constexpr Look kLooks[] = {Look::Normal, Look::Hover, Look::Pressed, Look::Disabled};
// Numbered so that a sorted listing shows each dialog's looks in this order.
constexpr const wchar_t* kLookNames[] = {L"1-normal", L"2-hover", L"3-pressed", L"4-disabled"};

constexpr COLORREF kBackdrop = RGB(224, 224, 224);
constexpr wchar_t kHostClass[] = L"PairwrightGalleryHost";

std::wstring Widen(std::string_view s) {
    return std::wstring(s.begin(), s.end());
}

std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        c = static_cast<wchar_t>(towlower(c));
    return s;
}

void ReplaceAll(std::wstring& text, std::wstring_view what, std::wstring_view with) {
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}

// Sample texts: the text key a control's dialog asks for (its symbol, or the key it shares), English
// from the key table, Arabic from the shipped Arabic language file.
class SampleTexts {
public:
    explicit SampleTexts(const std::wstring& arabicFile) {
        wchar_t sections[256] = {};
        GetPrivateProfileSectionNamesW(sections, 256, arabicFile.c_str());
        const std::wstring section = sections;
        for (int n = 1;; ++n) {
            wchar_t key[128] = {}, text[1024] = {};
            const std::wstring suffix = std::to_wstring(n);
            if (!GetPrivateProfileStringW(section.c_str(), (L"ID" + suffix).c_str(), L"", key, 128,
                                          arabicFile.c_str()))
                break;
            GetPrivateProfileStringW(section.c_str(), (L"TEXT" + suffix).c_str(), L"", text, 1024,
                                     arabicFile.c_str());
            m_arabic.emplace_back(key, text);
        }
    }

    std::wstring For(const ui::Control& control, bool arabic) const {
        const std::wstring device = arabic ? L"Vorn K200 لوحة مفاتيح" : L"Vorn K200 Keyboard";
        const std::string_view symbol = control.symbol;
        // Texts a dialog composes from a key and the device's name.
        if (symbol == "IDC_STATIC_DEVICE_NAME") return device;
        if (symbol == "IDC_STATIC_DETECTED") return device + L" " + Lookup(L"IDC_STATIC_DEVICE_NAME", arabic);
        if (symbol == "IDC_STATIC_ASK") return Lookup(L"IDC_STATIC_ASK", arabic) + L" " + device + L"?";
        std::wstring text = Lookup(KeyOf(Widen(symbol)), arabic);
        if (text.empty()) text = Value(control, arabic);
        if (text.empty()) text = Widen(control.text);
        if (text == L"Static") text.clear();
        ReplaceAll(text, L"%s", device);
        ReplaceAll(text, L"[Device Name]", device);
        ReplaceAll(text, L"XXX", device);
        ReplaceAll(text, L"[ReceiverName]", L"Pairwright Receiver");
        ReplaceAll(text, L"\\n", L"\n");
        return text;
    }

private:
    std::wstring Lookup(const std::wstring& key, bool arabic) const {
        if (arabic) {
            for (const auto& [k, t] : m_arabic)
                if (k == key && !t.empty()) return t;
        }
        for (const auto& e : pw::kTextTable)
            if (key == e.key) return e.english;
        return {};
    }

    static std::wstring KeyOf(const std::wstring& symbol) {
        static const std::pair<const wchar_t*, const wchar_t*> kShared[] = {
            {L"IDC_STATIC_CAPTION", L"ID_TRAY_TIP"},
            {L"IDC_STATIC_TITLE", L"ID_TRAY_TIP"},
            {L"IDC_BTN_GO_CONTROL_PANEL", L"ID_GO_TO_CONTROL_PANEL"},
            {L"IDC_BTN_ADD_NEW_DEV", L"ID_ADD_NEW_DEV"},
            {L"IDC_BTN_DONE", L"ID_DONE"},
            {L"IDC_BTN_LEARN_PAIR", L"ID_LEARN_PAIR"},
            {L"IDC_BTN_OK", L"IDOK"},
            {L"IDC_BTN_REDANT_OK", L"IDOK"},
            {L"IDC_BTN_MORE_DG_OK", L"IDOK"},
            {L"IDC_BTN_HELP_NOT_NOW", L"IDC_BTN_NOT_ADD_DEVICE"},
        };
        for (const auto& [from, to] : kShared)
            if (symbol == from) return to;
        return symbol;
    }

    // Values a dialog fills in at run time.
    static std::wstring Value(const ui::Control& control, bool arabic) {
        const std::string_view s = control.symbol;
        if (s == "IDC_STATIC_FW_VALUE") return L"1.2.0.5";
        if (s == "IDC_STATIC_PAIRED_COUNT")
            return arabic ? L"2 لوحات مفاتيح، 1 ماوس" : L"2 Keyboards, 1 Mouse";
        if (s == "IDC_STATIC_HARDWARE_ID_VALUE") return L"VID_1F3A&PID_0B7C";
        if (s == "IDC_STATIC_STATUS_VALUE") return arabic ? L"نشط" : L"Active";
        if (s == "IDC_STATIC_RECEIVER_NAME") return L"Pairwright Receiver";
        return {};
    }

    std::vector<std::pair<std::wstring, std::wstring>> m_arabic;
};

// One dialog of the table, skinned from a ui folder, with skinned controls bound by kind.
class GalleryDialog : public CSkinDialog {
public:
    GalleryDialog(const ui::Dialog& dialog, const std::wstring& uiDir, bool arabic, Look look,
                  const SampleTexts& texts)
        : CSkinDialog(static_cast<UINT>(dialog.id)), m_dialog(dialog), m_arabic(arabic), m_look(look),
          m_texts(texts) {
        const auto path = [&](std::string_view name) { return uiDir + L"\\" + Widen(name); };
        const ui::SkinFiles& skin = dialog.skin;
        AddImage(SkinImageKind::Normal, path(skin.normal));
        if (!skin.hover.empty()) AddImage(SkinImageKind::Hover, path(skin.hover));
        AddImage(SkinImageKind::Selected, path(skin.selected.empty() ? skin.normal : skin.selected));
        if (!skin.disable.empty()) AddImage(SkinImageKind::Disable, path(skin.disable));
        if (!skin.mask.empty()) SetMaskImage(path(skin.mask));
        CSkinScrollBar::s_strSkinFile = path("scrollbar.bmp");

        for (const ui::Control& c : dialog.controls) {
            std::unique_ptr<CWnd> control;
            switch (c.kind) {
            case ui::ControlKind::PushButton:
            case ui::ControlKind::LinkButton: control = Styled<CSkinButton>(c); break;
            case ui::ControlKind::Static:
            case ui::ControlKind::BoldStatic: control = Styled<CSkinStatic>(c); break;
            case ui::ControlKind::CheckBox: control = Styled<CSkinCheckBox>(c); break;
            case ui::ControlKind::Picture: {
                auto picture = std::make_unique<CSkinBitmap>();
                if (c.id == IDC_PIC_PAIRED) {
                    for (int i = 0; i <= 6; ++i)
                        picture->AddImageFile(path("point" + std::to_string(i) + ".bmp"));
                } else {
                    picture->AddImageFile(path("keyboard.bmp"));
                    picture->AddImageFile(path(dialog.id == IDD_DEVICE_ITEM ? "Mouse.bmp" : "Mouse2.bmp"));
                }
                control = std::move(picture);
                break;
            }
            case ui::ControlKind::ScrollBar: control = std::make_unique<CSkinScrollBar>(); break;
            default: break;
            }
            if (control) m_controls.push_back({&c, std::move(control)});
        }
    }

    void DoDataExchange() override {
        for (auto& bound : m_controls)
            BindControl(bound.control->id, *bound.window);
    }

    BOOL OnInitDialog() override {
        CSkinDialog::OnInitDialog();
        for (auto& bound : m_controls)
            Prepare(*bound.control, *bound.window);
        for (const ui::Control& c : m_dialog.controls) {
            HWND wnd = GetDlgItem(c.id);
            if (wnd && c.kind == ui::ControlKind::ProgressBar) ::SendMessageW(wnd, PBM_SETPOS, 40, 0);
        }
        // Shown here without activation (the dialog manager then leaves a visible template alone) and
        // no focus: Wine without a window manager takes two seconds to destroy a window it activated.
        SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        return FALSE;
    }

private:
    struct Bound {
        const ui::Control* control;
        std::unique_ptr<CWnd> window;
    };

    template <class T> static std::unique_ptr<CWnd> Styled(const ui::Control& c) {
        auto control = std::make_unique<T>();
        if (c.look.color) control->m_clrText = c.look.color;
        if (c.look.hoverColor) control->m_clrTextHover = c.look.hoverColor;
        if (c.look.fontSize > 0) control->m_fFontSize = c.look.fontSize;
        control->m_nFontStyle = c.look.fontStyle;
        if (c.look.align) control->SetAlign(c.look.align);
        return control;
    }

    void Prepare(const ui::Control& c, CWnd& wnd) {
        if (c.HasLayout()) {
            const ui::Rect r = ui::PixelRect(c, m_arabic);
            wnd.MoveWindow(r.x, r.y, r.cx, r.cy, false);
        }
        // Controls the dialog shows later are shown; those it never shows (hidden and disabled) stay hidden.
        const bool never = (c.flags & ui::kHidden) && (c.flags & ui::kDisabled);
        wnd.ShowWindow(never ? SW_HIDE : SW_SHOWNA);
        const bool text = c.kind != ui::ControlKind::Picture && c.kind != ui::ControlKind::ScrollBar;
        if (text) {
            if (m_arabic) wnd.ModifyStyleEx(0, WS_EX_RTLREADING);
            wnd.SetWindowText(m_texts.For(c, m_arabic));
        }
        wnd.EnableWindow(m_look != Look::Disabled);

        if (auto* picture = dynamic_cast<CSkinBitmap*>(&wnd))
            picture->SetImage(c.id == IDC_PIC_PAIRED ? 3 : m_look == Look::Pressed ? 1 : 0);
        if (auto* check = dynamic_cast<CSkinCheckBox*>(&wnd)) {
            check->m_bHover = m_look == Look::Hover;
            check->SetCheck(m_look == Look::Pressed ? 1 : 0);
        } else if (auto* button = dynamic_cast<CSkinButton*>(&wnd)) {
            button->m_bHover = m_look == Look::Hover;
            if (m_look == Look::Pressed) button->SendMessage(BM_SETSTATE, TRUE);
        }
        if (auto* bar = dynamic_cast<CSkinScrollBar*>(&wnd)) {
            bar->FitToSkin();
            if (c.HasLayout()) {
                const ui::Rect r = ui::PixelRect(c, m_arabic);
                bar->MoveWindow(r.x, r.y, r.cx, r.cy, false);
            }
            SCROLLINFO info{};
            info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            info.nMax = 99;
            info.nPage = 30;
            info.nPos = 20;
            bar->SetScrollInfo(info, false);
            m_bars.push_back(bar);
        }
    }

public:
    // Looks the scroll bar shows only while the mouse is on it: hover on the thumb, pressed thumb.
    void ForceBarLooks() {
        for (CSkinScrollBar* bar : m_bars) {
            const RECT thumb = bar->GetPartRect(pw::skin::kPartThumb);
            const LPARAM at = MAKELPARAM((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
            if (m_look == Look::Hover) bar->SendMessage(WM_MOUSEMOVE, 0, at);
            if (m_look == Look::Pressed) bar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        }
    }
    void ReleaseBars() {
        if (GetCapture()) ReleaseCapture();
    }

private:
    const ui::Dialog& m_dialog;
    bool m_arabic;
    Look m_look;
    const SampleTexts& m_texts;
    std::vector<Bound> m_controls;
    std::vector<CSkinScrollBar*> m_bars;
};

bool SaveBmp(const std::wstring& path, HBITMAP bitmap, int width, int height) {
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const int stride = (width * 3 + 3) & ~3;
    info.biSizeImage = static_cast<DWORD>(stride * height);
    std::vector<std::uint8_t> bits(info.biSizeImage);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), bits.data(),
                               reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height) return false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return false;
    const bool ok = fwrite(&file, sizeof file, 1, f) == 1 && fwrite(&info, sizeof info, 1, f) == 1 &&
                    fwrite(bits.data(), bits.size(), 1, f) == 1;
    return fclose(f) == 0 && ok;
}

// The window as it is on screen (its own surface, children included), outside its outline the backdrop.
bool Capture(HWND window, HWND outlined, const std::wstring& path) {
    RECT r{};
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
    const fw::WindowDc source = fw::WindowDc::Whole(window);
    const fw::UniqueMemoryDc memory(CreateCompatibleDC(source.get()));
    const fw::UniqueBitmap bitmap(CreateCompatibleBitmap(source.get(), width, height));
    {
        const fw::SelectGuard select(memory.get(), bitmap.get());
        const fw::UniqueBrush backdrop(CreateSolidBrush(kBackdrop));
        const RECT all{0, 0, width, height};
        FillRect(memory.get(), &all, backdrop.get());
        const fw::UniqueRegion outline(CreateRectRgn(0, 0, 0, 0));
        RECT inner{};
        GetWindowRect(outlined, &inner);
        if (GetWindowRgn(outlined, outline.get()) != ERROR) {
            OffsetRgn(outline.get(), inner.left - r.left, inner.top - r.top);
            SelectClipRgn(memory.get(), outline.get());
        }
        BitBlt(memory.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
        SelectClipRgn(memory.get(), nullptr);
    }
    return SaveBmp(path, bitmap.get(), width, height);
}

LRESULT CALLBACK HostProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(wnd, message, wParam, lParam);
}

// Opens one dialog in one look and layout, saves its picture and closes it.
bool Shoot(const ui::Dialog& d, const std::wstring& uiDir, bool arabic, Look look, const SampleTexts& texts,
           const std::wstring& file) {
    GalleryDialog dialog(d, uiDir, arabic, look, texts);
    const bool child = (d.flags & ui::kChild) != 0;
    HWND host = nullptr;
    if (child) {
        const ui::Size size = ui::PixelSize(d);
        host = CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"", WS_POPUP, 0, 0, size.cx, size.cy, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        if (!host) return false;
    }
    bool ok = dialog.Create(host);
    if (ok) {
        RECT r = dialog.GetWindowRect();
        if (host) {
            MoveWindow(host, 0, 0, r.right - r.left, r.bottom - r.top, FALSE);
            SetWindowPos(host, HWND_TOP, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        }
        SetWindowPos(dialog.m_hWnd, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        RedrawWindow(host ? host : dialog.m_hWnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        fw::PumpPending();
        dialog.ForceBarLooks();
        GdiFlush();
        ok = Capture(host ? host : dialog.m_hWnd, dialog.m_hWnd, file);
        dialog.ReleaseBars();
        dialog.DestroyWindow();
    }
    if (host) DestroyWindow(host);
    fw::PumpPending();
    return ok;
}

} // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) {
        std::fprintf(stderr, "usage: pw_gallery PROGRAM_DIR OUTPUT_DIR\n");
        return 2;
    }
    const std::wstring programDir = argv[1];
    const std::wstring outputDir = argv[2];
    LocalFree(argv);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const pw::gdip::Session gdiplus;
    WNDCLASSEXW host{};
    host.cbSize = sizeof host;
    host.lpfnWndProc = HostProc;
    host.hInstance = GetModuleHandleW(nullptr);
    host.hbrBackground = CreateSolidBrush(kBackdrop);
    host.lpszClassName = kHostClass;
    RegisterClassExW(&host);
    // The main window's template names its own window class, a dialog class under another name.
    for (const ui::Dialog& d : ui::Dialogs()) {
        if (d.windowClass.empty()) continue;
        WNDCLASSEXW dialogClass{};
        dialogClass.cbSize = sizeof dialogClass;
        if (!GetClassInfoExW(nullptr, WC_DIALOG, &dialogClass)) continue;
        static std::vector<std::wstring> names;
        names.push_back(Widen(d.windowClass));
        dialogClass.hInstance = GetModuleHandleW(nullptr);
        dialogClass.lpszClassName = names.back().c_str();
        RegisterClassExW(&dialogClass);
    }

    const SampleTexts texts(programDir + L"\\lan\\arabic.ini");
    int failures = 0, shots = 0;
    for (const ui::Dialog& d : ui::Dialogs()) {
        if (!d.Skinned()) continue;
        for (const bool arabic : {false, true}) {
            const std::wstring uiDir = programDir + (arabic ? L"\\lan\\Arabic\\ui" : L"\\ui");
            for (const Look look : kLooks) {
                const std::wstring name = Lower(Widen(d.symbol)) + (arabic ? L"-rtl-" : L"-ltr-") +
                                          kLookNames[static_cast<int>(look)];
                if (Shoot(d, uiDir, arabic, look, texts, outputDir + L"\\" + name + L".bmp")) {
                    ++shots;
                } else {
                    ++failures;
                    std::fwprintf(stderr, L"pw_gallery: could not open or capture %ls\n", name.c_str());
                }
            }
        }
    }
    std::printf("pw_gallery: %d pictures, %d failures\n", shots, failures);
    return failures == 0 ? 0 : 1;
}
