// What a pop-up of the pairing flow needs from the window that opens it (the item view): where its
// answers go, the main window it is centred on, and stopping pairing on every receiver.
#pragma once

#include <windows.h>

namespace pw {

class IPopupOwner {
public:
    // The window the pop-ups post their answers to. WM_SHOW_CONTROL_PANEL and WM_SHOW_PAIR_HELP carry
    // the posting pop-up's window handle in lParam.
    virtual HWND AnswerWindow() const = 0;
    // The window pop-ups are centred on while it is visible and not minimised; may be null.
    virtual HWND MainWindow() const = 0;
    // Every receiver sends its stop-pairing command and ends its pairing watch.
    virtual void StopAllPairing() = 0;

protected:
    ~IPopupOwner() = default;
};

} // namespace pw
