// The application object: runs the utility's whole life and ends it with an exit code.
#pragma once
#include "platform/WinApp.h"

namespace qk::app {

class CQKUtilApp : public CWinApp {
public:
    CQKUtilApp() = default;

    bool InitInstance() override;
    int ExitInstance() override;
};

} // namespace qk::app
