// Entry points of the printer information library ("PrinfoLib.dll"), bound by name. The
// library asks the printer through the communication library's binding record.
#pragma once
#include <cstddef>
#include <cstdint>
#include "framework/comm/QkcBinding.h"

namespace qk::comm {

// GetPrinterInformation fills five pointers to NUL-terminated OEM strings, owned by the
// library context and valid until its next call or Finalize.
struct PrinterInformation {
    const char* strings[5]; // 0 maker, 1 printer name, 2 firmware, 3 serial number, 4 fonts
    int32_t reserved;
    int32_t requestMask; // bit n asks for string n; 31 asks for all
};
static_assert(offsetof(PrinterInformation, strings) == 0);
static_assert(offsetof(PrinterInformation, reserved) == 5 * sizeof(void*));
static_assert(offsetof(PrinterInformation, requestMask) == 5 * sizeof(void*) + 4);
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(PrinterInformation) == 28);
#endif

// Called after every exchange with the printer: 1 when it answered, else 0.
using PrinfoCallback = void(QKC_CALL*)(int32_t answered, void* user);

extern "C" {
using PFN_PRINFO_Initialize = void*(QKC_CALL*)(const QkcBinding* binding);
using PFN_PRINFO_Finalize = int32_t(QKC_CALL*)(void** context);
using PFN_PRINFO_GetPrinterName = int32_t(QKC_CALL*)(void* context, char* buffer, int32_t size);
using PFN_PRINFO_GetDeviceID = int32_t(QKC_CALL*)(void* context, int32_t* value);
using PFN_PRINFO_GetPrinterInformation = int32_t(QKC_CALL*)(void* context, PrinterInformation* info,
                                                            int32_t flags);
using PFN_PRINFO_RegisterCallback = int32_t(QKC_CALL*)(void* context, PrinfoCallback proc,
                                                       void* user);
using PFN_PRINFO_UnregisterCallback = int32_t(QKC_CALL*)(void* context);
using PFN_PRINFO_GetPrinterInfo = int32_t(QKC_CALL*)(void* context, int32_t index, char* buffer,
                                                     int32_t size);
}

} // namespace qk::comm
