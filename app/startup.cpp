#include "app/startup.h"

#include "common/types.h"
#include "framework/handles.h"

namespace pw {

HWND FindRunningInstance() {
    return FindWindowW(kMainWindowClass, nullptr);
}

void AllowShowControlPanelMessage() {
    using FilterFn = BOOL(WINAPI*)(UINT, DWORD);
    fw::UniqueModule user32(LoadLibraryW(L"user32.dll"));
    if (!user32) return;
    auto filter = reinterpret_cast<FilterFn>(
        reinterpret_cast<void*>(GetProcAddress(user32.get(), "ChangeWindowMessageFilter")));
    if (filter) filter(WM_SHOW_CONTROL_PANEL, MSGFLT_ADD);
}

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSW wc{};
    if (!GetClassInfoW(instance, L"#32770", &wc)) return false;
    wc.lpszClassName = kMainWindowClass;
    return RegisterClassW(&wc) != 0;
}

std::wstring EnterModuleFolder() {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring folder(buffer, length < MAX_PATH ? length : MAX_PATH);
    if (const auto slash = folder.rfind(L'\\'); slash != std::wstring::npos) folder.resize(slash);
    SetCurrentDirectoryW(folder.c_str());
    return folder;
}

StartupSwitches ParseSwitches(const std::vector<std::wstring>& arguments) {
    StartupSwitches switches;
    for (const std::wstring& argument : arguments) {
        for (const SwitchRule& rule : kSwitchRules) {
            if (lstrcmpiW(argument.c_str(), rule.name) == 0) switches.*rule.flag = rule.value;
        }
    }
    return switches;
}

} // namespace pw
