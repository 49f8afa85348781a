#include "plugins/printerinfo/QKUPrnInfoApp.h"

#include "plugins/printerinfo/PrinterInfoViewCtrl.h"

namespace qk::printerinfo {

CQKUPrnInfoApp::~CQKUPrnInfoApp() {
    ExitInstance();
}

bool CQKUPrnInfoApp::InitInstance() {
    m_controller = std::make_unique<CPrinterInfoViewCtrl>();
    return true;
}

} // namespace qk::printerinfo
