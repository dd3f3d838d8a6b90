// The row of one paired device under its receiver item, and the confirmation its removal asks for.
#pragma once

#include "panel/list_item.h"
#include "panel/panel_context.h"

#include <memory>
#include <string>

namespace pw {

class CDlgDeviceItem final : public CDlgItem {
public:
    CDlgDeviceItem(CWnd& owner, PanelContext& context);

    // The slot's record as the receiver reports it: display name, firmware version and kind picture.
    void SetRecord(const DeviceSlotRecord& record) override;
    void GetRecord(DeviceSlotRecord& record) const override { record = m_record; }
    // Shows "Active" or "Inactive"; the same state again changes nothing.
    void SetActivity(bool active) override;
    void EnableRemove(bool enable) override;

    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void ApplyTexts() override;

private:
    // Asks for confirmation, then asks the owner to unpair the device (WM_REMOVE_DEVICE).
    void OnRemove();
    void OnSettings();

    PanelContext& m_context;
    DeviceSlotRecord m_record{};
    bool m_bActive = true;
    std::wstring m_strActive;
    std::wstring m_strInactive;
    std::size_t m_nPicture = 0;
    // Tells the removal flow, back from the modal confirmation, whether the item still exists.
    const std::shared_ptr<bool> m_lifetime = std::make_shared<bool>(true);

    CSkinBitmap m_picDevice;
    CSkinStatic m_stName;
    CSkinStatic m_stStatusLabel;
    CSkinStatic m_stStatus;
    CSkinStatic m_stFirmwareLabel;
    CSkinStatic m_stFirmware;
    CSkinButton m_btnRemove;
    CSkinButton m_btnSettings;
};

// "Remove <device>?": modal over the main window; IDOK when the user chose Remove, IDCANCEL for
// Cancel, Escape or closing.
class CDlgDelDevReq final : public CSkinDialog, public CMultiLanguage {
public:
    CDlgDelDevReq(CWnd& mainWindow, const DeviceSlotRecord& record);

    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void ApplyTexts() override;

private:
    CWnd& m_mainWindow;
    const DeviceSlotRecord m_record;

    CSkinStatic m_stAsk;
    CSkinStatic m_stComment;
    CSkinButton m_btnRemove;
    CSkinButton m_btnCancel;
};

} // namespace pw
