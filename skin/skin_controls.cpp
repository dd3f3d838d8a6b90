#include "skin/skin_controls.h"

#include <windowsx.h>

using namespace pw::gdip;
using pw::skin::ControlLook;
using pw::skin::ControlState;
using pw::skin::SkinControlType;
using pw::skin::TextColorRole;

template <class T> CSkinControl<T>::CSkinControl() {
    GpStringFormat* format = nullptr;
    if (GdipCreateStringFormat(0, LANG_NEUTRAL, &format) == Ok) m_format.reset(format);
}

template <class T> CSkinControl<T>::~CSkinControl() = default;

template <class T> void CSkinControl<T>::SetAlign(int flags) {
    m_nAlign = flags;
    if (!m_format) return;
    const auto alignment = pw::skin::AlignmentFor(flags);
    const auto native = [](pw::skin::StringAlign a) {
        return a == pw::skin::StringAlign::Center ? StringAlignmentCenter
               : a == pw::skin::StringAlign::Far  ? StringAlignmentFar
                                                  : StringAlignmentNear;
    };
    if (alignment.horizontal != pw::skin::StringAlign::Unchanged)
        GdipSetStringFormatAlign(m_format.get(), native(alignment.horizontal));
    if (alignment.vertical != pw::skin::StringAlign::Unchanged)
        GdipSetStringFormatLineAlign(m_format.get(), native(alignment.vertical));
}

template <class T> CSkinDialog* CSkinControl<T>::GetSkinDialog() {
    return dynamic_cast<CSkinDialog*>(CWnd::FromHandle(::GetParent(this->m_hWnd)));
}

template <class T> int CSkinControl<T>::IndexField(SkinImageKind kind) const {
    switch (kind) {
    case SkinImageKind::Normal: return m_nNormalIndex;
    case SkinImageKind::Disable: return m_nDisableIndex;
    case SkinImageKind::CheckedDisable: return m_nCheckedDisableIndex;
    case SkinImageKind::Hover: return m_nHoverIndex;
    case SkinImageKind::CheckedHover: return m_nCheckedHoverIndex;
    case SkinImageKind::Selected: return m_nSelectedIndex;
    }
    return 0;
}

template <class T> std::unique_ptr<CSkinImage> CSkinControl<T>::GetStateImage(SkinImageKind kind) {
    CSkinDialog* dialog = GetSkinDialog();
    if (!dialog || !this->m_hWnd) return nullptr;
    const RECT r = this->GetRectIn(dialog->m_hWnd);
    const int index = pw::skin::ImageIndex(kind, IndexField(kind), dialog->GetBackgroundIndex());
    const CSkinImage* rendering = index < 0 ? nullptr : dialog->Image(kind, static_cast<size_t>(index));
    if (!rendering) return nullptr;
    auto image = rendering->CloneArea(r.left, r.top, r.right - r.left, r.bottom - r.top);
    return image->IsValid() ? std::move(image) : nullptr;
}

template <class T> Gdiplus::ARGB CSkinControl<T>::TextColor(TextColorRole role) const {
    switch (role) {
    case TextColorRole::Normal: return m_clrText;
    case TextColorRole::Disable: return m_clrTextDisable;
    case TextColorRole::Hover: return m_clrTextHover;
    }
    return m_clrText;
}

template <class T>
void CSkinControl<T>::DrawLook(const DRAWITEMSTRUCT& item, const ControlLook& look, int textIndent) {
    const auto image = GetStateImage(look.image);
    const GraphicsPtr graphics = GraphicsFromHdc(item.hDC);
    if (!graphics) return;
    const RECT& r = item.rcItem;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (image) GdipDrawImageRectI(graphics.get(), image->NativeImage(), r.left, r.top, width, height);

    const std::wstring text = this->GetWindowText();
    if (text.empty() || width <= textIndent) return;

    GpFontFamily* rawFamily = nullptr;
    GdipCreateFontFamilyFromName(m_strFontName.c_str(), nullptr, &rawFamily);
    const FontFamilyPtr family(rawFamily);
    if (!family) return;
    GpFont* rawFont = nullptr;
    GdipCreateFont(family.get(), m_fFontSize, m_nFontStyle, UnitPixel, &rawFont);
    const FontPtr font(rawFont);
    GpSolidFill* rawBrush = nullptr;
    GdipCreateSolidFill(TextColor(look.color), &rawBrush);
    const BrushPtr brush(rawBrush);
    if (!font || !brush || !m_format) return;
    // Once set, right-to-left stays on the format.
    if (this->GetExStyle() & WS_EX_RTLREADING)
        GdipSetStringFormatFlags(m_format.get(), StringFormatFlagsDirectionRightToLeft);
    const RectF layout(static_cast<REAL>(r.left + textIndent), static_cast<REAL>(r.top),
                       static_cast<REAL>(width - textIndent), static_cast<REAL>(height));
    GdipDrawString(graphics.get(), text.c_str(), -1, font.get(), &layout, m_format.get(), brush.get());
}

template <class T> void CSkinControl<T>::PreSubclassWindow() {
    // A window being created gets its setup at WM_CREATE, once creation has succeeded.
    if (!m_bInit && !CWnd::WindowBeingCreated()) {
        m_bInit = TRUE;
        OnInitControl();
    }
    T::PreSubclassWindow();
}

template <class T> LRESULT CSkinControl<T>::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(wParam, lParam);
    case WM_DESTROY: return OnDestroy(wParam, lParam);
    case WM_ERASEBKGND: return TRUE;
    case WM_LBUTTONDBLCLK: return OnLButtonDblClk(wParam, lParam);
    case WM_MOUSEMOVE: return OnMouseMove(wParam, lParam);
    case WM_TIMER: return OnTimer(wParam, lParam);
    }
    return T::WindowProc(message, wParam, lParam);
}

template <class T> LRESULT CSkinControl<T>::OnCreate(WPARAM wParam, LPARAM lParam) {
    if (T::WindowProc(WM_CREATE, wParam, lParam) == -1) return -1;
    if (!m_bInit) {
        m_bInit = TRUE;
        OnInitControl();
    }
    return 0;
}

template <class T> LRESULT CSkinControl<T>::OnDestroy(WPARAM wParam, LPARAM lParam) {
    if (m_bHover && m_bTrackHover) this->KillTimer(m_nTimerId);
    // A control bound again to a new window starts without hover: no timer would ever clear it.
    m_bHover = FALSE;
    m_bInit = FALSE;
    return T::WindowProc(WM_DESTROY, wParam, lParam);
}

template <class T> LRESULT CSkinControl<T>::OnLButtonDblClk(WPARAM wParam, LPARAM lParam) {
    // The second click of a double click presses the control again.
    this->PostMessage(WM_LBUTTONDOWN, 0, lParam);
    return T::WindowProc(WM_LBUTTONDBLCLK, wParam, lParam);
}

template <class T> bool CSkinControl<T>::CursorInside() const {
    const DWORD pos = GetMessagePos();
    const POINT point{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
    const RECT rect = this->GetWindowRect();
    return PtInRect(&rect, point) != FALSE;
}

template <class T> LRESULT CSkinControl<T>::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (CursorInside() && !m_bHover && m_bTrackHover) {
        m_bHover = TRUE;
        OnHoverChanged(TRUE);
        this->Invalidate(true);
        this->SetTimer(m_nTimerId, m_nTimerElapse);
    }
    return T::WindowProc(WM_MOUSEMOVE, wParam, lParam);
}

template <class T> LRESULT CSkinControl<T>::OnTimer(WPARAM wParam, LPARAM lParam) {
    // The hover poll is the control's only timer.
    if (!CursorInside() && m_bHover) {
        m_bHover = FALSE;
        OnHoverChanged(FALSE);
        this->KillTimer(m_nTimerId);
        this->Invalidate(true);
    }
    return T::WindowProc(WM_TIMER, wParam, lParam);
}

template class CSkinControl<CButton>;
template class CSkinControl<CStatic>;

void CSkinButton::DrawItem(const DRAWITEMSTRUCT& item) {
    const ControlState state{.disabled = (item.itemState & ODS_DISABLED) != 0,
                             .pressed = (item.itemState & ODS_SELECTED) != 0,
                             .hovered = m_bHover != FALSE};
    DrawLook(item, pw::skin::ChooseLook(SkinControlType::Button, state));
}

void CSkinButton::OnInitControl() {
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
    SetAlign(pw::skin::kAlignCenter | pw::skin::kAlignVCenter);
}

void CSkinCheckBox::DrawItem(const DRAWITEMSTRUCT& item) {
    const ControlState state{.disabled = (item.itemState & ODS_DISABLED) != 0,
                             .hovered = m_bHover != FALSE,
                             .checked = m_nCheck != 0};
    DrawLook(item, pw::skin::ChooseLook(SkinControlType::CheckBox, state), m_nTextIndent);
}

void CSkinCheckBox::OnInitControl() {
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW | BS_NOTIFY);
}

LRESULT CSkinCheckBox::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case BM_GETCHECK: return m_nCheck;
    case BM_SETCHECK:
        // An owner-drawn button does not repaint for a new check state by itself.
        if (m_nCheck != static_cast<int>(wParam) && m_hWnd) Invalidate(false);
        m_nCheck = static_cast<int>(wParam);
        break;
    }
    return CSkinControl<CButton>::DefWindowProc(message, wParam, lParam);
}

bool CSkinCheckBox::OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        m_nCheck = m_nCheck == 0 ? 1 : 0;
        Invalidate(false);
        return false;
    }
    return CSkinControl<CButton>::OnReflectedMessage(message, wParam, lParam, result);
}

void CSkinStatic::DrawItem(const DRAWITEMSTRUCT& item) {
    const ControlState state{.disabled = !IsWindowEnabled()};
    DrawLook(item, pw::skin::ChooseLook(SkinControlType::Static, state));
}

void CSkinStatic::OnInitControl() {
    // Replacing the type bits: SS_RIGHT plus SS_OWNERDRAW would read as SS_ENHMETAFILE.
    ModifyStyle(SS_TYPEMASK, SS_OWNERDRAW);
}
