// The two small libraries of the maker: the device test engine ("ProbeEngine.dll", bound by
// ordinal) and the port configuration library ("PortCfgLib.DLL", bound by name).
#pragma once
#include <cstdint>
#include "framework/comm/QkcBinding.h"

namespace qk::comm {

inline constexpr int kProbeEngineCreateOrdinal = 2;
inline constexpr int kProbeEngineReleaseOrdinal = 3;

extern "C" {
// Ordinal 2: a usable engine for the binding record, or 0.
using PFN_ProbeEngineCreate = uintptr_t(QKC_CALL*)(const QkcBinding* binding);
// Ordinal 3: releases *handle and clears it; a cleared handle is accepted.
using PFN_ProbeEngineRelease = int32_t(QKC_CALL*)(uintptr_t* handle);

// 0 on success; item 0 is the port's kind (3: a USB printer).
using PFN_PCS_GetPortCfgLibNumber = int32_t(QKC_CALL*)(int32_t reserved, const char16_t* port,
                                                       int32_t item, int32_t* value);
// 0 on success; *size is the buffer size in bytes, set to the bytes needed when too small.
// Item 1 is the port's target.
using PFN_PCS_GetPortCfgLibString = int32_t(QKC_CALL*)(int32_t reserved, const char16_t* port,
                                                       int32_t item, int32_t* size,
                                                       char16_t* buffer);
}

} // namespace qk::comm
