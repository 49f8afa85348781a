// The library's application object; the entry points are the framework's, and the
// unattended apply's.
#include "plugins/settingsfile/QKUSetFileApp.h"

namespace {
qk::settingsfile::CQKUSetFileApp theApp;
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
