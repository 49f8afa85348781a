// What an unattended apply or check found: its exit code, and its result file, one line per
// setting of the file (tab-separated: setting, the file's value, what the printer held before,
// what it holds after, outcome) under a first line with the exit code and what it means. The
// texts are fixed English words for the tools that read the file. Portable.
#pragma once
#include <cstdint>
#include <string>
#include "framework/plugin/UnattendedExitCode.h"
#include "plugins/settingsfile/SettingsFileApply.h"
#include "plugins/settingsfile/SettingsFileCheck.h"

namespace qk::settingsfile {

// After the read of what the printer holds: kUnattendedAlreadyMatching, kUnattendedDiffers,
// or kUnattendedLost when not every setting could be read. A logo graphic cannot be read back
// from a printer, so a file with one never matches for an apply.
int32_t HeldExitCode(const CheckedFile& file, const ApplyReport& held, bool checkOnly);
// After an apply: kUnattendedApplied, kUnattendedNotHeld or kUnattendedLost.
int32_t AppliedExitCode(const ApplyReport& report);

struct UnattendedResult {
    int32_t code = kUnattendedApplied;
    std::u16string detail;   // said after the code's meaning (a refusal's reason, ...)
    std::u16string filePath; // as given
    std::u16string port;     // as given
    bool checkOnly = false;
    bool applied = false; // the file was sent: the lines have an "after" and apply outcomes
    const CheckedFile* file = nullptr;   // null when the file was refused; not owned
    const ApplyReport* report = nullptr; // null when nothing was read; not owned
};

// The result file's text, UTF-8 with CR LF line ends.
std::string ResultFileText(const UnattendedResult& result);
// Why a file was refused, for the first line (a FileCheckResult or kFileUnreadable).
std::u16string RefusalReason(int32_t fileResult);

} // namespace qk::settingsfile
