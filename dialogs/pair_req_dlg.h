// The pair request (template 131): a device asks to be added. "Add Device" and "Not now" post the
// answer to the owner, who closes the dialog; without an answer the dialog closes itself at the 30th
// tick of its timer, posting nothing.
#pragma once

#include "dialogs/popup.h"
#include "skin/skin_controls.h"

#include <string>

namespace pw {

class CDlgPairReq final : public CPopupDialog {
public:
    static constexpr UINT_PTR kTimerId = 1;
    static constexpr UINT kTimerPeriodMs = 1000;
    static constexpr int kTimeoutTicks = 30;

    CDlgPairReq();

    // The 29 data bytes of the request; shown at once (call it once the window exists).
    void SetDeviceRecord(const DeviceSlotRecord& record);
    const DeviceSlotRecord& GetDeviceRecord() const { return m_record; }
    int GetTicks() const { return m_nTicks; }

    BOOL OnInitDialog() override;
    void ApplyTexts() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnTimer(WPARAM id, LPARAM lParam);
    void Answer(bool add) const;

    CSkinButton m_btnAdd;
    CSkinButton m_btnNotNow;
    CSkinButton m_btnControlPanel;
    CSkinStatic m_stComment;
    CSkinStatic m_stTitle;
    CSkinBitmap m_picDevice;
    CSkinStatic m_stCaption;

    DeviceSlotRecord m_record{};
    std::wstring m_strDetected;
    int m_nTicks = 0;
};

} // namespace pw
