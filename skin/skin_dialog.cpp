#include "skin/skin_dialog.h"

#include "common/trace.h"
#include "lang/multi_language.h"
#include "skin/skin_table.h"

#include <algorithm>
#include <cstdio>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

constexpr Gdiplus::ARGB kOpaqueBlack = 0xFF000000;

// The window region made of the mask's runs, each one pixel high.
fw::UniqueRegion RegionFromRuns(const std::vector<pw::skin::MaskRun>& runs) {
    if (runs.empty()) return fw::UniqueRegion(CreateRectRgn(0, 0, 0, 0));
    std::vector<RECT> rects;
    rects.reserve(runs.size());
    RECT bounds{runs.front().left, runs.front().y, runs.front().right, runs.back().y + 1};
    for (const auto& run : runs) {
        rects.push_back(RECT{run.left, run.y, run.right, run.y + 1});
        bounds.left = std::min<LONG>(bounds.left, run.left);
        bounds.right = std::max<LONG>(bounds.right, run.right);
    }
    RGNDATAHEADER header{};
    header.dwSize = sizeof header;
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(rects.size());
    header.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    header.rcBound = bounds;
    std::vector<std::byte> buffer(sizeof header + header.nRgnSize);
    std::memcpy(buffer.data(), &header, sizeof header);
    std::memcpy(buffer.data() + sizeof header, rects.data(), header.nRgnSize);
    return fw::UniqueRegion(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()),
                                            reinterpret_cast<const RGNDATA*>(buffer.data())));
}

} // namespace

CSkinDialog::CSkinDialog(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_pEntry(pw::ui::FindDialog(static_cast<int>(templateId))) {
    if (m_pEntry) LoadSkin(*m_pEntry);
}

CSkinDialog::~CSkinDialog() = default;

void CSkinDialog::LoadSkin(const pw::ui::Dialog& entry) {
    namespace ui = pw::ui;
    const ui::SkinFiles& files = entry.skin;
    const bool twoLooks = (entry.flags & ui::kTwoLooks) != 0;
    const auto add = [&](SkinImageKind kind, std::string_view file, bool twice) {
        if (file.empty()) return;
        AddImage(kind, pw::skin::UiPath(file));
        if (twice) AddImage(kind, pw::skin::UiPath(file));
    };
    add(SkinImageKind::Normal, files.normal, false);
    // The second background of a two-look window is its pressed rendering.
    if (twoLooks) add(SkinImageKind::Normal, files.selected, false);
    add(SkinImageKind::Hover, files.hover, twoLooks);
    add(SkinImageKind::Selected, entry.flags & ui::kPressedIsNormal ? files.normal : files.selected,
        twoLooks);
    add(SkinImageKind::Disable, files.disable, false);
    add(SkinImageKind::CheckedHover, files.checkedHover, false);
    if (!files.mask.empty()) SetMaskImage(pw::skin::UiPath(files.mask));
    m_bDraggable = (entry.flags & ui::kDraggable) != 0;
}

const pw::ui::Control* CSkinDialog::ControlEntry(int id) const {
    return m_pEntry ? pw::ui::FindControl(*m_pEntry, id) : nullptr;
}

void CSkinDialog::AddControl(int id, CSkinControl<CButton>& control) {
    if (const auto* entry = ControlEntry(id)) pw::skin::ApplyLook(control, *entry);
    m_controls.emplace_back(id, &control);
}

void CSkinDialog::AddControl(int id, CSkinControl<CStatic>& control) {
    if (const auto* entry = ControlEntry(id)) pw::skin::ApplyLook(control, *entry);
    m_controls.emplace_back(id, &control);
}

void CSkinDialog::AddControl(int id, CSkinBitmap& control) {
    if (const auto* entry = ControlEntry(id)) pw::skin::ApplyLook(control, *entry);
    m_controls.emplace_back(id, &control);
}

void CSkinDialog::AddControl(int id, CSkinScrollBar& control) {
    if (const auto* entry = ControlEntry(id)) pw::skin::ApplyLook(control, *entry);
    m_controls.emplace_back(id, &control);
}

void CSkinDialog::DoDataExchange() {
    for (auto& [id, control] : m_controls)
        BindControl(id, *control);
}

void CSkinDialog::LayOutControls() {
    if (m_pEntry && m_hWnd) pw::skin::LayOut(m_hWnd, *m_pEntry, CMultiLanguage::IsRightToLeft());
}

void CSkinDialog::ApplyTableTexts() {
    if (m_pEntry && m_hWnd) pw::skin::ApplyTexts(m_hWnd, *m_pEntry);
}

void CSkinDialog::AddImage(SkinImageKind kind, const std::wstring& path) {
    m_images[static_cast<int>(kind)].push_back({path, nullptr});
}

void CSkinDialog::SetMaskImage(const std::wstring& path) {
    m_strMaskFile = path;
}

const BitmapPtr* CSkinDialog::Decoded(SkinImageKind kind, std::size_t index) {
    auto& list = m_images[static_cast<int>(kind)];
    if (index >= list.size()) return nullptr;
    ImageEntry& entry = list[index];
    if (!entry.image) entry.image = CSkinImage::Shared(entry.path);
    return &entry.image;
}

const CSkinImage* CSkinDialog::Image(SkinImageKind kind, std::size_t index) {
    const BitmapPtr* image = Decoded(kind, index);
    return image ? image->get() : nullptr;
}

void CSkinDialog::ReleaseImages() {
    m_hBackground = nullptr;
    m_background.reset();
    for (auto& list : m_images)
        for (ImageEntry& entry : list)
            entry.image.reset();
}

void CSkinDialog::SetBackground(int index) {
    if (index < 0) return;
    const BitmapPtr* image = Decoded(SkinImageKind::Normal, static_cast<std::size_t>(index));
    if (!image) return;
    m_nBackground = index;
    m_background = *image;
    m_hBackground = m_background->PatternBrush();
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CSkinDialog::ApplyMask() {
    if (!m_hWnd || m_strMaskFile.empty()) return;
    const BitmapPtr mask = CSkinImage::Shared(m_strMaskFile);
    if (!mask->IsValid()) return;
    const fw::UniqueBitmap bitmap = mask->ToHBitmap(kOpaqueBlack);
    if (!bitmap) return;
    BITMAP info{};
    if (!GetObjectW(bitmap.get(), sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return;
    const int width = info.bmWidth;
    const int height = info.bmHeight;

    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height; // top-down rows
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    {
        const fw::WindowDc dc = fw::WindowDc::Whole(m_hWnd);
        if (GetDIBits(dc.get(), bitmap.get(), 0, static_cast<UINT>(height), pixels.data(), &format,
                      DIB_RGB_COLORS) != height)
            return;
    }
    fw::UniqueRegion region = RegionFromRuns(pw::skin::MaskRowRuns(pixels, width, height));
    if (!region) return;

    MoveWindow(0, 0, width, height, true);
    // From here on the window owns the region.
    if (SetWindowRgn(m_hWnd, region.get(), TRUE)) region.release();
}

BOOL CSkinDialog::OnInitDialog() {
    SetBackground(0);
    ApplyMask();
    CDialog::OnInitDialog();
    TraceWindow("open");
    return TRUE;
}

void CSkinDialog::TraceWindow(const char* what) const {
    if (!pw::trace::Enabled()) return;
    const std::string name = m_pEntry ? std::string(m_pEntry->symbol) : std::to_string(m_nIDTemplate);
    pw::trace::WindowEvent(what, name, m_hWnd);
}

LRESULT CSkinDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST: return OnNcHitTest(wParam, lParam);
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORMSGBOX: return OnCtlColor(message, wParam, lParam);
    case WM_SHOWWINDOW:
        if (wParam) TraceWindow("shown");
        break;
    case WM_NCDESTROY:
        TraceWindow("close");
        ReleaseImages();
        break;
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

LRESULT CSkinDialog::OnNcHitTest(WPARAM wParam, LPARAM lParam) {
    if (m_bDraggable) return HTCAPTION;
    return CDialog::WindowProc(WM_NCHITTEST, wParam, lParam);
}

LRESULT CSkinDialog::OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT base = CDialog::WindowProc(message, wParam, lParam);
    SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
    if (reinterpret_cast<HWND>(lParam) == m_hWnd && m_hBackground)
        return reinterpret_cast<LRESULT>(m_hBackground);
    return base;
}

CSkinBitmap::~CSkinBitmap() {
    if (m_hWnd) ReleaseImage();
}

void CSkinBitmap::SetImage(size_t index) {
    if (m_imageFiles.empty() || !m_hWnd) return;
    if (index >= m_imageFiles.size()) index = 0;
    auto bitmap = static_cast<HBITMAP>(
        LoadImageW(nullptr, m_imageFiles[index].c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    const fw::UniqueBitmap previous(SetBitmap(bitmap));
    // A bitmap with alpha is copied by the control; then the one handed over is still ours to delete.
    if (bitmap && reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP, 0)) != bitmap)
        DeleteObject(bitmap);
}

void CSkinBitmap::ReleaseImage() {
    const fw::UniqueBitmap previous(SetBitmap(nullptr));
}

LRESULT CSkinBitmap::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY: return OnDestroy(wParam, lParam);
    }
    return CStatic::WindowProc(message, wParam, lParam);
}

LRESULT CSkinBitmap::OnDestroy(WPARAM wParam, LPARAM lParam) {
    ReleaseImage();
    return CStatic::WindowProc(WM_DESTROY, wParam, lParam);
}
