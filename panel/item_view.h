// What the main window asks of the item view beyond discovery's four operations.
#pragma once

#include "receiver/discovery.h"

namespace pw {

class IMainItemView : public IItemView {
public:
    // The console session went away (false) or came back (true): every notification channel.
    virtual void SetPostingEnabled(bool enabled) = 0;
    virtual void RefreshAllReceivers() = 0;
    // Command 0x0B to every receiver.
    virtual void StopAllPairing() = 0;

protected:
    ~IMainItemView() = default;
};

} // namespace pw
