#include <windows.h>
#include "app/shell/QKUtilApp.h"
#include "platform/LibraryLoader.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    // The program runs with administrator rights: no library comes from the folder it was
    // started in.
    qk::RestrictLibrarySearch();
    qk::app::CQKUtilApp app;
    return app.RunApplication(instance, commandLine);
}
