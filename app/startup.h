// The steps of start-up that stand on their own: finding a running instance, the window class, the
// program folder and the command-line switches.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace pw {

// A window of the main window's class, i.e. a running instance; nullptr when there is none.
HWND FindRunningInstance();

// Lets WM_SHOW_CONTROL_PANEL through the user-interface privilege filter where the system has one.
void AllowShowControlPanelMessage();

// Registers the main window's class as a copy of the dialog class under its own name.
bool RegisterMainWindowClass(HINSTANCE instance);

// Folder of the program file without the trailing backslash, made the current directory.
std::wstring EnterModuleFolder();

struct StartupSwitches {
    bool show = true;
    bool debugMode = false;
};

// Each switch matches a whole argument, ignoring case; no prefix character.
struct SwitchRule {
    const wchar_t* name;
    bool StartupSwitches::*flag;
    bool value;
};
inline constexpr SwitchRule kSwitchRules[] = {
    {L"NoShow", &StartupSwitches::show, false},
    {L"DebugMode", &StartupSwitches::debugMode, true},
};

// Every argument is examined, the program path included; others are ignored.
StartupSwitches ParseSwitches(const std::vector<std::wstring>& arguments);

} // namespace pw
