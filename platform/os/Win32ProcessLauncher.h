// IProcessLauncher over ShellExecuteExW and CreateProcessW; a ProcessId is the process
// handle.
#pragma once
#include "platform/os/Process.h"

namespace qk::os {

class Win32ProcessLauncher : public IProcessLauncher {
public:
    bool ShellOpen(const std::u16string& file, const std::u16string& parameters,
                   const std::u16string& directory) override;
    ProcessId ShellOpenProcess(const std::u16string& file, const std::u16string& parameters,
                               const std::u16string& directory) override;
    ProcessId Start(const std::u16string& file, const std::u16string& parameters,
                    const std::u16string& directory) override;
    ProcessId StartCommandLine(const std::u16string& commandLine,
                               const std::u16string& directory) override;
    WaitResult Wait(ProcessId process, uint32_t timeoutMs) override;
    ReadyResult WaitUntilReady(ProcessId process, uint32_t timeoutMs) override;
    bool ExitCode(ProcessId process, uint32_t& code) override;
    uint32_t SystemId(ProcessId process) override;
    bool Terminate(ProcessId process, uint32_t exitCode) override;
    void Close(ProcessId process) override;
};

} // namespace qk::os
