#include "panel/device_item.h"

#include "lang/text_format.h"
#include "panel/panel_rules.h"
#include "res/resource.h"

namespace pw {
namespace {

constexpr std::size_t kKeyboardPicture = 0;
constexpr std::size_t kMousePicture = 1;

} // namespace

CDlgDeviceItem::CDlgDeviceItem(CWnd& owner, PanelContext& context)
    : CDlgItem(IDD_DEVICE_ITEM, owner), m_context(context) {
    AddControl(IDC_PIC_DEVICE, m_picDevice);
    AddControl(IDC_STATIC_DEVICE_NAME, m_stName);
    AddControl(IDC_STATIC_DEVICE_STATUS, m_stStatusLabel);
    AddControl(IDC_STATIC_STATUS_VALUE, m_stStatus);
    AddControl(IDC_STATIC_FW_VERSION, m_stFirmwareLabel);
    AddControl(IDC_STATIC_FW_VALUE, m_stFirmware);
    AddControl(IDC_BTN_DELETE_DEV, m_btnRemove);
    AddControl(IDC_BTN_SETTINGS, m_btnSettings);
}

BOOL CDlgDeviceItem::OnInitDialog() {
    CDlgItem::OnInitDialog();
    m_nPicture = kKeyboardPicture;
    m_picDevice.SetImage(m_nPicture);
    return TRUE;
}

void CDlgDeviceItem::ApplyTexts() {
    ApplyTableTexts();
    m_strActive = GetText(TextKey::Active);
    m_strInactive = GetText(TextKey::Inactive);
    m_stStatus.SetWindowText(m_bActive ? m_strActive : m_strInactive);
}

void CDlgDeviceItem::SetRecord(const DeviceSlotRecord& record) {
    m_record = record;
    if (!m_hWnd) return;
    m_stName.SetWindowText(DeviceDisplayName(m_record));
    m_stFirmware.SetWindowText(DeviceFirmwareText(m_record));
    const std::size_t picture = m_record.kind == kKindMouse ? kMousePicture : kKeyboardPicture;
    if (picture != m_nPicture) {
        m_nPicture = picture;
        m_picDevice.SetImage(m_nPicture);
    }
}

void CDlgDeviceItem::SetActivity(bool active) {
    if (active == m_bActive) return;
    m_bActive = active;
    m_stStatus.SetWindowText(m_bActive ? m_strActive : m_strInactive);
}

void CDlgDeviceItem::EnableRemove(bool enable) {
    m_btnRemove.EnableWindow(enable);
}

bool CDlgDeviceItem::OnCommand(WORD id, WORD code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_BTN_DELETE_DEV: OnRemove(); return true;
    case IDC_BTN_SETTINGS: OnSettings(); return true;
    }
    return false;
}

void CDlgDeviceItem::OnRemove() {
    const DeviceId id = m_record.Id();
    const HWND owner = m_owner.m_hWnd;
    const std::weak_ptr<bool> alive = m_lifetime;
    CDlgDelDevReq confirmation(m_context.mainWindow, m_record);
    const INT_PTR answer = confirmation.DoModal();
    // Timers and device notices run during the confirmation; a refresh may have dropped this item.
    if (alive.expired() || answer != IDOK) return;
    ::PostMessageW(owner, WM_REMOVE_DEVICE, id, reinterpret_cast<LPARAM>(static_cast<CDlgItem*>(this)));
}

void CDlgDeviceItem::OnSettings() {
    const std::wstring command = SettingsCommandLine(SystemFolder(), m_record.kind);
    if (!command.empty() && m_context.launch) m_context.launch(command);
}

CDlgDelDevReq::CDlgDelDevReq(CWnd& mainWindow, const DeviceSlotRecord& record)
    : CSkinDialog(IDD_DEL_DEV_REQ, &mainWindow), m_mainWindow(mainWindow), m_record(record) {
    AddControl(IDC_STATIC_ASK, m_stAsk);
    AddControl(IDC_STATIC_DEL_COMMENT, m_stComment);
    AddControl(IDC_BTN_DELETE, m_btnRemove);
    AddControl(IDCANCEL, m_btnCancel);
}

BOOL CDlgDelDevReq::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    SetLanguage(s_strLanguage);
    LayOutControls();
    HWND main = m_mainWindow.m_hWnd;
    if (main && ::IsWindowVisible(main) && !::IsIconic(main)) {
        const RECT over = m_mainWindow.GetWindowRect();
        const RECT own = GetWindowRect();
        const int width = own.right - own.left;
        const int height = own.bottom - own.top;
        SetWindowPos(m_hWnd, nullptr, (over.left + over.right - width) / 2,
                     (over.top + over.bottom - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return TRUE;
}

void CDlgDelDevReq::ApplyTexts() {
    ApplyTableTexts();
    m_stAsk.SetWindowText(ComposeQuestion(m_stAsk.GetWindowText(), DeviceDisplayName(m_record)));
}

bool CDlgDelDevReq::OnCommand(WORD id, WORD code, HWND) {
    if (id != IDC_BTN_DELETE || code != BN_CLICKED) return false;
    EndDialog(IDOK);
    return true;
}

} // namespace pw
