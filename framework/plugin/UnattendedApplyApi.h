// The unattended apply and check of a settings command file, for deployment tools that run the
// utility with arguments and read its exit code: the utility opens the printer, the settings
// file library does the rest and writes the result file. Plain data only crosses the boundary.
#pragma once
#include <cstddef>
#include <cstdint>
#include <windows.h>
#include "framework/plugin/UnattendedExitCode.h"

struct UtilContext;

// Opens the printer for the run, after the file passed its check: 0, or the exit code to end
// with (kUnattendedNoPrinter). On success the context's port record holds the reported model.
using PFN_UnattendedOpenPrinter = int32_t(WINAPI*)(void* user);

struct UnattendedRequest {
    uint32_t size;            // sizeof(UnattendedRequest)
    const char16_t* filePath; // the settings command file
    const char16_t* port;     // as given on the command line, for the result file
    const char16_t* resultPath;
    int32_t checkOnly; // 1: compare only, change nothing
    PFN_UnattendedOpenPrinter openPrinter;
    void* openUser; // handed to openPrinter; not owned
};

static_assert(offsetof(UnattendedRequest, filePath) == sizeof(void*));
static_assert(offsetof(UnattendedRequest, checkOnly) == 4 * sizeof(void*));
#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(UnattendedRequest) == 28);
#endif

extern "C" {
// Runs the whole apply or check and answers its exit code.
using PFN_SETFILEDLL_RunUnattended = int32_t(WINAPI*)(UtilContext* context,
                                                      const UnattendedRequest* request);
}
inline constexpr char kRunUnattendedExport[] = "SETFILEDLL_RunUnattended";
inline constexpr wchar_t kSettingsFileLibrary[] = L"QKUSETFILESTG.dll";
