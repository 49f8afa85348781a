// Starting programs and waiting for them, behind a seam.
#pragma once
#include <cstdint>
#include <string>

namespace qk::os {

// Opaque process handle; 0 is none.
using ProcessId = std::uintptr_t;

enum class WaitResult { Ended, TimedOut, Failed };
// Failed: the program has no message loop (a console program), has ended, or the handle is
// not valid.
enum class ReadyResult { Ready, TimedOut, Failed };

class IProcessLauncher {
public:
    virtual ~IProcessLauncher() = default;

    // The longest wait; waits are always bounded.
    static constexpr uint32_t kLongestWaitMs = 0xFFFFFFFE;

    // The shell's "open" action, shown normally; no handle is kept. True when the shell
    // accepted it. An empty directory is the current one.
    virtual bool ShellOpen(const std::u16string& file, const std::u16string& parameters,
                           const std::u16string& directory) = 0;
    // The shell's "open" action keeping the started process for Wait/ExitCode/Close; 0 when
    // it failed or the shell handed the file to a program already running.
    virtual ProcessId ShellOpenProcess(const std::u16string& file, const std::u16string& parameters,
                                       const std::u16string& directory) = 0;
    // Starts a program (command line: the quoted file, a blank and the parameters) and
    // keeps its handle for Wait/ExitCode/Close; 0 on failure.
    virtual ProcessId Start(const std::u16string& file, const std::u16string& parameters,
                            const std::u16string& directory) = 0;
    // Starts a program from a whole command line, taken as it is; 0 on failure.
    virtual ProcessId StartCommandLine(const std::u16string& commandLine,
                                       const std::u16string& directory) = 0;
    // Waits for the end, at most timeoutMs (capped at kLongestWaitMs).
    virtual WaitResult Wait(ProcessId process, uint32_t timeoutMs) = 0;
    // Waits until the program waits for input (its first message loop is idle), at most
    // timeoutMs.
    virtual ReadyResult WaitUntilReady(ProcessId process, uint32_t timeoutMs) = 0;
    // The exit code once it has ended; false while it runs.
    virtual bool ExitCode(ProcessId process, uint32_t& code) = 0;
    // The system's process identifier (for finding its windows); 0 when unknown.
    virtual uint32_t SystemId(ProcessId process) = 0;
    // Ends the program at once with the given exit code.
    virtual bool Terminate(ProcessId process, uint32_t exitCode) = 0;
    // Releases the handle; the program goes on running.
    virtual void Close(ProcessId process) = 0;
};

} // namespace qk::os
