#include "panel/receiver_item.h"

#include "common/post.h"
#include "lang/text_format.h"
#include "panel/panel_rules.h"
#include "res/resource.h"

#include <algorithm>

namespace pw {
namespace {

DeviceId IdOf(const CDlgItem& item) {
    DeviceSlotRecord record{};
    item.GetRecord(record);
    return record.Id();
}

std::wstring Widen(const char* ascii) {
    std::wstring wide;
    for (const char* c = ascii; *c; ++c)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return wide;
}

} // namespace

CDlgReceiverItem::CDlgReceiverItem(PanelContext& context)
    : CSkinDialog(IDD_RECEIVER_ITEM), m_context(context) {
    AddControl(IDC_STATIC_RECEIVER_NAME, m_stName);
    AddControl(IDC_STATIC_FW_VERSION, m_stFirmwareLabel);
    AddControl(IDC_STATIC_FW_VALUE, m_stFirmware);
    AddControl(IDC_STATIC_DEV_PAIR, m_stPairedLabel);
    AddControl(IDC_STATIC_PAIRED_COUNT, m_stPaired);
    AddControl(IDC_STATIC_HARDWARE_ID, m_stHardwareIdLabel);
    AddControl(IDC_STATIC_HARDWARE_ID_VALUE, m_stHardwareId);
    AddControl(IDC_PIC_PAIRED, m_picPaired);
    AddControl(IDC_BTN_RECEIVER_PIC, m_btnPicture);
}

CDlgReceiverItem::~CDlgReceiverItem() {
    // The window goes (and takes the list items with it) while the whole object still answers.
    if (m_hWnd) DestroyWindow();
}

LRESULT CDlgReceiverItem::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER: return OnTimer(wParam, lParam);
    case WM_REMOVE_DEVICE: return OnRemoveDevice(wParam, lParam);
    case WM_LBUTTONUP: return OnLButtonUp(wParam, lParam);
    case WM_MOUSEWHEEL: return OnMouseWheel(wParam, lParam);
    case WM_DESTROY: return OnDestroy();
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
}

BOOL CDlgReceiverItem::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    m_watchedId = 0;
    m_hWatchTarget = nullptr;
    SetLanguage(s_strLanguage);
    LayOutControls();
    m_bHardwareIdShown = false;
    m_stHardwareIdLabel.ShowWindow(SW_HIDE);
    m_stHardwareId.ShowWindow(SW_HIDE);
    return TRUE;
}

void CDlgReceiverItem::ApplyTexts() {
    for (CDlgItem* item : ListItems())
        item->SetLanguage(s_strLanguage);
    ApplyTableTexts();
    m_strMice = GetText(TextKey::Mice);
    m_strKeyboards = GetText(TextKey::Keyboards);
}

void CDlgReceiverItem::SetHardwareId(std::wstring_view text) {
    m_strHardwareId = HardwareIdDisplayForm(text);
}

void CDlgReceiverItem::OpenReceiver(const std::wstring& path) {
    if (!m_pipe.Open(path)) {
        m_stName.SetWindowText(kDamagedReceiverText);
        return;
    }
    if (m_context.debugMode) m_pipe.EnableDebugReports();
    auto addNewDev = std::make_unique<CDlgAddNewDev>(*this);
    if (addNewDev->Create(::GetParent(m_hWnd))) m_addNewDev = std::move(addNewDev);

    m_stName.SetWindowText(Widen(m_pipe.ReceiverName()));
    m_stFirmware.SetWindowText(FormatFirmwareW(m_pipe.FirmwareHigh(), m_pipe.FirmwareLow()));
    m_stHardwareId.SetWindowText(m_strHardwareId);
    Refresh();
    SetTimer(kActivityTimer, kTimerPeriodMs);
}

void CDlgReceiverItem::CloseReceiver() {
    KillTimer(kActivityTimer);
    m_pipe.Close();
}

void CDlgReceiverItem::Refresh() {
    const int count = m_pipe.QuerySlotCount();
    int keyboards = 0;
    int mice = 0;
    std::vector<DeviceId> seen;
    bool added = false;
    for (int slot = 1; slot <= count; ++slot) {
        DeviceSlotRecord record{};
        m_pipe.QuerySlot(slot, record);
        if (!record.HasDevice()) continue;
        if (record.kind == kKindKeyboard) ++keyboards;
        if (record.kind == kKindMouse) ++mice;
        seen.push_back(record.Id());
        if (const auto listed = FindDevice(record.Id()); listed != m_devices.end()) {
            (*listed)->SetRecord(record);
            continue;
        }
        auto device = std::make_unique<CDlgDeviceItem>(*this, m_context);
        if (!device->Create(::GetParent(m_hWnd))) continue;
        device->SetRecord(record);
        m_devices.push_back(std::move(device));
        added = true;
    }
    for (auto device = m_devices.begin(); device != m_devices.end();) {
        if (std::find(seen.begin(), seen.end(), IdOf(**device)) == seen.end())
            device = DropDevice(device);
        else
            ++device;
    }
    SlotActivity activity{};
    m_pipe.QueryActivity(activity);
    m_stPaired.SetWindowText(ComposeCounts(keyboards, m_strKeyboards, mice, m_strMice));
    m_picPaired.SetImage(static_cast<std::size_t>(IndicatorImage(keyboards, mice)));
    if (added) {
        SetExpanded(true);
        ::PostMessageW(::GetParent(m_hWnd), WM_RELAYOUT_ITEMS, 0, 0);
    }
}

CDlgReceiverItem::DeviceList::iterator CDlgReceiverItem::FindDevice(DeviceId id) {
    return std::find_if(m_devices.begin(), m_devices.end(),
                        [id](const std::unique_ptr<CDlgDeviceItem>& device) { return IdOf(*device) == id; });
}

CDlgReceiverItem::DeviceList::iterator CDlgReceiverItem::DropDevice(DeviceList::iterator device) {
    const std::ptrdiff_t index = device - m_devices.begin();
    (*device)->DestroyWindow();
    m_devices.erase(device);
    ::SendMessageW(::GetParent(m_hWnd), WM_RELAYOUT_ITEMS, 0, 0);
    if (const auto items = ListItems(); !items.empty())
        RedrawWindow(items.back()->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return m_devices.begin() + std::min(index, std::ssize(m_devices));
}

std::vector<CDlgItem*> CDlgReceiverItem::ListItems() const {
    std::vector<CDlgItem*> items;
    items.reserve(m_devices.size() + 1);
    for (const auto& device : m_devices)
        items.push_back(device.get());
    if (m_addNewDev) items.push_back(m_addNewDev.get());
    return items;
}

bool CDlgReceiverItem::StopPairing() {
    if (m_pipe.IsOpen()) m_pipe.StopPairing();
    EndWatch();
    return true;
}

void CDlgReceiverItem::SetWatchedDevice(DeviceId id) {
    m_watchedId = id;
    m_nWatchTicks = 0;
}

void CDlgReceiverItem::StartPairingWatch() {
    m_bWatching = true;
    SetTimer(kPairingWatchTimer, kTimerPeriodMs);
}

void CDlgReceiverItem::EndWatch() {
    KillTimer(kPairingWatchTimer);
    m_bWatching = false;
    m_nWatchTicks = 0;
}

void CDlgReceiverItem::SetExpanded(bool expanded) {
    m_bExpanded = expanded;
    SetBackground(expanded ? 1 : 0);
    // The controls cut their looks from the background: they change with it.
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

ui::Size CDlgReceiverItem::GetTotalSize() const {
    const RECT own = GetWindowRect();
    std::vector<ui::Size> sizes;
    for (const CDlgItem* item : ListItems())
        sizes.push_back(item->GetItemSize());
    return ReceiverTotalSize({own.right - own.left, own.bottom - own.top}, m_bExpanded, sizes);
}

void CDlgReceiverItem::MoveTo(int x, int y) {
    const RECT own = GetRectIn(::GetParent(m_hWnd));
    const auto items = ListItems();
    std::vector<int> heights;
    for (const CDlgItem* item : items)
        heights.push_back(item->GetItemSize().cy);
    constexpr UINT kMove = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    for (const RowMove& move : PlanMoveTo(x, y, own.top, own.bottom - own.top, m_bExpanded, heights)) {
        HWND wnd = move.row == kReceiverRow ? m_hWnd : items[static_cast<std::size_t>(move.row)]->m_hWnd;
        switch (move.action) {
        case RowAction::Place: SetWindowPos(wnd, nullptr, move.x, move.y, 0, 0, kMove); break;
        case RowAction::PlaceAndShow:
            SetWindowPos(wnd, nullptr, move.x, move.y, 0, 0, kMove | SWP_SHOWWINDOW);
            break;
        case RowAction::Hide: ::ShowWindow(wnd, SW_HIDE); break;
        }
    }
}

LRESULT CDlgReceiverItem::OnTimer(WPARAM wParam, LPARAM lParam) {
    if (wParam == kActivityTimer) ActivityPass();
    if (wParam == kPairingWatchTimer) WatchTick();
    return CSkinDialog::WindowProc(WM_TIMER, wParam, lParam);
}

void CDlgReceiverItem::ActivityPass() {
    HWND main = m_context.mainWindow.m_hWnd;
    if (m_context.activityBusy || !main || !::IsWindowVisible(main)) return;
    m_context.activityBusy = true;
    SlotActivity activity{};
    m_pipe.QueryActivity(activity);
    for (const auto& device : m_devices) {
        DeviceSlotRecord record{};
        device->GetRecord(record);
        device->SetActivity(record.HasDevice() && activity[static_cast<std::size_t>(record.slot - 1)] != 0);
    }
    m_context.activityBusy = false;
}

void CDlgReceiverItem::WatchTick() {
    if (!m_bWatching) return;
    ++m_nWatchTicks;
    Refresh();
    if (const auto found = FindDevice(m_watchedId); found != m_devices.end()) {
        auto record = std::make_unique<DeviceSlotRecord>();
        (*found)->GetRecord(*record);
        EndWatch();
        // Without a target the record would go to the thread's queue, where nobody frees it.
        if (m_hWatchTarget) PostOwnedInLParam(m_hWatchTarget, WM_PAIRING_RESULT, 0, std::move(record));
    } else if (m_nWatchTicks >= kPairingWatchTicks) {
        EndWatch();
        if (m_hWatchTarget) PostToWindow(m_hWatchTarget, WM_PAIRING_RESULT, 1, 0);
    }
}

LRESULT CDlgReceiverItem::OnRemoveDevice(WPARAM wParam, LPARAM lParam) {
    // lParam is only compared: a device item dropped since it posted is no longer listed.
    const auto* requester = reinterpret_cast<const CDlgItem*>(lParam);
    const auto listed = std::find_if(m_devices.begin(), m_devices.end(), [&](const auto& device) {
        return static_cast<const CDlgItem*>(device.get()) == requester;
    });
    if (m_pipe.IsOpen() && listed != m_devices.end()) {
        DeviceSlotRecord record{};
        (*listed)->GetRecord(record);
        m_pipe.RemoveSlot(record.slot);
        if (const auto found = FindDevice(static_cast<DeviceId>(wParam)); found != m_devices.end())
            DropDevice(found);
    }
    Refresh();
    return 0;
}

LRESULT CDlgReceiverItem::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
    SetExpanded(!m_bExpanded);
    HWND view = ::GetParent(m_hWnd);
    ::PostMessageW(view, WM_RELAYOUT_ITEMS, 0, 0);
    ::PostMessageW(view, WM_RECEIVER_EXPANDED, reinterpret_cast<WPARAM>(this), m_bExpanded);
    return CSkinDialog::WindowProc(WM_LBUTTONUP, wParam, lParam);
}

LRESULT CDlgReceiverItem::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
    // Posted once; the default processing would hand the item view the same wheel message again.
    ::PostMessageW(::GetParent(m_hWnd), WM_MOUSEWHEEL, wParam, lParam);
    return 0;
}

LRESULT CDlgReceiverItem::OnDestroy() {
    m_devices.clear();
    m_addNewDev.reset();
    return CSkinDialog::WindowProc(WM_DESTROY, 0, 0);
}

bool CDlgReceiverItem::OnCommand(WORD id, WORD code, HWND) {
    if (id != IDC_BTN_RECEIVER_PIC) return false;
    if (code == BN_DOUBLECLICKED) ToggleHardwareId();
    return true;
}

void CDlgReceiverItem::ToggleHardwareId() {
    m_bHardwareIdShown = !m_bHardwareIdShown;
    const int show = m_bHardwareIdShown ? SW_SHOW : SW_HIDE;
    m_stHardwareIdLabel.ShowWindow(show);
    m_stHardwareId.ShowWindow(show);
}

} // namespace pw
