// The exports every plug-in library offers to the host, bound by name. Plain data only
// crosses this boundary: the two sides are built separately.
#pragma once
#include <cstdint>
#include <windows.h>

struct UtilContext;

// Names a data block of the plug-in data manager: key, version, size with header.
struct PluginInfo {
    uint32_t key;
    uint32_t version;
    uint32_t size;
};
static_assert(sizeof(PluginInfo) == 12);
static_assert(offsetof(PluginInfo, version) == 4 && offsetof(PluginInfo, size) == 8);

using DependRecord = PluginInfo;

// Menu states of FORMVIEWDLL_ChangeMenuState.
enum : int32_t { kMenuStateLeave = 1, kMenuStateShow = 2, kMenuStateFocus = 3 };

extern "C" {
using PFN_FORMVIEWDLL_Initialize = int32_t(WINAPI*)(HWND owner, HWND parent, UtilContext* context);
using PFN_FORMVIEWDLL_InitializeEngine = int32_t(WINAPI*)(UtilContext* context);
using PFN_FORMVIEWDLL_Finalize = int32_t(WINAPI*)();
using PFN_FORMVIEWDLL_GetActiveView = void*(WINAPI*)();
using PFN_FORMVIEWDLL_ChangeMenuState = int32_t(WINAPI*)(int32_t state);
using PFN_FORMVIEWDLL_GetPluginInfo = int32_t(WINAPI*)(PluginInfo* info);
using PFN_FORMVIEWDLL_ReadPrinterSettings = int32_t(WINAPI*)();
using PFN_FORMVIEWDLL_SetDefaltDataToPluginDataMgr = int32_t(WINAPI*)(uint32_t key);
using PFN_FORMVIEWDLL_GetDependPluginData = int32_t(WINAPI*)(DependRecord* list, int32_t* count);
}
