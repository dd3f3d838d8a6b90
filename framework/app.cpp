#include "framework/app.h"

#include <shellapi.h>

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() {
    return g_app;
}

int RunApplication(CWinApp& app, HINSTANCE instance) {
    app.m_hInstance = instance;
    int count = 0;
    if (LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count)) {
        app.m_arguments.assign(args, args + count);
        LocalFree(args);
    }
    // A dialog-based program runs its whole life inside InitInstance; there is no loop after it.
    app.InitInstance();
    return app.ExitInstance();
}
