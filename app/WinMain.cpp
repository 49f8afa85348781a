#include <windows.h>
#include "app/shell/QKUtilApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    qk::app::CQKUtilApp app;
    return app.RunApplication(instance, commandLine);
}
