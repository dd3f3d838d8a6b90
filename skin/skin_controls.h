// Owner-drawn buttons, check box and static texts of a skinned dialog. A control keeps no pictures
// of its own: in each state it copies the rectangle it occupies out of its dialog's rendering for that
// state and draws its text on top with GDI+.
#pragma once

#include "framework/controls.h"
#include "skin/gdiplus_util.h"
#include "skin/skin_dialog.h"
#include "skin/skin_geometry.h"
#include "skin/skin_image.h"

#include <memory>
#include <string>

template <class T> class CSkinControl : public T {
public:
    CSkinControl();
    ~CSkinControl() override;

    // 1 centre, 4 vertical centre, 8 bottom (wins over 4); other bits have no effect.
    void SetAlign(int flags);
    // The part of the dialog's rendering of `kind` under the control, or nullptr when there is none.
    std::unique_ptr<CSkinImage> GetStateImage(SkinImageKind kind);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PreSubclassWindow() override;

    // One-time setup once the control has a window (bound or created).
    virtual void OnInitControl() {}
    virtual void OnHoverChanged(BOOL /*hover*/) {}
    // The dialog whose renderings the control draws from: its parent, when that is a skinned dialog.
    virtual CSkinDialog* GetSkinDialog();

    BOOL m_bInit = FALSE;
    Gdiplus::ARGB m_clrText = 0xFF000000;
    Gdiplus::ARGB m_clrTextDisable = 0xFFC0C0C0;
    Gdiplus::ARGB m_clrTextHover = 0xFFFFFFFF;
    int m_nNormalIndex = 0;
    int m_nDisableIndex = 0;
    int m_nCheckedDisableIndex = 0;
    int m_nHoverIndex = 0;
    int m_nCheckedHoverIndex = 0;
    int m_nSelectedIndex = 0;
    int m_nAlign = 0;
    pw::gdip::StringFormatPtr m_format;
    std::wstring m_strFontName = L"Tahoma";
    float m_fFontSize = 12.0f;
    int m_nFontStyle = 0;
    BOOL m_bHover = FALSE;
    BOOL m_bTrackHover = TRUE;
    UINT_PTR m_nTimerId = 1;
    UINT m_nTimerElapse = 20;

protected:
    // The picture of the look's image kind, then the window text in the look's colour, starting
    // `textIndent` pixels from the left (no text when the item is not wider than the indent).
    void DrawLook(const DRAWITEMSTRUCT& item, const pw::skin::ControlLook& look, int textIndent = 0);
    Gdiplus::ARGB TextColor(pw::skin::TextColorRole role) const;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    int IndexField(SkinImageKind kind) const;
    bool CursorInside() const;
};

extern template class CSkinControl<CButton>;
extern template class CSkinControl<CStatic>;

class CSkinButton : public CSkinControl<CButton> {
public:
    CSkinButton() { m_clrText = 0xFFFFFFFF; }
    void DrawItem(const DRAWITEMSTRUCT& item) override;
    // Owner-drawn, text centred both ways whatever the constructor set.
    void OnInitControl() override;
};

class CSkinCheckBox : public CSkinControl<CButton> {
public:
    void DrawItem(const DRAWITEMSTRUCT& item) override;
    void OnInitControl() override;
    // BM_GETCHECK and BM_SETCHECK read and write m_nCheck, not the system's button state.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The click toggles m_nCheck before the parent sees BN_CLICKED, which it still does.
    bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    int m_nCheck = 0;
    int m_nTextIndent = 20;
};

class CSkinStatic : public CSkinControl<CStatic> {
public:
    void DrawItem(const DRAWITEMSTRUCT& item) override;
    void OnInitControl() override;
};
