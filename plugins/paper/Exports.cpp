// The library's application object, which makes the paper page's controller; the entry
// points are the framework's.
#include "framework/plugin/PluginApp.h"
#include "plugins/paper/PaperViewCtrl.h"

namespace {
std::unique_ptr<qk::CFormViewCtrl> MakeController() {
    return std::make_unique<qk::paper::CPaperViewCtrl>();
}
qk::CControllerApp theApp(MakeController);
} // namespace

#include "framework/plugin/PluginExportDefinitions.inc"
