// What the items of the receiver panel need from the program. The item view owns one and hands it to
// every receiver item, which hands it to its device items; it outlives them all.
#pragma once

#include "framework/wnd.h"

#include <functional>
#include <string>

namespace pw {

// Starts a program from a command line; the program uses RunWithWinExec, tests record the line.
using CommandLauncher = std::function<void(const std::wstring& commandLine)>;

// WinExec with SW_SHOW; the result is not checked. A line the ANSI code page cannot carry
// unchanged is not run.
void RunWithWinExec(const std::wstring& commandLine);

// The system folder (GetSystemDirectoryW) without trailing backslash; empty when unknown.
std::wstring SystemFolder();

struct PanelContext {
    // The application's main window: the activity poll runs only while it is visible, and the
    // removal confirmation runs modally over it.
    CWnd& mainWindow;
    // The "DebugMode" switch: every opened receiver is asked for its debug reports.
    bool debugMode = false;
    CommandLauncher launch = RunWithWinExec;
    // Set while one receiver item's activity pass runs, so that no other starts inside it.
    bool activityBusy = false;
};

} // namespace pw
