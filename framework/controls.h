// The standard controls the program uses. Owner-drawn controls receive their WM_DRAWITEM through
// reflection from the parent (CWnd::OnReflectedMessage) as a call to DrawItem.
#pragma once

#include "framework/wnd.h"

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0)); }
    void SetCheck(int state) { ::SendMessageW(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(state), 0); }
    virtual void DrawItem(const DRAWITEMSTRUCT& item);
    bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

class CStatic : public CWnd {
public:
    HBITMAP SetBitmap(HBITMAP bitmap) {
        return reinterpret_cast<HBITMAP>(
            ::SendMessageW(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    }
    virtual void DrawItem(const DRAWITEMSTRUCT& item);
    bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

class CScrollBar : public CWnd {
public:
    bool SetScrollInfo(SCROLLINFO& info, bool redraw = true) {
        info.cbSize = sizeof info;
        return ::SendMessageW(m_hWnd, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(&info)) != 0;
    }
    bool GetScrollInfo(SCROLLINFO& info, UINT mask = SIF_ALL) {
        info.cbSize = sizeof info;
        info.fMask = mask;
        return ::SendMessageW(m_hWnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info)) != 0;
    }
    void SetScrollRange(int minimum, int maximum, bool redraw = true) {
        SCROLLINFO info{};
        info.fMask = SIF_RANGE;
        info.nMin = minimum;
        info.nMax = maximum;
        SetScrollInfo(info, redraw);
    }
    void SetScrollPos(int position, bool redraw = true) {
        SCROLLINFO info{};
        info.fMask = SIF_POS;
        info.nPos = position;
        SetScrollInfo(info, redraw);
    }
};
