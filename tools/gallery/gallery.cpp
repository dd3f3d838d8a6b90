// The skin gallery: opens every skinned dialog template of the layout table with its skin, in the
// normal, hover, pressed and disabled looks and in both layouts, and saves a picture of each.
//   pw_gallery PROGRAM_DIR OUTPUT_DIR
// PROGRAM_DIR is the program folder (ui\, lan\Arabic\ui\ and lan\arabic.ini below it). Each picture is
// OUTPUT_DIR\<dialog>-<ltr|rtl>-<n>-<look>.bmp; pixels outside the window's outline are light grey.
#include "framework/pump.h"
#include "lang/multi_language.h"
#include "lang/text_format.h"
#include "res/dialog_layouts.h"
#include "res/resource.h"
#include "skin/skin_table.h"
#include "tests/support/bmp_file.h"
#include "tools/gallery/scene.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gallery {

std::vector<Scene>& Scenes() {
    static std::vector<Scene> scenes;
    return scenes;
}

SceneRegistrar::SceneRegistrar(std::vector<Scene> scenes) {
    for (Scene& scene : scenes)
        Scenes().push_back(std::move(scene));
}

} // namespace gallery

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

// Makes the language current without writing the file's "Default" back, as a user's choice would.
void UseLanguage(const std::wstring& file, const std::wstring& language) {
    CMultiLanguage::s_strLanguageFile = file;
    CMultiLanguage::s_strLanguage = language;
    CMultiLanguage::s_texts.clear();
    CMultiLanguage::LoadLanguageFile();
}

// The sample device and receiver the pictures show: invented names, as a receiver would report them.
std::wstring SampleDevice() {
    return L"Vorn QT 2 " + CMultiLanguage::GetText(pw::TextKey::Keyboard);
}

// What a window shows in a control whose text it composes or fills in at run time.
std::wstring SampleText(const ui::Control& c) {
    using pw::TextKey;
    const std::string_view s = c.symbol;
    if (c.textKey && (c.flags & ui::kComposedText)) {
        if (pw::TextEntryOf(*c.textKey).use == pw::TextUse::Format)
            return CMultiLanguage::FormatText(*c.textKey, SampleDevice());
        if (*c.textKey == TextKey::DeviceDetected)
            return pw::ComposeNameThenText(SampleDevice(), pw::skin::TableText(c));
        return pw::skin::TableText(c);
    }
    if (s == "IDC_STATIC_ASK") return pw::ComposeQuestion(pw::skin::TableText(c), SampleDevice());
    if (s == "IDC_STATIC_DEVICE_NAME") return SampleDevice();
    if (s == "IDC_STATIC_FW_VALUE") return L"1.2.0.5";
    if (s == "IDC_STATIC_PAIRED_COUNT")
        return pw::ComposeCounts(2, CMultiLanguage::GetText(TextKey::Keyboards), 1,
                                 CMultiLanguage::GetText(TextKey::Mice));
    if (s == "IDC_STATIC_HARDWARE_ID_VALUE") return L"VID:1F3A     PID:0B7C";
    if (s == "IDC_STATIC_RECEIVER_NAME") return L"Pairwright Receiver";
    return {};
}

// One dialog of the table, skinned from the ui folder of the current directory, with skinned controls
// made by kind: the table alone decides its looks, layout and texts.
class GalleryDialog : public CSkinDialog {
public:
    GalleryDialog(const ui::Dialog& dialog, Look look)
        : CSkinDialog(static_cast<UINT>(dialog.id)), m_look(look) {
        for (const ui::Control& c : dialog.controls) {
            switch (c.kind) {
            case ui::ControlKind::PushButton:
            case ui::ControlKind::LinkButton: Add(c, std::make_unique<CSkinButton>()); break;
            case ui::ControlKind::Static:
            case ui::ControlKind::BoldStatic: Add(c, std::make_unique<CSkinStatic>()); break;
            case ui::ControlKind::CheckBox: Add(c, std::make_unique<CSkinCheckBox>()); break;
            case ui::ControlKind::Picture: Add(c, std::make_unique<CSkinBitmap>()); break;
            case ui::ControlKind::ScrollBar: Add(c, std::make_unique<CSkinScrollBar>()); break;
            default: break;
            }
        }
    }

    BOOL OnInitDialog() override {
        CSkinDialog::OnInitDialog();
        ApplyTableTexts();
        for (const ui::Control& c : TableEntry()->controls) {
            if (const std::wstring text = SampleText(c); !text.empty())
                SetDlgItemTextW(m_hWnd, c.id, text.c_str());
            if (HWND wnd = GetDlgItem(c.id); wnd && c.kind == ui::ControlKind::ProgressBar)
                ::SendMessageW(wnd, PBM_SETPOS, 40, 0);
        }
        for (auto& control : m_controls)
            Prepare(*control);
        LayOutControls();
        // Shown here without activation (the dialog manager then leaves a visible template alone) and
        // no focus: Wine without a window manager takes two seconds to destroy a window it activated.
        SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        return FALSE;
    }

private:
    template <class T> void Add(const ui::Control& c, std::unique_ptr<T> control) {
        AddControl(c.id, *control);
        m_controls.push_back(std::move(control));
    }

    void Prepare(CWnd& wnd) {
        const ui::Control* c = ui::FindControl(*TableEntry(), GetDlgCtrlID(wnd.m_hWnd));
        if (!c) return;
        // Controls the dialog shows later are shown; those it never shows (hidden and disabled) stay hidden.
        const bool never = (c->flags & ui::kHidden) && (c->flags & ui::kDisabled);
        wnd.ShowWindow(never ? SW_HIDE : SW_SHOWNA);

        if (auto* picture = dynamic_cast<CSkinBitmap*>(&wnd))
            picture->SetImage(c->id == IDC_PIC_PAIRED ? 3 : m_look == Look::Pressed ? 1 : 0);
        if (auto* bar = dynamic_cast<CSkinScrollBar*>(&wnd)) {
            bar->FitToSkin();
            SCROLLINFO info{};
            info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
            info.nMax = 99;
            info.nPage = 30;
            info.nPos = 20;
            bar->SetScrollInfo(info, false);
        }
    }

    Look m_look;
    std::vector<std::unique_ptr<CWnd>> m_controls;
};

// Puts every skinned control under root in the look: hovered, pressed (a check box checked) or
// disabled; a scroll bar shows its hovered or pressed thumb.
void ForceLook(HWND root, Look look) {
    std::vector<HWND> windows;
    EnumChildWindows(
        root,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    for (HWND child : windows) {
        CWnd* wnd = CWnd::FromHandle(child);
        if (!wnd) continue;
        if (look == Look::Disabled) wnd->EnableWindow(false);
        if (auto* check = dynamic_cast<CSkinCheckBox*>(wnd)) {
            check->m_bHover = look == Look::Hover;
            if (look == Look::Pressed) check->SetCheck(1);
        } else if (auto* button = dynamic_cast<CSkinButton*>(wnd)) {
            button->m_bHover = look == Look::Hover;
            if (look == Look::Pressed) button->SendMessage(BM_SETSTATE, TRUE);
        } else if (auto* bar = dynamic_cast<CSkinScrollBar*>(wnd); bar && bar->IsWindowVisible()) {
            const RECT thumb = bar->GetPartRect(pw::skin::kPartThumb);
            const LPARAM at = MAKELPARAM((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
            if (look == Look::Hover) bar->SendMessage(WM_MOUSEMOVE, 0, at);
            if (look == Look::Pressed) bar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        }
        wnd->Invalidate();
    }
}

bool SaveBmp(const std::wstring& path, HBITMAP bitmap, int width, int height) {
    pwtest::Bmp24 bmp(width, height);
    const fw::WindowDc screen = fw::WindowDc::Whole(nullptr);
    return bmp.ReadFrom(screen.get(), bitmap) && bmp.Save(path);
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

HWND CreateHost(ui::Size size) {
    return CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"", WS_POPUP, 0, 0, size.cx, size.cy, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Shows the opened window (and its host) without activation, puts it in the look and saves its picture.
bool Picture(HWND host, HWND window, Look look, const std::wstring& file) {
    const UINT show = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW;
    if (host) SetWindowPos(host, HWND_TOP, 0, 0, 0, 0, show);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, show);
    fw::PumpPending();
    ForceLook(host ? host : window, look);
    RedrawWindow(host ? host : window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    fw::PumpPending();
    GdiFlush();
    const bool ok = Capture(host ? host : window, host ? host : window, file);
    if (GetCapture()) ReleaseCapture();
    return ok;
}

// Opens one table template in one look and layout, saves its picture and closes it.
bool Shoot(const ui::Dialog& d, Look look, const std::wstring& file) {
    GalleryDialog dialog(d, look);
    HWND host = (d.flags & ui::kChild) ? CreateHost(ui::PixelSize(d)) : nullptr;
    if ((d.flags & ui::kChild) && !host) return false;
    bool ok = dialog.Create(host);
    if (ok) {
        const RECT r = dialog.GetWindowRect();
        if (host) MoveWindow(host, 0, 0, r.right - r.left, r.bottom - r.top, FALSE);
        ok = Picture(host, dialog.m_hWnd, look, file);
        dialog.DestroyWindow();
    }
    if (host) DestroyWindow(host);
    fw::PumpPending();
    return ok;
}

bool Shoot(const gallery::Scene& scene, Look look, const std::wstring& file) {
    HWND host = scene.host.cx > 0 ? CreateHost(scene.host) : nullptr;
    if (scene.host.cx > 0 && !host) return false;
    bool ok = false;
    {
        gallery::SceneShot shot = scene.open(host);
        if (shot.window) ok = Picture(host, shot.window, look, file);
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

    const std::wstring languageFile = programDir + L"\\lan\\pairwright.ini";
    int failures = 0, shots = 0;
    for (const bool arabic : {false, true}) {
        // Skinned windows open .\\ui\\ files; the right-to-left renderings lie in lan\\Arabic\\ui.
        SetCurrentDirectoryW((programDir + (arabic ? L"\\lan\\Arabic" : L"")).c_str());
        UseLanguage(languageFile, arabic ? L"Arabic" : L"English");
        const auto note = [&](bool ok, const std::wstring& name) {
            if (ok) {
                ++shots;
            } else {
                ++failures;
                std::fwprintf(stderr, L"pw_gallery: could not open or capture %ls\n", name.c_str());
            }
        };
        const std::wstring layout = arabic ? L"-rtl-" : L"-ltr-";
        for (const ui::Dialog& d : ui::Dialogs()) {
            const bool shown = std::any_of(gallery::Scenes().begin(), gallery::Scenes().end(),
                                           [&](const gallery::Scene& s) { return s.templateId == d.id; });
            if (!d.Skinned() || shown) continue;
            for (const Look look : kLooks) {
                const std::wstring name =
                    Lower(Widen(d.symbol)) + layout + kLookNames[static_cast<int>(look)];
                note(Shoot(d, look, outputDir + L"\\" + name + L".bmp"), name);
            }
        }
        for (const gallery::Scene& scene : gallery::Scenes()) {
            for (const Look look : kLooks) {
                const std::wstring name = scene.name + layout + kLookNames[static_cast<int>(look)];
                note(Shoot(scene, look, outputDir + L"\\" + name + L".bmp"), name);
            }
        }
    }
    std::printf("pw_gallery: %d pictures, %d failures\n", shots, failures);
    return failures == 0 ? 0 : 1;
}
