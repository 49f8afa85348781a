#include "platform/os/Win32ProcessLauncher.h"
#include <windows.h>
#include <shellapi.h>
#include <algorithm>
#include <vector>
#include "platform/Text.h"
#include "platform/os/RealOs.h"

namespace qk::os {
namespace {

HANDLE AsHandle(ProcessId process) {
    return reinterpret_cast<HANDLE>(process);
}

ProcessId AsId(HANDLE handle) {
    return reinterpret_cast<ProcessId>(handle);
}

const wchar_t* OrNull(const std::u16string& s) {
    return s.empty() ? nullptr : WidePtr(s);
}

// Runs the shell's "open" verb; the process handle when asked for and one was started.
bool ShellExecuteOpen(const std::u16string& file, const std::u16string& parameters,
                      const std::u16string& directory, HANDLE* process) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    // No error boxes of the shell's own, and the call returns only when the start is done.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    if (process) {
        info.fMask |= SEE_MASK_NOCLOSEPROCESS;
    }
    info.lpVerb = L"open";
    info.lpFile = WidePtr(file);
    info.lpParameters = OrNull(parameters);
    info.lpDirectory = OrNull(directory);
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info)) {
        return false;
    }
    if (process) {
        *process = info.hProcess;
    }
    return true;
}

} // namespace

bool Win32ProcessLauncher::ShellOpen(const std::u16string& file, const std::u16string& parameters,
                                     const std::u16string& directory) {
    return ShellExecuteOpen(file, parameters, directory, nullptr);
}

ProcessId Win32ProcessLauncher::ShellOpenProcess(const std::u16string& file,
                                                 const std::u16string& parameters,
                                                 const std::u16string& directory) {
    HANDLE process = nullptr;
    if (!ShellExecuteOpen(file, parameters, directory, &process)) {
        return 0;
    }
    return AsId(process);
}

ProcessId Win32ProcessLauncher::Start(const std::u16string& file, const std::u16string& parameters,
                                      const std::u16string& directory) {
    std::u16string commandLine = u"\"" + file + u"\"";
    if (!parameters.empty()) {
        commandLine += u" " + parameters;
    }
    return StartCommandLine(commandLine, directory);
}

ProcessId Win32ProcessLauncher::StartCommandLine(const std::u16string& commandLine,
                                                 const std::u16string& directory) {
    // The platform may write into the command line, so it gets a copy of its own.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        OrNull(directory), &startup, &info)) {
        return 0;
    }
    CloseHandle(info.hThread);
    return AsId(info.hProcess);
}

WaitResult Win32ProcessLauncher::Wait(ProcessId process, uint32_t timeoutMs) {
    if (!process) {
        return WaitResult::Failed;
    }
    switch (WaitForSingleObject(AsHandle(process), std::min(timeoutMs, kLongestWaitMs))) {
    case WAIT_OBJECT_0:
        return WaitResult::Ended;
    case WAIT_TIMEOUT:
        return WaitResult::TimedOut;
    default:
        return WaitResult::Failed;
    }
}

ReadyResult Win32ProcessLauncher::WaitUntilReady(ProcessId process, uint32_t timeoutMs) {
    if (!process) {
        return ReadyResult::Failed;
    }
    switch (WaitForInputIdle(AsHandle(process), std::min(timeoutMs, kLongestWaitMs))) {
    case 0:
        return ReadyResult::Ready;
    case WAIT_TIMEOUT:
        return ReadyResult::TimedOut;
    default:
        return ReadyResult::Failed;
    }
}

bool Win32ProcessLauncher::ExitCode(ProcessId process, uint32_t& code) {
    DWORD exitCode = 0;
    if (!process || !GetExitCodeProcess(AsHandle(process), &exitCode)) {
        return false;
    }
    // STILL_ACTIVE is also a possible exit code; the handle's state tells them apart.
    if (exitCode == STILL_ACTIVE && WaitForSingleObject(AsHandle(process), 0) != WAIT_OBJECT_0) {
        return false;
    }
    code = exitCode;
    return true;
}

uint32_t Win32ProcessLauncher::SystemId(ProcessId process) {
    return process ? GetProcessId(AsHandle(process)) : 0;
}

bool Win32ProcessLauncher::Terminate(ProcessId process, uint32_t exitCode) {
    return process && TerminateProcess(AsHandle(process), exitCode);
}

void Win32ProcessLauncher::Close(ProcessId process) {
    if (process) {
        CloseHandle(AsHandle(process));
    }
}

IProcessLauncher& RealProcessLauncher() {
    static Win32ProcessLauncher launcher;
    return launcher;
}

} // namespace qk::os
