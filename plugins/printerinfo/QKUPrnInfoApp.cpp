#include "plugins/printerinfo/QKUPrnInfoApp.h"

#include "framework/plugin/PageViewCtrl.h"
#include "plugins/printerinfo/PrinterInfoView.h"

namespace qk::printerinfo {

CQKUPrnInfoApp::~CQKUPrnInfoApp() {
    ExitInstance();
}

bool CQKUPrnInfoApp::InitInstance() {
    // The page keeps no settings of its own: it shows the printer information block the
    // settings read writes. Its block (0x1000D) holds only its header and one reserved word.
    m_controller = std::make_unique<CPageViewCtrl>(
        0x0001000D, 36, []() -> CCommonFormView* { return new CPrinterInfoView; });
    return true;
}

} // namespace qk::printerinfo
