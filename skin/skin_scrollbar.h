// A scroll bar drawn from one small image, a 4 x 4 grid of cells (columns: up arrow, down arrow,
// thumb, track; rows: normal, disabled, hover, pressed). It keeps its own scroll information, so the
// owner drives it with SetScrollInfo/GetScrollInfo and hears from it through WM_VSCROLL/WM_HSCROLL.
#pragma once

#include "framework/controls.h"
#include "skin/gdiplus_util.h"
#include "skin/skin_geometry.h"
#include "skin/skin_image.h"

#include <string>

class CSkinScrollBar : public CScrollBar {
public:
    CSkinScrollBar();
    ~CSkinScrollBar() override;

    // The cell grid file; call before the bar gets its window.
    void SetSkinFile(const std::wstring& path) { m_strSkinFile = path; }
    // Decodes the skin unless an image is already set, and takes thickness and arrow length from it.
    virtual void LoadSkin();
    // Sets the bar's thickness to the skin's, keeping its top-left corner.
    void FitToSkin();
    // An image to use instead of the skin file; call before the bar gets its window.
    void SetImage(const BitmapPtr& image) { m_image = image; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PreSubclassWindow() override;

    int HitTest(POINT point) const;
    RECT GetPartRect(int part) const;
    bool IsHorizontal() const { return (GetStyle() & SBS_VERT) == 0; }
    int GetHotPart() const { return m_nHotPart; }
    int GetPressedPart() const { return m_nPressedPart; }
    bool IsDragging() const { return m_bDragging != FALSE; }
    int GetThickness() const { return m_nThickness; }
    int GetArrowSize() const { return m_nArrowSize; }
    int GetLength() const { return m_nLength; }

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint();
    LRESULT OnLButtonDown(LPARAM lParam);
    LRESULT OnLButtonUp();
    LRESULT OnCaptureChanged(LPARAM lParam);
    void EndPress();
    LRESULT OnLButtonDblClk(LPARAM lParam);
    LRESULT OnMouseMove(LPARAM lParam);
    LRESULT OnMouseLeave();
    LRESULT OnTimer(WPARAM id, LPARAM lParam);
    LRESULT OnSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnEnable(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetScrollInfo(WPARAM redraw, LPARAM lParam);
    LRESULT OnGetScrollInfo(LPARAM lParam);

    void RecalcLayout();
    void RepeatStep();
    void Notify(int code, int trackPos = 0);
    // Cuts the cell (column, row) afresh, rotated for a horizontal bar; nullptr when there is none.
    std::unique_ptr<CSkinImage> Cell(int column, int row) const;
    void DrawPart(int part, int row);
    void DrawThumb(int row);
    void DrawPart(Gdiplus::GpGraphics* graphics, int part, int row);
    void DrawThumb(Gdiplus::GpGraphics* graphics, int row);
    void RedrawLook(int part, int row);
    pw::skin::ScrollState State() const;

    int m_nThickness = 0;
    int m_nLength = 0;
    int m_nArrowSize = 0;
    std::wstring m_strSkinFile;
    BitmapPtr m_image;
    SCROLLINFO m_info{};
    pw::skin::ScrollLayout m_layout;
    int m_nPressedPart = pw::skin::kPartNone;
    BOOL m_bDragging = FALSE;
    BOOL m_bLeaveArmed = FALSE;
    POINT m_ptDragStart{};
    int m_nDragStartPos = 0;
    int m_nHotPart = pw::skin::kPartNone;
};
