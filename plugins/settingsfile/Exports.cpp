// The library's application object, which makes the settings file page's controller; the
// entry points are the framework's, and the unattended apply's.
#include "framework/plugin/PluginApp.h"
#include "framework/plugin/PageViewCtrl.h"
#include "plugins/settingsfile/SettingsFileView.h"

namespace {
// The page works on the blocks the other pages own.
std::unique_ptr<qk::CFormViewCtrl> MakeController() {
    return qk::MakeHeaderOnlyPageCtrl<qk::settingsfile::CSettingsFileView>(0x0001000C);
}
qk::CControllerApp theApp(MakeController);
} // namespace

#include "framework/plugin/PluginExportDefinitions.inc"

#include "plugins/settingsfile/UnattendedRun.h"

extern "C" __declspec(dllexport) int32_t WINAPI
    SETFILEDLL_RunUnattended(UtilContext* context, const UnattendedRequest* request) {
    if (!context || !request || request->size < sizeof(UnattendedRequest))
        return kUnattendedBadCommandLine;
    try {
        return qk::settingsfile::RunUnattended(*context, *request);
    } catch (...) {
        return kUnattendedFailed;
    }
}
