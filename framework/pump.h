// Message delivery shared by the modal loop and the pumps of tests and scripted runs.
#pragma once

#include <windows.h>

#include <functional>

namespace fw {

// Delivers one retrieved message as the program's loop does: when the top-level window of its target
// is a dialog of ours, the dialog's keyboard handling (IsDialogMessageW: Tab, Enter, Escape,
// mnemonics) sees it first; anything else is translated and dispatched.
void RouteMessage(MSG& msg);

// Delivers the messages of this thread until done() is true or timeoutMs has passed; true when done.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Delivers every message already queued for this thread.
void PumpPending();

} // namespace fw
