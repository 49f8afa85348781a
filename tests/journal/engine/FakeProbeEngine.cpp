// A stand-in device test engine for the journal tests: the two ordinals the plug-in uses,
// and a named call with which a test reads what they were asked.
#include <windows.h>
#include <cstdint>

namespace {
LONG g_creates = 0;
LONG g_releases = 0;
LONG g_fail = 0;
void* g_lastBinding = nullptr;
int g_token = 0;
} // namespace

extern "C" {

// Ordinal 2: an engine for the binding record; null when told to fail.
void* WINAPI CreateEngine(void* binding) {
    ::InterlockedIncrement(&g_creates);
    g_lastBinding = binding;
    return g_fail ? nullptr : &g_token;
}

// Ordinal 3: releases the engine at *handle; a null handle is accepted.
int WINAPI ReleaseEngine(void** handle) {
    ::InterlockedIncrement(&g_releases);
    if (handle)
        *handle = nullptr;
    return 0;
}

__declspec(dllexport) void FakeEngine_Read(LONG* creates, LONG* releases, void** lastBinding) {
    *creates = g_creates;
    *releases = g_releases;
    *lastBinding = g_lastBinding;
}

__declspec(dllexport) void FakeEngine_SetFail(LONG fail) {
    g_fail = fail;
}
}
