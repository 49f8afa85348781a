// The library's application object, which makes the settings file page's controller; the
// entry points are the framework's, and the unattended apply's.
#include "framework/plugin/PluginApp.h"
#include "framework/plugin/PageViewCtrl.h"
#include "plugins/settingsfile/SettingsFileView.h"

namespace {
// The page keeps no settings of its own: it works on the blocks the other pages own. Its block
// (0x1000C) holds only its header and one reserved word.
std::unique_ptr<qk::CFormViewCtrl> MakeController() {
    return std::make_unique<qk::CPageViewCtrl>(0x0001000C, 36, []() -> qk::CCommonFormView* {
        return new qk::settingsfile::CSettingsFileView;
    });
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
