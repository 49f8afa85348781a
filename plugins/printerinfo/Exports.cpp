// The library's application object, which makes the printer information page's controller;
// the entry points are the framework's.
#include "framework/plugin/PluginApp.h"
#include "framework/plugin/PageViewCtrl.h"
#include "plugins/printerinfo/PrinterInfoView.h"

namespace {
// The page keeps no settings of its own: it shows the printer information block the settings
// read writes. Its block (0x1000D) holds only its header and one reserved word.
std::unique_ptr<qk::CFormViewCtrl> MakeController() {
    return std::make_unique<qk::CPageViewCtrl>(0x0001000D, 36, []() -> qk::CCommonFormView* {
        return new qk::printerinfo::CPrinterInfoView;
    });
}
qk::CControllerApp theApp(MakeController);
} // namespace

#include "framework/plugin/PluginExportDefinitions.inc"
