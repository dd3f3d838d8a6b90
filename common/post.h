// The one road from worker threads to the user-interface thread: a heap payload posted with a
// window message. The receiving window owns and frees it; a post that fails frees it at once.
#pragma once

#include "common/types.h"

#include <cstdint>
#include <memory>

namespace pw {

// Queues a message for a window; false when it could not be queued. On Windows this is
// PostMessageW; native builds install their own (tests record the messages).
using PostMessageFn = bool (*)(WindowHandle window, unsigned message, std::uintptr_t wParam,
                               std::intptr_t lParam);

// Returns the function it replaces, so that a test can put it back.
PostMessageFn SetPostMessage(PostMessageFn post);
bool PostToWindow(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

template <class T>
bool PostOwned(WindowHandle window, unsigned message, std::unique_ptr<T> payload, std::intptr_t lParam) {
    if (!PostToWindow(window, message, reinterpret_cast<std::uintptr_t>(payload.get()), lParam)) return false;
    payload.release(); // now owned by the message's handler
    return true;
}

// The same for a message that carries its payload in lParam.
template <class T>
bool PostOwnedInLParam(WindowHandle window, unsigned message, std::uintptr_t wParam,
                       std::unique_ptr<T> payload) {
    if (!PostToWindow(window, message, wParam, reinterpret_cast<std::intptr_t>(payload.get()))) return false;
    payload.release();
    return true;
}

// The handler's side: takes ownership of a payload that arrived as wParam (or lParam).
template <class T> std::unique_ptr<T> TakeOwned(std::uintptr_t value) {
    return std::unique_ptr<T>(reinterpret_cast<T*>(value));
}

} // namespace pw
