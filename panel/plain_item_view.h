// Stands in for the item view until the receiver panel exists: it keeps an open command channel per
// receiver (keyed by lower-cased path) and the notification channels, honouring the contract discovery
// relies on, but shows nothing. Notification records go to the target window, which frees them.
#pragma once

#include "panel/item_view.h"
#include "receiver/cmd_pipe.h"
#include "receiver/notify_pipe.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pw {

class CPlainItemView final : public IMainItemView {
public:
    void SetTarget(WindowHandle window) { m_hTarget = window; }

    bool AddReceiver(const std::wstring& path) override;
    bool RemoveReceiver(const std::wstring& path) override;
    void AddNotifyChannel(const std::wstring& path) override;
    bool RemoveNotifyChannel(const std::wstring& path) override;
    void SetPostingEnabled(bool enabled) override;
    // Nothing is shown, so there is nothing to bring up to date.
    void RefreshAllReceivers() override {}
    void StopAllPairing() override;

    // Closes every channel (and joins its reader thread) while the target window still exists.
    void CloseAll();

private:
    WindowHandle m_hTarget = nullptr;
    std::map<std::wstring, std::unique_ptr<CCmdPipe>> m_receivers;
    std::vector<std::unique_ptr<CNotifyPipe>> m_channels;
};

} // namespace pw
