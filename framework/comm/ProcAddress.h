// Typed look-up of a library's entry point (by name or by ordinal).
#pragma once
#include <windows.h>

namespace qk::comm {

template <typename T> T GetProcAs(HMODULE module, const char* nameOrOrdinal) {
    // Through void (*)(void), the one function type every other one may be cast from.
    return reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(module, nameOrOrdinal)));
}

} // namespace qk::comm
