#include "plugins/settingsfile/MultiApplyRun.h"

#include <algorithm>
#include <sstream>
#include "framework/plugin/UnattendedResultFile.h"

namespace qk::settingsfile {
namespace {

// The exit code of a run ended for overstaying; no run ends with it by itself.
constexpr uint32_t kEndedCode = 0xDEAD;

char16_t Folded(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// Port names are the library's and are told apart without case.
bool SamePort(const std::u16string& a, const std::u16string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return Folded(x) == Folded(y); });
}

std::string LastColumn(const std::string& line) {
    const size_t tab = line.rfind('\t');
    return tab == std::string::npos ? std::string() : line.substr(tab + 1);
}

} // namespace

ResultSummary SummarizeResultFile(const std::string& text, int32_t exitCode) {
    ResultSummary summary;
    std::istringstream lines(text);
    std::string line;
    if (!std::getline(lines, line) || line.rfind(std::to_string(exitCode) + "\t", 0) != 0)
        return summary;
    summary.read = true;
    bool inSettings = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!inSettings) {
            inSettings = line == "setting\tfile\tbefore\tafter\toutcome";
            continue;
        }
        // The logo graphic is no setting: it cannot be read back.
        if (line.rfind("logo graphic\t", 0) == 0)
            continue;
        ++summary.settings;
        const std::string outcome = LastColumn(line);
        summary.holding += outcome == "holds" || outcome == "matches" ? 1 : 0;
    }
    return summary;
}

CMultiApplyRun::CMultiApplyRun(os::IProcessLauncher& processes, os::IClock& clock,
                               os::IFileSystem& files, std::u16string program,
                               std::u16string filePath, std::u16string dataFolder,
                               MultiApplyLimits limits)
    : m_processes(processes), m_clock(clock), m_files(files), m_program(std::move(program)),
      m_filePath(std::move(filePath)), m_dataFolder(std::move(dataFolder)), m_limits(limits) {}

void CMultiApplyRun::AddTarget(std::u16string port) {
    ChildRow row;
    row.port = std::move(port);
    m_rows.push_back(std::move(row));
}

std::u16string CMultiApplyRun::ResultPath(const std::u16string& port) const {
    return UnattendedResultPath(m_dataFolder, port);
}

bool CMultiApplyRun::PortBusy(const std::u16string& port) const {
    return std::any_of(m_running.begin(), m_running.end(),
                       [&](const Running& r) { return SamePort(m_rows[r.row].port, port); });
}

void CMultiApplyRun::StartWaiting(const RowChanged& changed) {
    for (size_t i = 0; i < m_rows.size() && m_running.size() < m_limits.atOnce; ++i) {
        ChildRow& row = m_rows[i];
        if (row.state != ChildState::Waiting || PortBusy(row.port))
            continue;
        // A file an earlier run left must not be taken for this run's.
        const std::u16string result = ResultPath(row.port);
        if (m_files.Exists(result))
            m_files.DeleteFile(result);
        const os::ProcessId process =
            m_processes.Start(m_program, u"/a\"" + m_filePath + u"\" /o\"" + row.port + u"\"", u"");
        row.state = process ? ChildState::Running : ChildState::NotStarted;
        if (process)
            m_running.push_back({i, process, m_clock.NowMs()});
        if (changed)
            changed(i, row);
    }
}

void CMultiApplyRun::Finish(Running& running, ChildState state, const RowChanged& changed) {
    ChildRow& row = m_rows[running.row];
    uint32_t code = 0;
    row.state = state;
    if (state == ChildState::Ended && m_processes.ExitCode(running.process, code)) {
        row.exitCode = static_cast<int32_t>(code);
        std::vector<uint8_t> bytes;
        if (m_files.ReadFile(ResultPath(row.port), bytes))
            row.summary =
                SummarizeResultFile(std::string(bytes.begin(), bytes.end()), row.exitCode);
    }
    m_processes.Close(running.process);
    running.process = 0;
    if (changed)
        changed(running.row, row);
}

void CMultiApplyRun::Collect(const RowChanged& changed) {
    for (Running& running : m_running) {
        if (m_processes.Wait(running.process, 0) == os::WaitResult::Ended) {
            Finish(running, ChildState::Ended, changed);
        } else if (m_clock.NowMs() - running.startedMs >= m_limits.childMs) {
            m_processes.Terminate(running.process, kEndedCode);
            m_processes.Wait(running.process, 5000);
            Finish(running, ChildState::TimedOut, changed);
        }
    }
    std::erase_if(m_running, [](const Running& r) { return r.process == 0; });
}

void CMultiApplyRun::Run(const RowChanged& changed) {
    StartWaiting(changed);
    while (!m_running.empty()) {
        // The first running one is waited on for a moment; the others are looked at after.
        m_processes.Wait(m_running.front().process, m_limits.pollMs);
        Collect(changed);
        StartWaiting(changed);
    }
}

} // namespace qk::settingsfile
