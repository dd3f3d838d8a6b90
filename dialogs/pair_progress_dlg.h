// The pairing progress (template 137): a running bar while the receiver item watches for the accepted
// device. WM_PAIRING_RESULT ends it: the dialog hides, opens the success page (0) or the timed-out page
// (1) unless that page is open already, and destroys itself. Cancel, and WM_CLOSE with it, stops
// pairing on every receiver. Enter and Escape do nothing. The dialog owns the two pages it opens.
#pragma once

#include "dialogs/pair_outcome_dlgs.h"
#include "dialogs/popup.h"
#include "skin/skin_controls.h"

namespace pw {

class CDlgPairProgress final : public CPopupDialog {
public:
    static constexpr WPARAM kResultFound = 0;
    static constexpr WPARAM kResultTimedOut = 1;
    static constexpr UINT kMarqueeIntervalMs = 100;

    CDlgPairProgress();

    // The request being paired, handed on to the page that ends it; nothing of it is shown here.
    void SetDeviceRecord(const DeviceSlotRecord& record) { m_record = record; }
    const DeviceSlotRecord& GetDeviceRecord() const { return m_record; }

    const CDlgPairSucc& SuccessPage() const { return m_dlgSucc; }
    const CDlgPairFailedMsg& TimedOutPage() const { return m_dlgFailedMsg; }

    BOOL OnInitDialog() override;
    void ApplyTexts() override { ApplyTableTexts(); }
    // The Cancel button: its id is IDCANCEL.
    void OnCancel() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void OnCloseButton() override;

private:
    LRESULT OnPairingResult(WPARAM result, LPARAM copy);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    void OnControlPanel();
    HWND MainWindow() const { return m_pOwner ? m_pOwner->MainWindow() : nullptr; }

    CSkinStatic m_stMessage;
    CSkinButton m_btnCancel;
    CSkinButton m_btnControlPanel;
    CSkinStatic m_stCaption;

    DeviceSlotRecord m_record{};
    CDlgPairSucc m_dlgSucc;
    CDlgPairFailedMsg m_dlgFailedMsg;
};

} // namespace pw
