// The binding record of the communication library: the library handle and one entry point per
// "QKC_" name. One per run, owned by the application; separately built libraries (plug-ins,
// the device test engine, the printer information library) receive it by pointer, so its
// layout is fixed.
#pragma once
#include <cstddef>
#include "framework/comm/QkcEntryPoints.h"

namespace qk::comm {

struct QkcBinding {
    void* module; // the loaded library; null when unbound
#define QKC_BINDING_MEMBER(name) PFN_QKC_##name QKC_##name;
    QKC_ENTRY_POINTS(QKC_BINDING_MEMBER)
#undef QKC_BINDING_MEMBER
};

static_assert(sizeof(QkcBinding) == sizeof(void*) * (1 + kQkcEntryPointCount));
static_assert(offsetof(QkcBinding, QKC_EnumPort) == sizeof(void*) * 1);
static_assert(offsetof(QkcBinding, QKC_Read) == sizeof(void*) * 21);
static_assert(offsetof(QkcBinding, QKC_Write) == sizeof(void*) * 22);
static_assert(offsetof(QkcBinding, QKC_GetCaller) == sizeof(void*) * 46);
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(QkcBinding) == 188);
#endif

// True when every entry point is present.
inline bool IsBound(const QkcBinding* binding) {
    if (!binding || !binding->module)
        return false;
#define QKC_BINDING_CHECK(name)                                                                    \
    if (!binding->QKC_##name)                                                                      \
        return false;
    QKC_ENTRY_POINTS(QKC_BINDING_CHECK)
#undef QKC_BINDING_CHECK
    return true;
}

} // namespace qk::comm
