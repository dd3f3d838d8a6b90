#include "panel/panel_context.h"

#include <vector>

namespace pw {

void RunWithWinExec(const std::wstring& commandLine) {
    const int length = static_cast<int>(commandLine.size());
    const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, commandLine.c_str(), length, nullptr,
                                          0, nullptr, nullptr);
    if (bytes <= 0) return;
    std::vector<char> ansi(static_cast<std::size_t>(bytes) + 1, '\0');
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, commandLine.c_str(), length, ansi.data(), bytes,
                        nullptr, &lossy);
    if (lossy) return;
    WinExec(ansi.data(), SW_SHOW);
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

} // namespace pw
