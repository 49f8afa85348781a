// The library's application object, which makes the printer information page's controller;
// the entry points are the framework's.
#include "framework/plugin/PluginApp.h"
#include "framework/plugin/PageViewCtrl.h"
#include "plugins/printerinfo/PrinterInfoView.h"

namespace {
// The page shows the printer information block the settings read writes.
std::unique_ptr<qk::CFormViewCtrl> MakeController() {
    return qk::MakeHeaderOnlyPageCtrl<qk::printerinfo::CPrinterInfoView>(0x0001000D);
}
qk::CControllerApp theApp(MakeController);
} // namespace

#include "framework/plugin/PluginExportDefinitions.inc"
