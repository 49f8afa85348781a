// The portable binding record must call the plug-in entry points exactly as the plug-ins
// export them.
#include <type_traits>
#include "app/menu/MenuDllProc.h"
#include "framework/plugin/FormViewDllApi.h"

namespace qk::app {

static_assert(std::is_same_v<HWND, HWND__*> && std::is_same_v<HMODULE, HINSTANCE__*>);
static_assert(std::is_same_v<CMenuDLLProc::InitializeFn, PFN_FORMVIEWDLL_Initialize>);
static_assert(std::is_same_v<CMenuDLLProc::FinalizeFn, PFN_FORMVIEWDLL_Finalize>);
static_assert(std::is_same_v<CMenuDLLProc::GetActiveViewFn, PFN_FORMVIEWDLL_GetActiveView>);
static_assert(std::is_same_v<CMenuDLLProc::ChangeMenuStateFn, PFN_FORMVIEWDLL_ChangeMenuState>);
static_assert(std::is_same_v<CMenuDLLProc::GetPluginInfoFn, PFN_FORMVIEWDLL_GetPluginInfo>);
static_assert(
    std::is_same_v<CMenuDLLProc::ReadPrinterSettingsFn, PFN_FORMVIEWDLL_ReadPrinterSettings>);
static_assert(
    std::is_same_v<CMenuDLLProc::SetDefaultDataFn, PFN_FORMVIEWDLL_SetDefaltDataToPluginDataMgr>);
static_assert(
    std::is_same_v<CMenuDLLProc::GetDependPluginDataFn, PFN_FORMVIEWDLL_GetDependPluginData>);
static_assert(sizeof(char16_t) == sizeof(WCHAR));

} // namespace qk::app
