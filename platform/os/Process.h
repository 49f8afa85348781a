// Starting programs and waiting for them, behind a seam.
#pragma once
#include <cstdint>
#include <string>

namespace qk::os {

// Opaque process handle; 0 is none.
using ProcessId = std::uintptr_t;

enum class WaitResult { Ended, TimedOut, Failed };

class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;

    // The shell's "open" action; no handle is kept. True when the shell accepted it.
    virtual bool ShellOpen(const std::u16string& file, const std::u16string& parameters,
                           const std::u16string& directory) = 0;
    // Starts a program and keeps its handle for Wait/ExitCode/Close; 0 on failure.
    virtual ProcessId Start(const std::u16string& file, const std::u16string& parameters,
                            const std::u16string& directory) = 0;
    virtual WaitResult Wait(ProcessId process, uint32_t timeoutMs) = 0;
    virtual bool ExitCode(ProcessId process, uint32_t& code) = 0;
    virtual void Close(ProcessId process) = 0;
};

} // namespace qk::os
