// Message pumping for tests and scripted runs: wait for a condition while messages flow, with a deadline.
#pragma once

#include <windows.h>

#include <functional>

namespace fw {

// Dispatches the messages of this thread until done() is true or timeoutMs has passed; true when done.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Dispatches every message already queued for this thread.
void PumpPending();

} // namespace fw
