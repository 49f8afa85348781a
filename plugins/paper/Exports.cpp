// The entry points that the host binds by name, and the library's start and end.
#include "framework/plugin/PluginExports.h"
#include "plugins/paper/QKUPaperApp.h"

namespace {
qk::paper::CQKUPaperApp theApp;
} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    try {
        if (reason == DLL_PROCESS_ATTACH)
            return theApp.InitInstance() ? TRUE : FALSE;
        if (reason == DLL_PROCESS_DETACH) {
            if (reserved)
                theApp.AbandonAtProcessExit();
            else
                theApp.ExitInstance();
        }
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

extern "C" {

__declspec(dllexport) int32_t WINAPI
    FORMVIEWDLL_Initialize(HWND owner, HWND parent, UtilContext* context) {
    return qk::plugin::Initialize(owner, parent, context);
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_InitializeEngine(UtilContext* context) {
    return qk::plugin::InitializeEngine(context);
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_Finalize() {
    return qk::plugin::Finalize();
}
__declspec(dllexport) void* WINAPI FORMVIEWDLL_GetActiveView() {
    return qk::plugin::GetActiveView();
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_ChangeMenuState(int32_t state) {
    return qk::plugin::ChangeMenuState(state);
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_GetPluginInfo(PluginInfo* info) {
    return qk::plugin::GetPluginInfo(info);
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_ReadPrinterSettings() {
    return qk::plugin::ReadPrinterSettings();
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_SetDefaltDataToPluginDataMgr(uint32_t key) {
    return qk::plugin::SetDefaultData(key);
}
__declspec(dllexport) int32_t WINAPI
    FORMVIEWDLL_GetDependPluginData(DependRecord* list, int32_t* count) {
    return qk::plugin::GetDependData(list, count);
}
}
