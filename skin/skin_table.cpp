#include "skin/skin_table.h"

#include "lang/multi_language.h"
#include "lang/text_format.h"

namespace pw::skin {
namespace {

template <class T> void ApplyTextLook(CSkinControl<T>& control, const ui::TextLook& look) {
    if (look.color) control.m_clrText = look.color;
    if (look.hoverColor) control.m_clrTextHover = look.hoverColor;
    if (look.fontSize > 0) control.m_fFontSize = look.fontSize;
    if (look.fontStyle) control.m_nFontStyle = look.fontStyle;
    if (look.align) control.SetAlign(look.align);
}

} // namespace

std::wstring UiPath(std::string_view file) {
    return L".\\ui\\" + std::wstring(file.begin(), file.end());
}

void ApplyLook(CSkinControl<CButton>& control, const ui::Control& entry) {
    ApplyTextLook(control, entry.look);
}

void ApplyLook(CSkinControl<CStatic>& control, const ui::Control& entry) {
    ApplyTextLook(control, entry.look);
}

void ApplyLook(CSkinBitmap& picture, const ui::Control& entry) {
    for (std::string_view file : entry.pictures)
        picture.AddImageFile(UiPath(file));
}

void ApplyLook(CSkinScrollBar& bar, const ui::Control& entry) {
    if (!entry.pictures.empty()) bar.SetSkinFile(UiPath(entry.pictures.front()));
}

void LayOut(HWND dialog, const ui::Dialog& entry, bool rightToLeft) {
    const auto place = [&](const ui::Control& c) {
        HWND control = GetDlgItem(dialog, c.id);
        if (!control || !c.HasLayout()) return;
        if (rightToLeft && !(c.flags & ui::kNoRtlReading)) {
            const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_EXSTYLE));
            SetWindowLongPtrW(control, GWL_EXSTYLE, static_cast<LONG_PTR>(style | WS_EX_RTLREADING));
        }
        const ui::Rect r = ui::PixelRect(c, rightToLeft);
        MoveWindow(control, r.x, r.y, r.cx, r.cy, TRUE);
    };
    if (entry.layoutOrder.empty()) {
        for (const ui::Control& c : entry.controls)
            place(c);
        return;
    }
    for (int id : entry.layoutOrder)
        if (const ui::Control* c = ui::FindControl(entry, id)) place(*c);
}

std::wstring TableText(const ui::Control& entry) {
    if (!entry.textKey) return {};
    const std::wstring text = CMultiLanguage::GetText(*entry.textKey, entry.textDefault);
    return entry.flags & ui::kLineBreaks ? ExpandLineFeeds(text) : text;
}

void ApplyTexts(HWND dialog, const ui::Dialog& entry) {
    for (const ui::Control& c : entry.controls) {
        if (!c.textKey || (c.flags & ui::kComposedText)) continue;
        SetDlgItemTextW(dialog, c.id, TableText(c).c_str());
    }
}

} // namespace pw::skin
