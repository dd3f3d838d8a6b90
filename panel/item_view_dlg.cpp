#include "panel/item_view_dlg.h"

#include "common/post.h"
#include "common/trace.h"
#include "receiver/discovery.h"
#include "receiver/notify_queue.h"
#include "res/resource.h"

#include <algorithm>
#include <cstdio>

namespace pw {

CDlgItemView::CDlgItemView(const ItemViewSetup& setup)
    : CSkinDialog(IDD_ITEM_VIEW), m_mainWindow(setup.mainWindow),
      m_rbShow(setup.show), m_panel{setup.mainWindow, setup.debugMode, setup.launch},
      m_welcome(setup.welcomeSwitch), m_debug(setup.moduleFolder, setup.reportSaveError) {
    AddControl(IDC_SCROLLBAR, m_scrollBar);
}

CDlgItemView::~CDlgItemView() {
    if (m_hWnd) DestroyWindow();
}

LRESULT CDlgItemView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_RECEIVER_NOTIFY: return OnReceiverNotify(wParam, lParam);
    case WM_RELAYOUT_ITEMS: return RelayoutItems(), 0;
    case WM_RECEIVER_EXPANDED: return 0;
    case WM_PAIR_ANSWER: return OnPairAnswer(wParam, lParam);
    case WM_SHOW_CONTROL_PANEL: return OnShowControlPanel(lParam);
    case WM_SHOW_PAIR_HELP: return OnShowPairHelp(lParam);
    case WM_SHOW_WELCOME: return OnShowWelcome();
    case WM_VSCROLL: return OnVScroll(wParam, lParam);
    case WM_DESTROY: return OnDestroy();
    }
    return CSkinDialog::WindowProc(message, wParam, lParam);
}

BOOL CDlgItemView::OnInitDialog() {
    CSkinDialog::OnInitDialog();
    m_scrollBar.FitToSkin();
    m_scrollBar.SetScrollRange(0, 0, true);
    m_scrollBar.SetScrollPos(0, true);
    LayOutControls();
    if (m_tip.Create(m_hWnd)) ShowTip();
    return TRUE;
}

void CDlgItemView::ApplyTexts() {
    for (auto& [key, item] : m_receivers)
        item->SetLanguage(s_strLanguage);
}

std::vector<CDlgReceiverItem*> CDlgItemView::Receivers() const {
    std::vector<CDlgReceiverItem*> items;
    for (const auto& [key, item] : m_receivers)
        items.push_back(item.get());
    return items;
}

// ---- Discovery ---------------------------------------------------------------------------------

bool CDlgItemView::AddReceiver(const std::wstring& path) {
    const std::wstring key = LowerCasePath(path);
    if (m_receivers.count(key)) return true;
    auto created = std::make_unique<CDlgReceiverItem>(m_panel);
    if (!created->Create(m_hWnd)) return false;
    ++m_nReceivers;
    created->SetHardwareId(HardwareIdFromPath(key));
    CDlgReceiverItem& item = *created;
    m_receivers.emplace(key, std::move(created));
    item.OpenReceiver(path);
    if (m_receivers.size() == 1) {
        item.SetExpanded(true);
        PostMessage(WM_RELAYOUT_ITEMS);
    } else {
        RelayoutItems();
    }
    if (m_nReceivers > 1 && m_pairReq.IsOpen()) {
        m_pairReq.Close();
        // Without data or owner: it keeps those of an earlier opening, if any.
        OpenPopup(m_forbidPair, MainWindow());
    }
    ShowTip();
    return true;
}

bool CDlgItemView::RemoveReceiver(const std::wstring& path) {
    const auto found = m_receivers.find(LowerCasePath(path));
    if (found == m_receivers.end()) return false;
    found->second->CloseReceiver();
    found->second->DestroyWindow();
    m_receivers.erase(found);
    RelayoutItems();
    m_nReceivers = std::max(0, m_nReceivers - 1);
    ShowTip();
    if (m_nReceivers == 0) {
        m_pairReq.Close();
        m_progress.Close();
    } else if (m_nReceivers == 1) {
        m_forbidPair.Close();
    }
    return true;
}

void CDlgItemView::AddNotifyChannel(const std::wstring& path) {
    auto channel = std::make_unique<CNotifyPipe>();
    // Listed even when it cannot be opened: it is stopped and deleted with the others.
    channel->Open(m_hWnd, path);
    m_channels.push_back(std::move(channel));
}

bool CDlgItemView::RemoveNotifyChannel(const std::wstring& path) {
    const std::wstring key = LowerCasePath(path);
    const auto found = std::find_if(m_channels.begin(), m_channels.end(), [&](const auto& channel) {
        return LowerCasePath(channel->Path()) == key;
    });
    if (found == m_channels.end()) return false;
    (*found)->Close();
    m_channels.erase(found);
    return true;
}

void CDlgItemView::SetPostingEnabled(bool enabled) {
    for (auto& channel : m_channels)
        channel->SetPostingEnabled(enabled);
}

void CDlgItemView::RefreshAllReceivers() {
    for (auto& [key, item] : m_receivers)
        item->Refresh();
}

void CDlgItemView::StopAllPairing() {
    for (auto& [key, item] : m_receivers)
        item->StopPairing();
}

void CDlgItemView::ShowTip() {
    if (m_tip.m_hWnd) m_tip.ShowWindow(m_nReceivers == 0 ? SW_SHOW : SW_HIDE);
}

// ---- Stacking and scrolling --------------------------------------------------------------------

view::ScrollState CDlgItemView::ReadScrollBar() {
    SCROLLINFO info{};
    m_scrollBar.GetScrollInfo(info, SIF_RANGE | SIF_PAGE | SIF_POS);
    return {info.nMin, info.nMax, static_cast<int>(info.nPage), info.nPos};
}

void CDlgItemView::RelayoutItems() {
    if (!m_hWnd) return;
    int height = 0;
    int rows = 0;
    std::vector<std::pair<CDlgReceiverItem*, int>> places;
    for (auto& [key, item] : m_receivers) {
        places.emplace_back(item.get(), m_nScrollOffset + height);
        height += item->GetTotalSize().cy;
        rows += 1 + static_cast<int>(item->ListItems().size());
    }
    if (!places.empty()) {
        const int firstTop = places.front().first->GetRectIn(m_hWnd).top;
        if (view::MoveInMapOrder(firstTop, m_nScrollOffset)) {
            for (auto& [item, y] : places)
                item->MoveTo(0, y);
        } else {
            for (auto place = places.rbegin(); place != places.rend(); ++place)
                place->first->MoveTo(0, place->second);
        }
        // The rows' copied bits are not enough: strips of the view left to repaint overlap rows that
        // moved in, and neither the view nor the rows clip their children.
        RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    const RECT client = GetClientRect();
    const view::ScrollLayout layout = view::LayOutScroll(height, rows, client.bottom - client.top,
                                                         m_nScrollOffset, ReadScrollBar(), m_nLineStep);
    m_nLineStep = layout.lineStep;
    SCROLLINFO info{};
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = layout.bar.minimum;
    info.nMax = layout.bar.maximum;
    info.nPage = static_cast<UINT>(layout.bar.page);
    info.nPos = layout.bar.position;
    m_scrollBar.SetScrollInfo(info, true);
    m_scrollBar.ShowWindow(layout.barVisible ? SW_SHOW : SW_HIDE);
}

LRESULT CDlgItemView::OnVScroll(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(lParam) != m_scrollBar.m_hWnd || !m_scrollBar.m_hWnd) return 0;
    const int position = view::ScrollPosition(ReadScrollBar(), LOWORD(wParam),
                                              static_cast<short>(HIWORD(wParam)), m_nLineStep);
    m_nScrollOffset = -position;
    RelayoutItems();
    return 0;
}

void CDlgItemView::ScrollByWheel(bool down) {
    const int position = view::WheelPosition(ReadScrollBar(), down, m_nLineStep);
    if (-position == m_nScrollOffset) return;
    m_nScrollOffset = -position;
    RelayoutItems();
}

// ---- Receiver events and the pop-ups' answers --------------------------------------------------

view::DispatchState CDlgItemView::State() const {
    return {.receivers = m_nReceivers,
            .debugMode = m_panel.debugMode,
            .debugOpen = m_debug.m_hWnd != nullptr,
            .busy = m_bDispatching,
            .helpOpen = m_pairHelp.IsOpen(),
            .pairRequestOpen = m_pairReq.IsOpen(),
            .multipleOpen = m_forbidPair.IsOpen(),
            .redundantOpen = m_redundant.IsOpen(),
            .failedOpen = m_pairFailed.IsOpen()};
}

LRESULT CDlgItemView::OnReceiverNotify(WPARAM wParam, LPARAM) {
    const std::unique_ptr<NotifyRecord> record = TakeOwned<NotifyRecord>(wParam);
    if (!record) return 0;
    const view::DispatchActions actions = view::Decide(record->code, State());
    if (trace::Enabled()) {
        char code[8] = {};
        std::snprintf(code, sizeof code, "%02x", record->code);
        trace::Write("dispatch", std::string("code ") + code + " receivers " + std::to_string(m_nReceivers) +
                                     " " + view::Describe(actions));
    }
    if (actions.openDebug) OpenDebug();
    if (actions.addLogLine && m_debug.m_hWnd) m_debug.AddLogLine(record->device);
    if (actions.dropped) return 1;

    m_lastNotification = record->device;
    m_bDispatching = true;
    const DeviceSlotRecord& data = record->device;
    if (actions.closeHelp) m_pairHelp.Close();
    if (actions.openPairRequest)
        OpenPopup(m_pairReq, MainWindow(), [&] {
            m_pairReq.SetDeviceRecord(data);
            m_pairReq.SetOwner(this);
        });
    if (actions.closePairRequest) m_pairReq.Close();
    if (actions.openMultiple)
        OpenPopup(m_forbidPair, MainWindow(), [&] {
            m_forbidPair.SetDeviceRecord(data);
            m_forbidPair.SetOwner(this);
        });
    if (actions.openRedundant)
        OpenPopup(m_redundant, MainWindow(), [&] {
            m_redundant.SetDeviceRecord(data);
            m_redundant.SetOwner(this);
        });
    if (actions.openFailedMode) {
        m_pairFailed.SetMode(*actions.openFailedMode);
        OpenPopup(m_pairFailed, MainWindow(), [&] {
            m_pairFailed.SetDeviceRecord(data);
            m_pairFailed.SetOwner(this);
        });
    }
    m_bDispatching = false;
    return 0;
}

void CDlgItemView::OpenDebug() {
    if (!m_debug.Create(GetDesktopWindow())) return;
    HWND main = MainWindow();
    CentreWindow(m_debug.m_hWnd, ::IsWindowVisible(main) && !IsIconic(main) ? main : nullptr);
    SetWindowPos(m_debug.m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

LRESULT CDlgItemView::OnPairAnswer(WPARAM id, LPARAM accept) {
    m_pairReq.Close();
    if (m_receivers.size() != 1) return 1;
    CDlgReceiverItem& item = *m_receivers.begin()->second;
    if (!item.AnswerPairRequest(static_cast<DeviceId>(id), accept != 0)) return 1;
    item.SetWatchedDevice(static_cast<DeviceId>(id));
    if (!accept) return 1;
    item.StartPairingWatch();
    // The request the user answered names the device; the last notification may be a later event.
    const DeviceSlotRecord& accepted = m_pairReq.GetDeviceRecord().Id() == static_cast<DeviceId>(id)
                                           ? m_pairReq.GetDeviceRecord()
                                           : m_lastNotification;
    OpenPopup(m_progress, MainWindow(), [&] {
        item.SetWatchTarget(m_progress.m_hWnd);
        m_progress.SetDeviceRecord(accepted);
        m_progress.SetOwner(this);
    });
    return 1;
}

CPopupDialog* CDlgItemView::PopupOf(HWND window) {
    if (!window) return nullptr;
    for (CPopupDialog* popup : std::initializer_list<CPopupDialog*>{
             &m_pairReq, &m_forbidPair, &m_redundant, &m_pairFailed, &m_progress, &m_pairHelp, &m_welcome})
        if (popup->m_hWnd == window) return popup;
    return nullptr;
}

LRESULT CDlgItemView::OnShowControlPanel(LPARAM dialog) {
    if (CPopupDialog* popup = PopupOf(reinterpret_cast<HWND>(dialog))) popup->Close();
    m_rbShow = true;
    HWND main = MainWindow();
    if (IsIconic(main))
        ::ShowWindow(main, SW_RESTORE);
    else
        SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    SetForegroundWindow(main);
    return 1;
}

LRESULT CDlgItemView::OnShowPairHelp(LPARAM dialog) {
    OpenPopup(m_pairHelp, MainWindow(), [&] { m_pairHelp.SetOwner(this); });
    if (CPopupDialog* popup = PopupOf(reinterpret_cast<HWND>(dialog))) popup->Close();
    return 1;
}

LRESULT CDlgItemView::OnShowWelcome() {
    OpenPopup(m_welcome, MainWindow(), [&] { m_welcome.SetOwner(this); });
    return 0;
}

// ---- Teardown ----------------------------------------------------------------------------------

LRESULT CDlgItemView::OnDestroy() {
    // No reader thread posts to the view after this; what it posted already is freed unread.
    for (auto& channel : m_channels)
        channel->Close();
    m_channels.clear();
    FreeQueuedNotifyRecords(m_hWnd);
    for (auto& [key, item] : m_receivers)
        item->DestroyWindow();
    m_receivers.clear();
    for (CPopupDialog* popup : std::initializer_list<CPopupDialog*>{&m_forbidPair, &m_pairReq, &m_progress,
                                                                    &m_redundant, &m_pairHelp, &m_welcome})
        popup->Close();
    return CSkinDialog::WindowProc(WM_DESTROY, 0, 0);
}

} // namespace pw
