// The pop-ups opened instead of a pairing. OK (and Enter) closes them, Escape does nothing, and
// "Go to Veltrane Control Panel" asks an owner, if there is one, to bring up the main window and closes.
//   CDlgRedundant (139): the device is already connected to this receiver.
//   CDlgForbidPair (132): more than one receiver is plugged in. Also opened without a record and
//     owner; its sentence then keeps the template's text.
#pragma once

#include "dialogs/popup.h"
#include "skin/skin_controls.h"

namespace pw {

// Both: an OK button, a title, a sentence naming the device, the link and the caption.
class CConnectionDialog : public CPopupDialog {
public:
    // Stores the device and names it in the sentence (call it once the window exists).
    void SetDeviceRecord(const DeviceSlotRecord& record);
    const DeviceSlotRecord& GetDeviceRecord() const { return m_record; }

    BOOL OnInitDialog() override;
    void ApplyTexts() override { ApplyTableTexts(); }
    void OnOK() override { Close(); }
    bool OnCommand(WORD id, WORD code, HWND control) override;

protected:
    struct Controls {
        UINT templateId;
        int ok;
        int title;
        int info;
        TextKey infoFormat;
    };
    explicit CConnectionDialog(const Controls& controls);

private:
    const Controls m_ids;
    CSkinButton m_btnOk;
    CSkinStatic m_stTitle;
    CSkinStatic m_stInfo;
    CSkinButton m_btnControlPanel;
    CSkinStatic m_stCaption;

    DeviceSlotRecord m_record{};
};

class CDlgRedundant final : public CConnectionDialog {
public:
    CDlgRedundant();
};

class CDlgForbidPair final : public CConnectionDialog {
public:
    CDlgForbidPair();
};

} // namespace pw
