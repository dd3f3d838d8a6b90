// A dialog whose whole surface is a picture: the normal rendering is its background, the mask its
// outline, and its skinned controls cut their looks out of the renderings at their own position.
// CSkinBitmap shows one of several bitmap files in a picture static.
#pragma once

#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/handles.h"
#include "res/dialog_layouts.h"
#include "skin/skin_geometry.h"
#include "skin/skin_image.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

template <class T> class CSkinControl;
class CSkinBitmap;
class CSkinScrollBar;

// A skinned window is its layout-table entry plus its behaviour: the constructor takes the renderings
// and mask the entry names, registered controls get their looks from it, and LayOutControls and
// ApplyTableTexts place them and fill in their language texts.
//
// The image lists name files; an entry is decoded the first time it is drawn (shared with every other
// window that names the same file) and let go when the window is destroyed, so a dialog object without
// a window holds no pictures. The mask is decoded for each outline it cuts.
class CSkinDialog : public CDialog {
public:
    // Takes the skin of the template's table entry, if the table has one.
    explicit CSkinDialog(UINT templateId, CWnd* parent = nullptr);
    ~CSkinDialog() override;

    // The renderings and mask the entry names (under .\ui\), and whether the surface drags the window.
    void LoadSkin(const pw::ui::Dialog& entry);
    const pw::ui::Dialog* TableEntry() const { return m_pEntry; }

    // Appends the file to the list of `kind`; an entry that cannot be decoded keeps its place, so that
    // entry numbers stay those the dialog intends.
    void AddImage(SkinImageKind kind, const std::wstring& path);
    // Replaces the mask.
    void SetMaskImage(const std::wstring& path);

    // Makes Normal entry `index` the background; a missing entry changes nothing.
    void SetBackground(int index);
    // Gives the window the size and outline of the mask; an invalid mask changes nothing.
    void ApplyMask();

    std::size_t ImageCount(SkinImageKind kind) const { return m_images[static_cast<int>(kind)].size(); }
    // Entry `index` of the list, decoded now if it is not yet; nullptr when there is no such entry.
    const CSkinImage* Image(SkinImageKind kind, std::size_t index);
    int GetBackgroundIndex() const { return m_nBackground; }
    bool HasBackgroundBrush() const { return m_hBackground != nullptr; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    // Binds every registered control to its window.
    void DoDataExchange() override;

protected:
    // Registers a control of the template: it takes the look the table gives it now and is bound to
    // its window each time the dialog's window is created.
    void AddControl(int id, CSkinControl<CButton>& control);
    void AddControl(int id, CSkinControl<CStatic>& control);
    void AddControl(int id, CSkinBitmap& control);
    void AddControl(int id, CSkinScrollBar& control);
    // Moves the controls to their rectangles of the current language; right to left they first read
    // right to left too.
    void LayOutControls();
    // Shows the language text of every control whose text the window does not compose itself.
    void ApplyTableTexts();

    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL m_bDraggable = FALSE; // pop-ups: a press anywhere on the surface drags the window

private:
    struct ImageEntry {
        std::wstring path;
        BitmapPtr image; // decoded while the window needs it
    };

    const pw::ui::Control* ControlEntry(int id) const;
    const BitmapPtr* Decoded(SkinImageKind kind, std::size_t index);
    void ReleaseImages();
    // "open", "shown" or "close", the template and the window handle, into the program's trace.
    void TraceWindow(const char* what) const;

    const pw::ui::Dialog* m_pEntry;
    std::vector<std::pair<int, CWnd*>> m_controls;
    std::array<std::vector<ImageEntry>, kSkinImageKindCount> m_images;
    std::wstring m_strMaskFile;
    int m_nBackground = 0;
    BitmapPtr m_background;         // the image the brush belongs to
    HBRUSH m_hBackground = nullptr; // owned by m_background
};

class CSkinBitmap : public CStatic {
public:
    ~CSkinBitmap() override;

    void AddImageFile(const std::wstring& path) { m_imageFiles.push_back(path); }
    // Shows entry `index` (entry 0 when there is no such entry). The control owns the bitmap it shows.
    void SetImage(size_t index);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    void ReleaseImage();

    std::vector<std::wstring> m_imageFiles;
};
