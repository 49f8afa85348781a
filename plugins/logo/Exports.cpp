// The library's application object, which makes the logo page's controller; the entry
// points are the framework's.
#include "framework/plugin/PluginApp.h"
#include "plugins/logo/LogoViewCtrl.h"

namespace {
std::unique_ptr<qk::CFormViewCtrl> MakeController() {
    return std::make_unique<qk::logo::CLogoViewCtrl>();
}
qk::CControllerApp theApp(MakeController);
} // namespace

#include "framework/plugin/PluginExportDefinitions.inc"
