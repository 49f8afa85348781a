// QKRestoreAppStop.exe and QKRestoreApp.exe: the maker's automatic restore tools, reduced to
// what the utility relies on. The utility starts the first when its main window is up and the
// second at exit; each appends one line, its own file name and the local time, to runs.log in
// %ProgramData%\TARROW\QKRestore\ (or in the folder that QKRESTORE_DATA_DIR names) and ends.
// Windowless: both are one source, told apart by the name they were started under.
#include "maker/common/ToolRunLog.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    return qk::tools::AppendRunLine(
        qk::tools::DataFolder(L"QKRESTORE_DATA_DIR", L"TARROW\\QKRestore"));
}
