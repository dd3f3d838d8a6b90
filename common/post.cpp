#include "common/post.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#endif

namespace pw {
namespace {

#ifdef _WIN32
bool PostWithWindows(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    return PostMessageW(window, message, wParam, lParam) != FALSE;
}
std::atomic<PostMessageFn> g_post{&PostWithWindows};
#else
bool PostNowhere(WindowHandle, unsigned, std::uintptr_t, std::intptr_t) {
    return false;
}
std::atomic<PostMessageFn> g_post{&PostNowhere};
#endif

} // namespace

PostMessageFn SetPostMessage(PostMessageFn post) {
    return g_post.exchange(post);
}

bool PostToWindow(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    return g_post.load()(window, message, wParam, lParam);
}

} // namespace pw
