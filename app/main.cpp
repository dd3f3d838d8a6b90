#include "app/main_app.h"
#include "common/trace.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // DLLs loaded at run time come from the system folder or the program's own, never the current folder.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_APPLICATION_DIR);
    wchar_t trace[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(pw::trace::kEnvironmentVariable, trace, MAX_PATH);
    if (length > 0 && length < MAX_PATH) pw::trace::Start(trace);
    pw::CMainApp app;
    return RunApplication(app, instance);
}
