// The item view: the scrolling list of receivers inside the main window and the dispatcher of receiver
// events. It owns the receiver items (keyed by lower-cased command-interface path), the notification
// channels, the no-receiver tip and one object of every pop-up of the pairing flow, and answers what
// those pop-ups post back. User-interface thread only; the channels' reader threads only post to it.
#pragma once

#include "diag/debug_dlg.h"
#include "dialogs/connection_dlgs.h"
#include "dialogs/guidance_dlgs.h"
#include "dialogs/pair_outcome_dlgs.h"
#include "dialogs/pair_progress_dlg.h"
#include "dialogs/pair_req_dlg.h"
#include "panel/item_view.h"
#include "panel/item_view_rules.h"
#include "panel/panel_context.h"
#include "panel/receiver_item.h"
#include "receiver/notify_pipe.h"
#include "skin/skin_scrollbar.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pw {

// What the item view needs from the program.
struct ItemViewSetup {
    CWnd& mainWindow;          // pop-ups are centred on it; shown again on request
    bool& show;                // the application's show flag: set when the main window is asked for
    bool debugMode = false;    // "DebugMode": debug reports and their dialog
    std::wstring moduleFolder; // the program folder, where the debug log is saved
    IWelcomeSwitch& welcomeSwitch;
    CommandLauncher launch = RunWithWinExec;
    SaveErrorReporter reportSaveError = ShowSaveErrorBox;
};

class CDlgItemView final : public CSkinDialog,
                           public CMultiLanguage,
                           public IMainItemView,
                           public IPopupOwner {
public:
    explicit CDlgItemView(const ItemViewSetup& setup);
    ~CDlgItemView() override;

    // Discovery's operations.
    bool AddReceiver(const std::wstring& path) override;
    bool RemoveReceiver(const std::wstring& path) override;
    void AddNotifyChannel(const std::wstring& path) override;
    bool RemoveNotifyChannel(const std::wstring& path) override;

    void SetPostingEnabled(bool enabled) override;
    void RefreshAllReceivers() override;
    void StopAllPairing() override;
    // Stacks the receiver items from the scroll offset and sets the scroll bar to fit.
    void RelayoutItems();
    void ScrollByWheel(bool down);

    HWND AnswerWindow() const override { return m_hWnd; }
    HWND MainWindow() const override { return m_mainWindow.m_hWnd; }

    int ReceiverCount() const { return m_nReceivers; }
    std::size_t ChannelCount() const { return m_channels.size(); }
    int ScrollOffset() const { return m_nScrollOffset; }
    // In map order.
    std::vector<CDlgReceiverItem*> Receivers() const;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void ApplyTexts() override;
    // Enter and Escape never end the view.
    void OnOK() override {}
    void OnCancel() override {}

private:
    LRESULT OnReceiverNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnPairAnswer(WPARAM id, LPARAM accept);
    LRESULT OnShowControlPanel(LPARAM dialog);
    LRESULT OnShowPairHelp(LPARAM dialog);
    LRESULT OnShowWelcome();
    LRESULT OnVScroll(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy();

    view::DispatchState State() const;
    void OpenDebug();
    // The pop-up whose window this is, or nullptr.
    CPopupDialog* PopupOf(HWND window);
    void ShowTip();
    view::ScrollState ReadScrollBar();

    CWnd& m_mainWindow;
    bool& m_rbShow;
    PanelContext m_panel;
    std::map<std::wstring, std::unique_ptr<CDlgReceiverItem>> m_receivers;
    std::vector<std::unique_ptr<CNotifyPipe>> m_channels;
    int m_nReceivers = 0;
    DeviceSlotRecord m_lastNotification{};
    bool m_bDispatching = false;
    int m_nScrollOffset = 0;
    int m_nLineStep = 1;

    CSkinScrollBar m_scrollBar;
    CDlgNoDongleTip m_tip;
    CDlgPairReq m_pairReq;
    CDlgForbidPair m_forbidPair;
    CDlgRedundant m_redundant;
    CDlgPairFailed m_pairFailed;
    CDlgPairProgress m_progress;
    CDlgPairHelp m_pairHelp;
    CDlgWelcome m_welcome;
    CDlgDebug m_debug;
};

} // namespace pw
