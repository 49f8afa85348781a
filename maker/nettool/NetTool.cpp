// TNConfig.exe: the maker's network configuration tool, reduced to what the add-port dialog
// relies on: it runs, records that it ran, and ends. Windowless.
#include "maker/common/ToolRunLog.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    const int result = qk::tools::RecordRun();
    qk::tools::HoldIfAsked();
    return result;
}
