// Program starts in memory. Each program (matched by its file name, with or without the
// folder, case-insensitively) has a script: whether it starts, how long it runs, its exit
// code, whether it ever waits for input. Waiting moves the program's own time (and the
// FakeClock, when one is given) by the time waited, so time limits run instantly. Every
// start is recorded; handles that are never closed show in OpenHandles().
#pragma once
#include <map>
#include <string>
#include <vector>
#include "platform/os/Process.h"
#include "tests/support/fakes/FakeClock.h"

namespace qk::test {

class FakeProcessLauncher : public os::IProcessLauncher {
public:
    struct Program {
        bool starts = true;
        uint32_t runMs = 0;       // time until it ends by itself
        bool endsByItself = true; // false: runs until terminated
        uint32_t exitCode = 0;
        bool hasMessageLoop = true; // false: a console program (WaitUntilReady fails)
        uint32_t readyAfterMs = 0;
    };
    enum class How { ShellOpen, ShellOpenProcess, Start, StartCommandLine };
    struct Launch {
        How how;
        std::u16string file; // for a command line: its first word, unquoted
        std::u16string parameters;
        std::u16string directory;
        std::u16string commandLine; // as it would be passed to the platform
    };

    explicit FakeProcessLauncher(FakeClock* clock = nullptr) : clock_(clock) {}

    // Programs without a script start, end at once and exit with 0; unless this is set, in
    // which case they do not start at all.
    void SetUnknownProgramsFail(bool fail) { unknownFails_ = fail; }
    void SetProgram(const std::u16string& file, Program program);
    const std::vector<Launch>& Launches() const { return launches_; }
    int OpenHandles() const;

    bool ShellOpen(const std::u16string& file, const std::u16string& parameters,
                   const std::u16string& directory) override;
    os::ProcessId ShellOpenProcess(const std::u16string& file, const std::u16string& parameters,
                                   const std::u16string& directory) override;
    os::ProcessId Start(const std::u16string& file, const std::u16string& parameters,
                        const std::u16string& directory) override;
    os::ProcessId StartCommandLine(const std::u16string& commandLine,
                                   const std::u16string& directory) override;
    os::WaitResult Wait(os::ProcessId process, uint32_t timeoutMs) override;
    os::ReadyResult WaitUntilReady(os::ProcessId process, uint32_t timeoutMs) override;
    bool ExitCode(os::ProcessId process, uint32_t& code) override;
    uint32_t SystemId(os::ProcessId process) override;
    bool Terminate(os::ProcessId process, uint32_t exitCode) override;
    void Close(os::ProcessId process) override;

private:
    struct Running {
        Program program;
        uint64_t elapsedMs = 0;
        bool ended = false;
        uint32_t exitCode = 0;
        uint32_t systemId = 0;
    };
    const Program* ScriptFor(const std::u16string& file) const;
    os::ProcessId Begin(How how, const std::u16string& file, const std::u16string& parameters,
                        const std::u16string& directory, const std::u16string& commandLine,
                        bool keepHandle);
    Running* Find(os::ProcessId process);
    void Pass(Running& running, uint64_t ms);

    FakeClock* clock_; // not owned; may be null
    bool unknownFails_ = false;
    std::map<std::u16string, Program> programs_; // by folded file name
    std::map<os::ProcessId, Running> processes_;
    std::vector<Launch> launches_;
    os::ProcessId next_ = 0x100;
};

} // namespace qk::test
