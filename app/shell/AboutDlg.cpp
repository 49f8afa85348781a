#include "app/shell/AboutDlg.h"

#include "resource.h"

namespace qk::app {

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

} // namespace qk::app
