// The nine entry points that the host binds by name. Until the journal's page controller
// exists, every call answers the no-controller code of its entry point.
#include "framework/plugin/FormViewDllApi.h"

extern "C" {

__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_Initialize(HWND, HWND, UtilContext*) {
    return -1;
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_InitializeEngine(UtilContext*) {
    return -1;
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_Finalize() {
    return 0;
}
__declspec(dllexport) void* WINAPI FORMVIEWDLL_GetActiveView() {
    return nullptr;
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_ChangeMenuState(int32_t) {
    return -1;
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_GetPluginInfo(PluginInfo* info) {
    return info ? -1 : -6;
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_ReadPrinterSettings() {
    return -1;
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_SetDefaltDataToPluginDataMgr(uint32_t) {
    return -1;
}
__declspec(dllexport) int32_t WINAPI FORMVIEWDLL_GetDependPluginData(DependRecord*, int32_t*) {
    return -1;
}
}
