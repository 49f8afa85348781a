// One settings command file applied to several printers at once. The communication library
// has one current port per process, so each printer gets a run of its own: the utility started
// unattended on its port (`<program> /a"<file>" /o"<port>"`), whose exit code and result file
// say what it found. Runs go side by side, a bounded number at once and never two on one port;
// each is waited for at most a time limit and then ended; one that fails never stops the
// others. Portable over the process, clock and file seams.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "platform/os/Clock.h"
#include "platform/os/FileSystem.h"
#include "platform/os/Process.h"

namespace qk::settingsfile {

// Where one printer's run stands.
enum class ChildState : uint8_t {
    Waiting,    // not started yet
    Running,    // started, not ended
    Ended,      // ended by itself: exitCode holds its code
    NotStarted, // the program could not be started
    TimedOut,   // did not end within the limit and was ended
};

// What a run's result file says, as far as it is the run's own.
struct ResultSummary {
    bool read = false;     // the file was there and its first line carries the exit code
    uint32_t settings = 0; // setting lines
    uint32_t holding = 0;  // of those, the ones whose outcome is "holds" or "matches"
};

// The result file's text, against the exit code its run ended with.
ResultSummary SummarizeResultFile(const std::string& text, int32_t exitCode);

struct ChildRow {
    std::u16string port;
    ChildState state = ChildState::Waiting;
    int32_t exitCode = -1;
    ResultSummary summary;
};

struct MultiApplyLimits {
    uint32_t atOnce = 8;       // runs side by side
    uint32_t childMs = 180000; // one run's longest time (its own exchanges end far sooner)
    uint32_t pollMs = 50;      // how often the running ones are looked at
};

class CMultiApplyRun {
public:
    // Told on the running thread after every change of a row, with the row's new state.
    using RowChanged = std::function<void(size_t row, const ChildRow& now)>;

    // The seams are not owned. program: the utility's own path; dataFolder: where the runs
    // leave their result files.
    CMultiApplyRun(os::IProcessLauncher& processes, os::IClock& clock, os::IFileSystem& files,
                   std::u16string program, std::u16string filePath, std::u16string dataFolder,
                   MultiApplyLimits limits = {});

    // A printer by its port name (or device path), as /o takes it.
    void AddTarget(std::u16string port);
    // Works every printer to its end on the calling thread; every row ends in Ended,
    // NotStarted or TimedOut.
    void Run(const RowChanged& changed);
    const std::vector<ChildRow>& Rows() const { return m_rows; }

private:
    struct Running {
        size_t row;
        os::ProcessId process;
        uint64_t startedMs;
    };
    bool PortBusy(const std::u16string& port) const;
    void StartWaiting(const RowChanged& changed);
    // Looks at each running one once: ended ones are read back, overdue ones ended.
    void Collect(const RowChanged& changed);
    void Finish(Running& running, ChildState state, const RowChanged& changed);
    std::u16string ResultPath(const std::u16string& port) const;

    os::IProcessLauncher& m_processes;
    os::IClock& m_clock;
    os::IFileSystem& m_files;
    std::u16string m_program;
    std::u16string m_filePath;
    std::u16string m_dataFolder;
    MultiApplyLimits m_limits;
    std::vector<ChildRow> m_rows;
    std::vector<Running> m_running;
};

} // namespace qk::settingsfile
