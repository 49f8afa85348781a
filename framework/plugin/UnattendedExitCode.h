// The exit codes of the utility's unattended apply and check of a settings command file, which
// deployment tools read. Portable.
#pragma once
#include <cstdint>

// Exit codes of an unattended run (/a apply, /c check only). Start-up's own failures keep the
// codes they have in the described-printer mode.
enum UnattendedExitCode : int32_t {
    kUnattendedApplied = 0,          // applied, and every setting reads back as the file sets it
    kUnattendedNotAdministrator = 1, // no administrator rights
    kUnattendedFilesMissing = 3,     // the communication or the settings file library is missing
    kUnattendedAlreadyMatching = 10, // the printer already held every setting; nothing was sent
    kUnattendedDiffers = 11,         // check only: the printer holds other settings
    kUnattendedFileRefused = 12,     // unreadable, damaged, cut, foreign or another model's file
    kUnattendedNoPrinter = 13,       // port not found or in use, no answer, or another model
    kUnattendedLost = 14,            // the printer stopped answering part-way
    kUnattendedNotHeld = 15,         // sent whole, yet some settings read back otherwise
    kUnattendedBadCommandLine = 16,  // /a and /c together, or no /o port
    kUnattendedFailed = 17,          // the run itself failed (out of memory)
};
