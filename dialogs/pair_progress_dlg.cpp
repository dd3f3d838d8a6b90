#include "dialogs/pair_progress_dlg.h"

#include "common/post.h"
#include "res/resource.h"

#include <commctrl.h>

namespace pw {
namespace {

// A result still queued when the window goes would never reach its handler: its copy is freed here.
void FreeQueuedResults(HWND window) {
    MSG msg;
    while (PeekMessageW(&msg, window, WM_PAIRING_RESULT, WM_PAIRING_RESULT, PM_REMOVE))
        TakeOwned<DeviceSlotRecord>(static_cast<std::uintptr_t>(msg.lParam));
}

} // namespace

CDlgPairProgress::CDlgPairProgress() : CPopupDialog(IDD_PAIR_PROGRESS) {
    AddControl(IDC_STATIC_PAIRING, m_stMessage);
    AddControl(IDCANCEL, m_btnCancel);
    AddControl(IDC_BTN_GO_CONTROL_PANEL, m_btnControlPanel);
    AddControl(IDC_STATIC_CAPTION, m_stCaption);
}

BOOL CDlgPairProgress::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetLanguage(s_strLanguage);
    ::SendMessageW(GetDlgItem(IDC_PROGRESS_PAIRING), PBM_SETMARQUEE, TRUE, kMarqueeIntervalMs);
    LayOutControls();
    return TRUE;
}

LRESULT CDlgPairProgress::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAIRING_RESULT: return OnPairingResult(wParam, lParam);
    case WM_DESTROY: return OnDestroy(wParam, lParam);
    }
    return CPopupDialog::WindowProc(message, wParam, lParam);
}

bool CDlgPairProgress::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_BTN_GO_CONTROL_PANEL && code == BN_CLICKED) return OnControlPanel(), true;
    return CPopupDialog::OnCommand(id, code, control);
}

LRESULT CDlgPairProgress::OnPairingResult(WPARAM result, LPARAM copy) {
    ShowWindow(SW_HIDE);
    // A page still open from an earlier pairing is left as it is.
    if (result == kResultFound && !m_dlgSucc.IsOpen()) {
        m_dlgSucc.SetOwner(m_pOwner);
        m_dlgSucc.SetDeviceRecord(m_record);
        OpenPopup(m_dlgSucc, MainWindow());
    } else if (result == kResultTimedOut && !m_dlgFailedMsg.IsOpen()) {
        m_dlgFailedMsg.SetOwner(m_pOwner);
        m_dlgFailedMsg.SetDeviceRecord(m_record);
        OpenPopup(m_dlgFailedMsg, MainWindow());
    }
    TakeOwned<DeviceSlotRecord>(static_cast<std::uintptr_t>(copy));
    Close();
    return 1;
}

void CDlgPairProgress::OnCancel() {
    if (!EscapeKeyDown()) OnCloseButton();
}

void CDlgPairProgress::OnCloseButton() {
    if (m_pOwner) m_pOwner->StopAllPairing();
    Close();
}

void CDlgPairProgress::OnControlPanel() {
    PostToOwner(WM_SHOW_CONTROL_PANEL, 0, Self());
    if (m_pOwner) m_pOwner->StopAllPairing();
    Close();
}

LRESULT CDlgPairProgress::OnDestroy(WPARAM wParam, LPARAM lParam) {
    FreeQueuedResults(m_hWnd);
    return CPopupDialog::WindowProc(WM_DESTROY, wParam, lParam);
}

} // namespace pw
