// The pop-ups of the pairing flow: skinned, translated dialogs created modeless over the desktop, one
// object each for the life of their opener; a pop-up is open while it has a window.
#pragma once

#include "common/types.h"
#include "dialogs/popup_owner.h"
#include "lang/multi_language.h"
#include "res/resource.h"
#include "skin/skin_controls.h"
#include "skin/skin_dialog.h"

#include <cstddef>
#include <functional>

namespace pw {

class CPopupDialog : public CSkinDialog, public CMultiLanguage {
public:
    explicit CPopupDialog(UINT templateId) : CSkinDialog(templateId) {}

    bool IsOpen() const { return m_hWnd != nullptr; }
    // Destroys the window, if there is one.
    void Close();

    void SetOwner(IPopupOwner* owner) { m_pOwner = owner; }
    IPopupOwner* GetOwner() const { return m_pOwner; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Enter and Escape do nothing unless a dialog says otherwise.
    void OnOK() override {}
    void OnCancel() override {}
    // Does what the dialog's own close button does, so that no pop-up is ever left hidden while its
    // opener counts it as open.
    LRESULT OnClose() override;

protected:
    // What the dialog's own close button does; WM_CLOSE (Alt+F4) too.
    virtual void OnCloseButton() { Close(); }
    // Posts to the owner's answer window; false without an owner or when the post fails.
    bool PostToOwner(UINT message, WPARAM wParam, LPARAM lParam) const;
    // lParam of the requests that name this pop-up.
    LPARAM Self() const { return reinterpret_cast<LPARAM>(m_hWnd); }
    // The link of the pages that close themselves: asks the owner, if any, to bring up the main window.
    void GoToControlPanelAndClose();
    // The five step boxes of the pages that tell how to pair, in the order their texts count.
    void AddStepBoxes(CSkinStatic (&steps)[5]) {
        constexpr int kIds[] = {IDC_STATIC_HELP_COMMENT, IDC_STATIC_HELP_COMMENT2, IDC_STATIC_HELP_COMMENT3,
                                IDC_STATIC_HELP_COMMENT4, IDC_STATIC_HELP_COMMENT5};
        for (int i = 0; i < 5; ++i)
            AddControl(kIds[i], steps[i]);
    }

    IPopupOwner* m_pOwner = nullptr;
};

// The picture of a device kind: kind - 1 taken unsigned, so kind 1 is entry 0 (keyboard), 2 is entry 1
// (mouse) and anything else is out of range, which shows entry 0.
inline std::size_t KindPictureIndex(std::uint8_t kind) {
    return static_cast<std::size_t>(static_cast<unsigned>(kind) - 1u);
}

// The dialog manager sends the Escape key as a click of the control with id IDCANCEL; only the key's
// state tells the two apart.
inline bool EscapeKeyDown() {
    return GetKeyState(VK_ESCAPE) < 0;
}

// Opens a pop-up the way every one is opened: created modeless with the desktop as parent, handed its
// data and owner (handOver, once the window exists), centred on mainWindow when that is visible and
// not minimised (otherwise on the desktop), then made topmost without moving or sizing it. False, and
// nothing done, when the pop-up is open already or its window cannot be created.
bool OpenPopup(CPopupDialog& popup, HWND mainWindow, const std::function<void()>& handOver = {});

// Centres a window on another (on the desktop when reference is null), kept inside the work area of
// the reference's monitor.
void CentreWindow(HWND window, HWND reference);

} // namespace pw
