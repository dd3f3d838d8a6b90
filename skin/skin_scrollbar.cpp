#include "skin/skin_scrollbar.h"

#include <windowsx.h>

#include <commctrl.h>

using namespace pw::gdip;
namespace sk = pw::skin;

namespace {

// Page areas and the thumb's middle are stretched with mirrored tiling, so their edges do not fade.
ImageAttributesPtr TilingAttributes() {
    GpImageAttributes* attributes = nullptr;
    if (GdipCreateImageAttributes(&attributes) != Ok) return nullptr;
    ImageAttributesPtr owned(attributes);
    GdipSetImageAttributesWrapMode(attributes, WrapModeTileFlipXY, 0xFF000000, FALSE);
    return owned;
}

void DrawStretched(GpGraphics* g, const CSkinImage& cell, const sk::PartRect& to, int sx, int sy, int sw,
                   int sh, bool tiled) {
    if (to.Width() <= 0 || to.Height() <= 0 || sw <= 0 || sh <= 0) return;
    const ImageAttributesPtr attributes = tiled ? TilingAttributes() : nullptr;
    GdipDrawImageRectRectI(g, cell.NativeImage(), to.left, to.top, to.Width(), to.Height(), sx, sy, sw, sh,
                           UnitPixel, attributes.get(), nullptr, nullptr);
}

} // namespace

CSkinScrollBar::CSkinScrollBar() {
    m_info.cbSize = sizeof m_info;
}

CSkinScrollBar::~CSkinScrollBar() = default;

void CSkinScrollBar::LoadSkin() {
    if (!m_image) m_image = CSkinImage::Shared(m_strSkinFile);
    const auto cells = sk::CellsOf(m_image->Width(), m_image->Height());
    m_nThickness = cells.thickness;
    m_nArrowSize = cells.arrow;
}

void CSkinScrollBar::PreSubclassWindow() {
    LoadSkin();
    // A bar bound at its final size never sees a WM_SIZE.
    const RECT client = GetClientRect();
    m_nLength = IsHorizontal() ? client.right - client.left : client.bottom - client.top;
    CScrollBar::PreSubclassWindow();
}

void CSkinScrollBar::FitToSkin() {
    if (!m_hWnd) return;
    const RECT r = GetRectIn(nullptr);
    if (IsHorizontal())
        MoveWindow(r.left, r.top, r.right - r.left, m_nThickness, true);
    else
        MoveWindow(r.left, r.top, m_nThickness, r.bottom - r.top, true);
}

sk::ScrollState CSkinScrollBar::State() const {
    return {m_info.nMin, m_info.nMax, m_info.nPage, m_info.nPos, m_info.nTrackPos};
}

void CSkinScrollBar::RecalcLayout() {
    m_layout = sk::LayoutScrollBar(State(), m_nLength, m_nArrowSize, m_nThickness, IsHorizontal());
}

int CSkinScrollBar::HitTest(POINT point) const {
    return sk::HitTest(m_layout, point.x, point.y);
}

RECT CSkinScrollBar::GetPartRect(int part) const {
    const sk::PartRect* r = m_layout.Rect(part);
    return r ? RECT{r->left, r->top, r->right, r->bottom} : RECT{};
}

LRESULT CSkinScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case SBM_SETSCROLLINFO: return OnSetScrollInfo(wParam, lParam);
    case SBM_GETSCROLLINFO: return OnGetScrollInfo(lParam);
    case WM_CREATE: return OnCreate(wParam, lParam);
    case WM_PAINT: return OnPaint();
    case WM_LBUTTONDOWN: return OnLButtonDown(lParam);
    case WM_LBUTTONUP: return OnLButtonUp();
    case WM_LBUTTONDBLCLK: return OnLButtonDblClk(lParam);
    case WM_MOUSEMOVE: return OnMouseMove(lParam);
    case WM_MOUSELEAVE: return OnMouseLeave();
    case WM_CAPTURECHANGED: return OnCaptureChanged(lParam);
    case WM_TIMER: return OnTimer(wParam, lParam);
    case WM_SIZE: return OnSize(wParam, lParam);
    case WM_ENABLE: return OnEnable(wParam, lParam);
    }
    return CScrollBar::WindowProc(message, wParam, lParam);
}

LRESULT CSkinScrollBar::OnCreate(WPARAM wParam, LPARAM lParam) {
    if (CScrollBar::WindowProc(WM_CREATE, wParam, lParam) == -1) return -1;
    LoadSkin();
    return 0;
}

LRESULT CSkinScrollBar::OnSize(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = CScrollBar::WindowProc(WM_SIZE, wParam, lParam);
    m_nLength = IsHorizontal() ? LOWORD(lParam) : HIWORD(lParam);
    return result;
}

LRESULT CSkinScrollBar::OnEnable(WPARAM, LPARAM) {
    // The system bar would paint its own look here; the disabled row is ours to draw.
    Invalidate(false);
    return 0;
}

LRESULT CSkinScrollBar::OnSetScrollInfo(WPARAM redraw, LPARAM lParam) {
    const auto* info = reinterpret_cast<const SCROLLINFO*>(lParam);
    if (!info) return FALSE;
    if (info->fMask & SIF_PAGE) m_info.nPage = info->nPage;
    if (info->fMask & SIF_POS) m_info.nPos = info->nPos;
    if (info->fMask & SIF_RANGE) {
        m_info.nMin = info->nMin;
        m_info.nMax = info->nMax;
    }
    if (redraw) {
        RecalcLayout();
        if (IsWindowEnabled()) {
            const auto row = [this](int part) {
                return m_nPressedPart == part ? sk::kRowPressed : sk::kRowNormal;
            };
            DrawPart(sk::kPartPageBefore, row(sk::kPartPageBefore));
            DrawThumb(row(sk::kPartThumb));
            DrawPart(sk::kPartPageAfter, row(sk::kPartPageAfter));
        } else {
            DrawPart(sk::kPartPageBefore, sk::kRowDisabled);
            DrawThumb(sk::kRowDisabled);
            DrawPart(sk::kPartPageAfter, sk::kRowDisabled);
        }
    }
    return TRUE;
}

LRESULT CSkinScrollBar::OnGetScrollInfo(LPARAM lParam) {
    auto* info = reinterpret_cast<SCROLLINFO*>(lParam);
    if (!info) return FALSE;
    if (info->fMask & SIF_PAGE) info->nPage = m_info.nPage;
    if (info->fMask & SIF_POS) info->nPos = m_info.nPos;
    if (info->fMask & SIF_TRACKPOS) info->nTrackPos = m_info.nTrackPos;
    if (info->fMask & SIF_RANGE) {
        info->nMin = m_info.nMin;
        info->nMax = m_info.nMax;
    }
    return TRUE;
}

std::unique_ptr<CSkinImage> CSkinScrollBar::Cell(int column, int row) const {
    if (!m_image || m_nThickness <= 0 || m_nArrowSize <= 0) return nullptr;
    auto cell = m_image->CloneArea(column * m_nThickness, row * m_nArrowSize, m_nThickness, m_nArrowSize);
    if (!cell->IsValid()) return nullptr;
    if (IsHorizontal()) cell->RotateFlip(Rotate270FlipNone);
    return cell;
}

void CSkinScrollBar::DrawPart(GpGraphics* g, int part, int row) {
    if (part == sk::kPartThumb) return DrawThumb(g, row);
    const sk::PartRect* rect = m_layout.Rect(part);
    if (!g || !rect || rect->Width() <= 0 || rect->Height() <= 0) return;
    const bool arrow = part == sk::kPartUp || part == sk::kPartDown;
    const int column = part == sk::kPartUp     ? sk::kColumnUp
                       : part == sk::kPartDown ? sk::kColumnDown
                                               : sk::kColumnTrack;
    const auto cell = Cell(column, row);
    if (!cell) return;
    DrawStretched(g, *cell, *rect, 0, 0, cell->Width(), cell->Height(), !arrow);
}

void CSkinScrollBar::DrawThumb(GpGraphics* g, int row) {
    const sk::PartRect& r = m_layout.thumb;
    if (!g || m_layout.thumbLength <= 0 || r.Width() <= 0 || r.Height() <= 0) return;
    const auto cell = Cell(sk::kColumnThumb, row);
    if (!cell) return;
    const int cap = sk::kThumbCap;
    const int c = m_nArrowSize;
    const int T = m_nThickness;
    if (c < 2 * cap) return DrawStretched(g, *cell, r, 0, 0, cell->Width(), cell->Height(), true);
    // Caps are drawn pixel for pixel (source size = destination size), the middle stretched between them.
    // The middle is cut out on its own, so its tiled edges mirror the middle itself; it is drawn first,
    // one pixel into the first cap, which then covers that pixel: a renderer that starts a stretched
    // picture one pixel late (Wine's GDI+ does) leaves no gap.
    const bool vertical = !IsHorizontal();
    const auto middle =
        vertical ? cell->CloneArea(0, cap, T, c - 2 * cap) : cell->CloneArea(cap, 0, c - 2 * cap, T);
    if (vertical) {
        if (middle->IsValid())
            DrawStretched(g, *middle, {r.left, r.top + cap - 1, r.right, r.bottom - cap}, 0, 0, T,
                          c - 2 * cap, true);
        DrawStretched(g, *cell, {r.left, r.top, r.left + T, r.top + cap}, 0, 0, T, cap, false);
        DrawStretched(g, *cell, {r.left, r.bottom - cap, r.left + T, r.bottom}, 0, c - cap, T, cap, false);
    } else {
        if (middle->IsValid())
            DrawStretched(g, *middle, {r.left + cap - 1, r.top, r.right - cap, r.bottom}, 0, 0, c - 2 * cap,
                          T, true);
        DrawStretched(g, *cell, {r.left, r.top, r.left + cap, r.top + T}, 0, 0, cap, T, false);
        DrawStretched(g, *cell, {r.right - cap, r.top, r.right, r.top + T}, c - cap, 0, cap, T, false);
    }
}

void CSkinScrollBar::DrawPart(int part, int row) {
    const GraphicsPtr g = GraphicsFromHwnd(m_hWnd);
    DrawPart(g.get(), part, row);
}

void CSkinScrollBar::DrawThumb(int row) {
    const GraphicsPtr g = GraphicsFromHwnd(m_hWnd);
    DrawThumb(g.get(), row);
}

void CSkinScrollBar::RedrawLook(int part, int row) {
    if (part == sk::kPartThumb)
        DrawThumb(row);
    else
        DrawPart(part, row);
}

LRESULT CSkinScrollBar::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    RecalcLayout();
    const int row = IsWindowEnabled() ? sk::kRowNormal : sk::kRowDisabled;
    {
        const GraphicsPtr g = GraphicsFromHdc(dc);
        for (int part : {sk::kPartUp, sk::kPartPageBefore, sk::kPartThumb, sk::kPartPageAfter, sk::kPartDown})
            DrawPart(g.get(), part, row);
    }
    EndPaint(m_hWnd, &paint);
    return 0;
}

void CSkinScrollBar::Notify(int code, int trackPos) {
    HWND parent = ::GetParent(m_hWnd);
    if (!parent) return;
    const WORD high = code == SB_THUMBTRACK ? static_cast<WORD>(trackPos & 0xFFFF) : 0;
    ::SendMessageW(parent, IsHorizontal() ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(code, high),
                   reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CSkinScrollBar::OnLButtonDown(LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    SetCapture(m_hWnd);
    RecalcLayout();
    const int part = HitTest(point);
    if (part == sk::kPartThumb) {
        m_ptDragStart = point;
        m_info.nTrackPos = m_nDragStartPos = m_info.nPos;
        m_bDragging = TRUE;
        m_nPressedPart = sk::kPartThumb;
        DrawThumb(sk::kRowPressed);
        return 0;
    }
    m_nPressedPart = part;
    if (part == sk::kPartNone) return 0;
    Notify(part);
    if (part == sk::kPartUp || part == sk::kPartDown) DrawPart(part, sk::kRowPressed);
    SetTimer(sk::kRepeatDelayTimer, sk::kRepeatDelayMs);
    return 0;
}

void CSkinScrollBar::EndPress() {
    if (m_bDragging) {
        m_bDragging = FALSE;
        DrawThumb(sk::kRowNormal);
    } else if (m_nPressedPart != sk::kPartNone) {
        KillTimer(sk::kRepeatDelayTimer);
        KillTimer(sk::kRepeatTimer);
        DrawPart(m_nPressedPart, sk::kRowNormal);
    }
    m_nPressedPart = sk::kPartNone;
    m_nHotPart = sk::kPartNone;
}

LRESULT CSkinScrollBar::OnLButtonUp() {
    // Releasing the capture ends the press through WM_CAPTURECHANGED; EndPress covers a bar that
    // had no capture.
    if (GetCapture() == m_hWnd) ReleaseCapture();
    EndPress();
    return 0;
}

LRESULT CSkinScrollBar::OnCaptureChanged(LPARAM lParam) {
    // Losing the capture mid-press (another window took it) must not leave a drag or repeat running.
    if (reinterpret_cast<HWND>(lParam) != m_hWnd) EndPress();
    return 0;
}

LRESULT CSkinScrollBar::OnLButtonDblClk(LPARAM lParam) {
    OnLButtonDown(lParam);
    return OnLButtonUp();
}

LRESULT CSkinScrollBar::OnMouseMove(LPARAM lParam) {
    if (!m_bLeaveArmed) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 100};
        m_bLeaveArmed = _TrackMouseEvent(&track);
    }
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (m_bDragging) {
        const int delta = IsHorizontal() ? point.x - m_ptDragStart.x : point.y - m_ptDragStart.y;
        const int pos = sk::DragPosition(State(), m_nLength, m_nArrowSize, m_nDragStartPos, delta);
        if (pos != m_info.nTrackPos) {
            m_info.nTrackPos = pos;
            Notify(SB_THUMBTRACK, pos);
        }
        return 0;
    }
    if (m_nPressedPart != sk::kPartNone) return 0;
    const int part = HitTest(point);
    if (part == sk::kPartNone || part == m_nHotPart) return 0;
    if (m_nHotPart != sk::kPartNone) RedrawLook(m_nHotPart, sk::kRowNormal);
    RedrawLook(part, sk::kRowHover);
    m_nHotPart = part;
    return 0;
}

LRESULT CSkinScrollBar::OnMouseLeave() {
    m_bLeaveArmed = FALSE;
    if (m_nHotPart != sk::kPartNone) RedrawLook(m_nHotPart, sk::kRowNormal);
    m_nHotPart = sk::kPartNone;
    return 0;
}

LRESULT CSkinScrollBar::OnTimer(WPARAM id, LPARAM lParam) {
    if (id != sk::kRepeatDelayTimer && id != sk::kRepeatTimer)
        return CScrollBar::WindowProc(WM_TIMER, id, lParam);
    const auto change = sk::OnRepeatTimer(static_cast<unsigned>(id));
    if (change.kill) KillTimer(change.kill);
    if (change.start) SetTimer(change.start, change.elapse);
    RepeatStep();
    return 0;
}

void CSkinScrollBar::RepeatStep() {
    bool cursorInThumb = false;
    if (m_nPressedPart == sk::kPartPageBefore || m_nPressedPart == sk::kPartPageAfter) {
        POINT cursor{};
        GetCursorPos(&cursor);
        ScreenToClient(m_hWnd, &cursor);
        RecalcLayout();
        cursorInThumb = m_layout.thumb.Contains(cursor.x, cursor.y);
    }
    if (sk::RepeatStops(m_nPressedPart, State(), cursorInThumb)) {
        KillTimer(sk::kRepeatTimer);
        return;
    }
    Notify(m_nPressedPart);
}
