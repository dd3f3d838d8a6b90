// The rows under a receiver item: the list item base every row derives from, and the add-device item
// that is always the last row. The receiver item creates, places, shows, hides and deletes them.
#pragma once

#include "common/types.h"
#include "lang/multi_language.h"
#include "res/dialog_layouts.h"
#include "skin/skin_controls.h"
#include "skin/skin_dialog.h"

namespace pw {

class CDlgItem : public CSkinDialog, public CMultiLanguage {
public:
    // owner: the receiver item that lists this item; it receives the item's requests.
    CDlgItem(UINT templateId, CWnd& owner);
    ~CDlgItem() override;

    // Device data fed in and read back by the receiver item; the base keeps none, and GetRecord
    // leaves the caller's record as it was.
    virtual void SetRecord(const DeviceSlotRecord&) {}
    virtual void GetRecord(DeviceSlotRecord&) const {}
    virtual void SetActivity(bool) {}
    virtual void EnableRemove(bool) {}

    // The size of the item's window, in pixels.
    ui::Size GetItemSize() const;

    BOOL OnInitDialog() override;
    // Enter and Escape never end a row.
    void OnOK() override {}
    void OnCancel() override {}

protected:
    CWnd& m_owner;
};

// "Add New Device": asks the item view (its parent window) to open the pairing help.
class CDlgAddNewDev final : public CDlgItem {
public:
    explicit CDlgAddNewDev(CWnd& owner);

    bool OnCommand(WORD id, WORD code, HWND control) override;
    void ApplyTexts() override { ApplyTableTexts(); }

private:
    CSkinButton m_btnAddNewDev;
};

} // namespace pw
