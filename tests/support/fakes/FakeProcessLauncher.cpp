#include "tests/support/fakes/FakeProcessLauncher.h"
#include <algorithm>
#include "tests/support/fakes/FakeText.h"

namespace qk::test {
namespace {

std::u16string Folded(const std::u16string& s) {
    std::u16string out;
    for (char16_t c : s) {
        out.push_back(FoldCase(c));
    }
    return out;
}

std::u16string BareName(const std::u16string& file) {
    const size_t slash = file.find_last_of(u"\\/");
    return slash == std::u16string::npos ? file : file.substr(slash + 1);
}

// The program of a command line: a quoted first word, or everything up to the first blank.
std::u16string FirstWord(const std::u16string& commandLine, std::u16string& rest) {
    size_t i = 0;
    while (i < commandLine.size() && commandLine[i] == u' ') {
        ++i;
    }
    std::u16string word;
    if (i < commandLine.size() && commandLine[i] == u'"') {
        const size_t close = commandLine.find(u'"', i + 1);
        const size_t end = close == std::u16string::npos ? commandLine.size() : close;
        word = commandLine.substr(i + 1, end - i - 1);
        i = close == std::u16string::npos ? end : close + 1;
    } else {
        const size_t end = std::min(commandLine.find(u' ', i), commandLine.size());
        word = commandLine.substr(i, end - i);
        i = end;
    }
    while (i < commandLine.size() && commandLine[i] == u' ') {
        ++i;
    }
    rest = commandLine.substr(i);
    return word;
}

} // namespace

void FakeProcessLauncher::SetProgram(const std::u16string& file, Program program) {
    programs_[Folded(file)] = program;
}

const FakeProcessLauncher::Program*
FakeProcessLauncher::ScriptFor(const std::u16string& file) const {
    auto it = programs_.find(Folded(file));
    if (it == programs_.end()) {
        it = programs_.find(Folded(BareName(file)));
    }
    return it == programs_.end() ? nullptr : &it->second;
}

int FakeProcessLauncher::OpenHandles() const {
    return static_cast<int>(processes_.size());
}

os::ProcessId FakeProcessLauncher::Begin(How how, const std::u16string& file,
                                         const std::u16string& parameters,
                                         const std::u16string& directory,
                                         const std::u16string& commandLine, bool keepHandle) {
    launches_.push_back({how, file, parameters, directory, commandLine});
    const Program* script = ScriptFor(file);
    if (script ? !script->starts : unknownFails_) {
        return 0;
    }
    Running running;
    running.program = script ? *script : Program{};
    running.systemId = static_cast<uint32_t>(4000 + launches_.size() * 4);
    if (!keepHandle) {
        return 1; // started; no handle is kept
    }
    const os::ProcessId id = next_;
    next_ += 4;
    processes_[id] = running;
    return id;
}

FakeProcessLauncher::Running* FakeProcessLauncher::Find(os::ProcessId process) {
    auto it = processes_.find(process);
    return it == processes_.end() ? nullptr : &it->second;
}

void FakeProcessLauncher::Pass(Running& running, uint64_t ms) {
    running.elapsedMs += ms;
    if (clock_) {
        clock_->Advance(ms);
    }
    if (!running.ended && running.program.endsByItself &&
        running.elapsedMs >= running.program.runMs) {
        running.ended = true;
        running.exitCode = running.program.exitCode;
    }
}

bool FakeProcessLauncher::ShellOpen(const std::u16string& file, const std::u16string& parameters,
                                    const std::u16string& directory) {
    return Begin(How::ShellOpen, file, parameters, directory, u"", false) != 0;
}

os::ProcessId FakeProcessLauncher::ShellOpenProcess(const std::u16string& file,
                                                    const std::u16string& parameters,
                                                    const std::u16string& directory) {
    return Begin(How::ShellOpenProcess, file, parameters, directory, u"", true);
}

os::ProcessId FakeProcessLauncher::Start(const std::u16string& file,
                                         const std::u16string& parameters,
                                         const std::u16string& directory) {
    std::u16string commandLine = u"\"" + file + u"\"";
    if (!parameters.empty()) {
        commandLine += u" " + parameters;
    }
    return Begin(How::Start, file, parameters, directory, commandLine, true);
}

os::ProcessId FakeProcessLauncher::StartCommandLine(const std::u16string& commandLine,
                                                    const std::u16string& directory) {
    std::u16string rest;
    const std::u16string file = FirstWord(commandLine, rest);
    return Begin(How::StartCommandLine, file, rest, directory, commandLine, true);
}

os::WaitResult FakeProcessLauncher::Wait(os::ProcessId process, uint32_t timeoutMs) {
    Running* running = Find(process);
    if (!running) {
        return os::WaitResult::Failed;
    }
    Pass(*running, 0); // a program that runs 0 ms has ended already
    if (running->ended) {
        return os::WaitResult::Ended;
    }
    const uint64_t limit = std::min(timeoutMs, kLongestWaitMs);
    if (running->program.endsByItself && running->program.runMs - running->elapsedMs <= limit) {
        Pass(*running, running->program.runMs - running->elapsedMs);
        return os::WaitResult::Ended;
    }
    Pass(*running, limit);
    return os::WaitResult::TimedOut;
}

os::ReadyResult FakeProcessLauncher::WaitUntilReady(os::ProcessId process, uint32_t timeoutMs) {
    Running* running = Find(process);
    if (!running || running->ended || !running->program.hasMessageLoop) {
        return os::ReadyResult::Failed;
    }
    const uint64_t readyAt = running->program.readyAfterMs;
    if (running->elapsedMs >= readyAt) {
        return os::ReadyResult::Ready;
    }
    if (readyAt - running->elapsedMs <= timeoutMs) {
        Pass(*running, readyAt - running->elapsedMs);
        return running->ended ? os::ReadyResult::Failed : os::ReadyResult::Ready;
    }
    Pass(*running, timeoutMs);
    return os::ReadyResult::TimedOut;
}

bool FakeProcessLauncher::ExitCode(os::ProcessId process, uint32_t& code) {
    Running* running = Find(process);
    if (!running) {
        return false;
    }
    Pass(*running, 0);
    if (!running->ended) {
        return false;
    }
    code = running->exitCode;
    return true;
}

uint32_t FakeProcessLauncher::SystemId(os::ProcessId process) {
    Running* running = Find(process);
    return running ? running->systemId : 0;
}

bool FakeProcessLauncher::Terminate(os::ProcessId process, uint32_t exitCode) {
    Running* running = Find(process);
    if (!running) {
        return false;
    }
    if (!running->ended) {
        running->ended = true;
        running->exitCode = exitCode;
    }
    return true;
}

void FakeProcessLauncher::Close(os::ProcessId process) {
    processes_.erase(process);
}

} // namespace qk::test
