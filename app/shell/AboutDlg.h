// The about box of the system menu.
#pragma once
#include "platform/Dialog.h"

namespace qk::app {

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};

} // namespace qk::app
