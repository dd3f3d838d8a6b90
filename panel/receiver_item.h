// The entry of one plugged-in receiver in the item view: its name, firmware version, hardware ID and
// device counts, with one device item per paired device and the add-device item listed under it. It
// owns the receiver's command channel, keeps the list in step with the receiver's slots, polls the
// devices' activity (timer 9), unpairs on request and runs the pairing watch (timer 11).
// User-interface thread only.
#pragma once

#include "panel/device_item.h"
#include "panel/list_item.h"
#include "panel/panel_context.h"
#include "receiver/cmd_pipe.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

class CDlgReceiverItem final : public CSkinDialog, public CMultiLanguage {
public:
    static constexpr UINT_PTR kActivityTimer = 9;
    static constexpr UINT_PTR kPairingWatchTimer = 11;
    static constexpr UINT kTimerPeriodMs = 1000;

    explicit CDlgReceiverItem(PanelContext& context);
    ~CDlgReceiverItem() override;

    // The receiver hardware ID cut from the device path (vid_vvvv&pid_pppp); given before OpenReceiver.
    void SetHardwareId(std::wstring_view text);
    const std::wstring& HardwareId() const { return m_strHardwareId; }
    // Once the window exists (a child of the item view): opens the command channel, lists the
    // add-device item, shows the receiver, refreshes and starts the activity poll. A receiver that
    // cannot be opened shows the error text and nothing else.
    void OpenReceiver(const std::wstring& path);
    // Stops the activity poll and closes the command channel (the receiver was pulled out).
    void CloseReceiver();
    // Re-reads the slots: new devices listed just above "Add New Device", vanished ones dropped.
    void Refresh();

    const CCmdPipe& Channel() const { return m_pipe; }
    bool AnswerPairRequest(DeviceId id, bool accept) { return m_pipe.AnswerPairRequest(id, accept); }
    // Command 0x0B when the channel is open; ends the pairing watch in any case.
    bool StopPairing();

    // The pairing watch: the device to wait for (the tick count starts again), the window told of the
    // outcome (WM_PAIRING_RESULT) and the start of the one-second ticks.
    void SetWatchedDevice(DeviceId id);
    void SetWatchTarget(HWND target) { m_hWatchTarget = target; }
    void StartPairingWatch();

    // Expanded, the list items are shown under the receiver (background 1); collapsed they are hidden.
    void SetExpanded(bool expanded);
    bool IsExpanded() const { return m_bExpanded; }
    // Device items in the order they appeared, then the add-device item.
    std::vector<CDlgItem*> ListItems() const;
    ui::Size GetTotalSize() const;
    // (x, y) in the item view's client coordinates; moves the list items along while expanded.
    void MoveTo(int x, int y);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void ApplyTexts() override;
    // Enter and Escape never end the entry.
    void OnOK() override {}
    void OnCancel() override {}

private:
    using DeviceList = std::vector<std::unique_ptr<CDlgDeviceItem>>;

    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnRemoveDevice(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy();

    void ActivityPass();
    void WatchTick();
    void EndWatch();
    DeviceList::iterator FindDevice(DeviceId id);
    // Destroys the item, tells the item view to stack its rows again and repaints the last row; returns
    // the position after it.
    DeviceList::iterator DropDevice(DeviceList::iterator device);
    void ToggleHardwareId();

    PanelContext& m_context;
    CCmdPipe m_pipe;
    DeviceList m_devices;
    std::unique_ptr<CDlgAddNewDev> m_addNewDev;
    bool m_bExpanded = false;
    std::wstring m_strHardwareId;
    bool m_bHardwareIdShown = false;
    std::wstring m_strKeyboards;
    std::wstring m_strMice;
    DeviceId m_watchedId = 0;
    HWND m_hWatchTarget = nullptr;
    int m_nWatchTicks = 0;
    bool m_bWatching = false;

    CSkinStatic m_stName;
    CSkinStatic m_stFirmwareLabel;
    CSkinStatic m_stFirmware;
    CSkinStatic m_stPairedLabel;
    CSkinStatic m_stPaired;
    CSkinStatic m_stHardwareIdLabel;
    CSkinStatic m_stHardwareId;
    CSkinBitmap m_picPaired;
    CSkinButton m_btnPicture;
};

} // namespace pw
