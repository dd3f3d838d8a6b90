// The pages that end a pairing attempt. Each shows its device by display name and kind picture,
// closes on its own button and on "Go to Veltrane Control Panel" (which first asks the owner to bring
// up the main window); none sends anything to a receiver.
//   CDlgPairSucc (133): the device is paired. Opened by the progress dialog, record set before.
//   CDlgPairFailedMsg (144): the device did not appear in time; the five pairing steps. Opened by the
//     progress dialog, record set before. Enter and Escape close it.
//   CDlgPairFailed (138): the receiver refused, mode 0 (receiver full) or 1 (device at its limit of
//     receivers; any other mode counts as 0). Mode set before opening, record after. Enter closes it.
#pragma once

#include "dialogs/popup.h"
#include "skin/skin_controls.h"

namespace pw {

class CDlgPairSucc final : public CPopupDialog {
public:
    CDlgPairSucc();

    // Stores the device shown at the next opening.
    void SetDeviceRecord(const DeviceSlotRecord& record) { m_record = record; }
    const DeviceSlotRecord& GetDeviceRecord() const { return m_record; }

    BOOL OnInitDialog() override;
    void ApplyTexts() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    CSkinButton m_btnFinish;
    CSkinButton m_btnControlPanel;
    CSkinStatic m_stComment;
    CSkinStatic m_stTitle;
    CSkinBitmap m_picDevice;
    CSkinStatic m_stCaption;

    DeviceSlotRecord m_record{};
};

class CDlgPairFailed final : public CPopupDialog {
public:
    static constexpr int kModeReceiverFull = 0;
    static constexpr int kModeDeviceLimited = 1;

    CDlgPairFailed();

    // Call before the window is created.
    void SetMode(int mode) { m_nMode = mode; }
    int GetMode() const { return m_nMode; }
    // Stores the device and shows it (call it once the window exists).
    void SetDeviceRecord(const DeviceSlotRecord& record);
    const DeviceSlotRecord& GetDeviceRecord() const { return m_record; }

    BOOL OnInitDialog() override;
    void ApplyTexts() override;
    void OnOK() override { Close(); }
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    bool DeviceLimited() const { return m_nMode == kModeDeviceLimited; }

    CSkinButton m_btnOk;
    CSkinStatic m_stTitle;
    CSkinStatic m_stComment;
    CSkinButton m_btnControlPanel;
    CSkinBitmap m_picDevice;
    CSkinStatic m_stCaption;

    DeviceSlotRecord m_record{};
    int m_nMode = kModeReceiverFull;
};

class CDlgPairFailedMsg final : public CPopupDialog {
public:
    CDlgPairFailedMsg();

    // Stores the device shown at the next opening.
    void SetDeviceRecord(const DeviceSlotRecord& record) { m_record = record; }
    const DeviceSlotRecord& GetDeviceRecord() const { return m_record; }

    BOOL OnInitDialog() override;
    void ApplyTexts() override;
    void OnOK() override { Close(); }
    void OnCancel() override { Close(); }
    bool OnCommand(WORD id, WORD code, HWND control) override;

private:
    CSkinButton m_btnOk;
    CSkinButton m_btnControlPanel;
    CSkinStatic m_stTitle;
    CSkinStatic m_stDistance;
    CSkinBitmap m_picDevice;
    CSkinStatic m_stSteps[5];
    CSkinStatic m_stCaption;

    DeviceSlotRecord m_record{};
};

} // namespace pw
