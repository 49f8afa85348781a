// The bodies of the exported entry points: each finds this module's controller through its
// application object and answers the no-controller code of its entry point when there is
// none. No exception leaves them.
#pragma once
#include "framework/plugin/FormViewDllApi.h"

namespace qk::plugin {

int32_t Initialize(HWND owner, HWND parent, UtilContext* context); // -1 no controller
int32_t InitializeEngine(UtilContext* context);                    // -1 no controller
int32_t Finalize();                                                // 0 no controller
void* GetActiveView();                                             // null no controller
int32_t ChangeMenuState(int32_t state);                            // -1 no controller
int32_t GetPluginInfo(PluginInfo* info);                           // -6 null, -1 no controller
int32_t ReadPrinterSettings();                                     // -1 no controller
int32_t SetDefaultData(uint32_t key);                              // -1 no controller
int32_t GetDependData(DependRecord* list, int32_t* count);         // -1 no controller

} // namespace qk::plugin
