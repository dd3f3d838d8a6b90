#include "app/main_app.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    pw::CMainApp app;
    return RunApplication(app, instance);
}
