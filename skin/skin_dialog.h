// A dialog whose whole surface is a picture: the normal rendering is its background, the mask its
// outline, and its skinned controls cut their looks out of the renderings at their own position.
// CSkinBitmap shows one of several bitmap files in a picture static.
#pragma once

#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/handles.h"
#include "skin/skin_geometry.h"
#include "skin/skin_image.h"

#include <array>
#include <string>
#include <vector>

class CSkinDialog : public CDialog {
public:
    CSkinDialog(UINT templateId, CWnd* parent = nullptr) : CDialog(templateId, parent) {}
    ~CSkinDialog() override;

    // Decodes the file and appends it to the list of `kind`, also when decoding failed, so that entry
    // numbers stay those the dialog intends.
    void AddImage(SkinImageKind kind, const std::wstring& path);
    // Replaces the mask.
    void SetMaskImage(const std::wstring& path);

    // Makes Normal entry `index` the background; a missing entry changes nothing.
    void SetBackground(int index);
    // Gives the window the size and outline of the mask; an invalid mask changes nothing.
    void ApplyMask();

    const std::vector<BitmapPtr>& GetImages(SkinImageKind kind) const {
        return m_images[static_cast<int>(kind)];
    }
    const BitmapPtr& GetMask() const { return m_mask; }
    int GetBackgroundIndex() const { return m_nBackground; }
    bool HasBackgroundBrush() const { return static_cast<bool>(m_brBackground); }
    bool IsDraggable() const { return m_bDraggable != FALSE; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;

protected:
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtlColor(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL m_bDraggable = FALSE; // pop-ups: a press anywhere on the surface drags the window

private:
    std::array<std::vector<BitmapPtr>, kSkinImageKindCount> m_images;
    BitmapPtr m_mask;
    int m_nBackground = 0;
    fw::UniqueBrush m_brBackground;
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
