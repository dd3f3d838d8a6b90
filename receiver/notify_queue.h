// For the window that receives WM_RECEIVER_NOTIFY: records still queued for it when it is destroyed
// would never reach its handler, so its WM_DESTROY frees them here. Windows only.
#pragma once

#include "common/types.h"

#include <cstddef>

namespace pw {

// Removes every queued WM_RECEIVER_NOTIFY of the window and frees its record; returns how many.
// Call on the window's own thread.
std::size_t FreeQueuedNotifyRecords(WindowHandle window);

} // namespace pw
