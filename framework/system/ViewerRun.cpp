#include "framework/system/ViewerRun.h"
#include <vector>

namespace qk::sys {
namespace {

// "X:\..." with nothing left to expand.
bool IsPlainFolderPath(const std::u16string& path) {
    return path.size() >= 3 && path[1] == u':' && path[2] == u'\\' &&
           path.find(u'%') == std::u16string::npos;
}

} // namespace

std::u16string CViewerRun::ViewerPath() {
    // The utility runs with administrator rights: the folder comes from the machine-wide
    // setting, never from the environment, which any program of the user can set.
    std::u16string programFiles;
    if (!m_services.registry->ReadString(os::RegRoot::LocalMachine64, kCurrentVersionKey,
                                         u"ProgramFilesDir", programFiles) ||
        !IsPlainFolderPath(programFiles)) {
        programFiles = m_services.folders->ProgramFiles();
    }
    while (!programFiles.empty() && programFiles.back() == u'\\') {
        programFiles.pop_back();
    }
    return programFiles + u"\\TARROW\\QKCommandEmulator\\JrnlView.exe";
}

bool CViewerRun::WaitUntilReady(os::ProcessId process) {
    switch (m_services.processes->WaitUntilReady(process, kReadyLimitMs)) {
    case os::ReadyResult::Ready:
        return true;
    case os::ReadyResult::TimedOut:
        return false;
    case os::ReadyResult::Failed:
        break;
    }
    // The wait for input cannot be used: a window that answers counts as ready.
    const uint64_t start = m_services.clock->NowMs();
    const uint32_t id = m_services.processes->SystemId(process);
    for (;;) {
        const uint64_t passed = m_services.clock->NowMs() - start;
        if (passed >= kReadyLimitMs ||
            m_services.processes->Wait(process, 0) == os::WaitResult::Ended) {
            return false;
        }
        const std::vector<os::WindowId> windows = m_services.windows->VisibleTopLevelWindows(id);
        if (!windows.empty()) {
            return m_services.windows->Ping(windows.front(),
                                            static_cast<uint32_t>(kReadyLimitMs - passed)) ==
                   os::PingResult::Answered;
        }
        m_services.windows->YieldSlice();
    }
}

void CViewerRun::KeepViewerInFront(os::ProcessId process) {
    const std::vector<os::WindowId> windows =
        m_services.windows->VisibleTopLevelWindows(m_services.processes->SystemId(process));
    if (!windows.empty()) {
        m_services.windows->BringToForeground(windows.front());
    }
}

bool CViewerRun::RunAndWait(const std::u16string& program, const std::u16string& parameters,
                            os::WindowId owner) {
    os::IProcessWindows& windows = *m_services.windows;
    os::IProcessLauncher& processes = *m_services.processes;
    owner = windows.RootWindow(owner);
    os::ProcessId process = 0;
    if (windows.CanNameProcessIds()) {
        const bool wasEnabled = owner && windows.IsEnabled(owner);
        if (owner) {
            windows.Enable(owner, false);
        }
        process = processes.ShellOpenProcess(program, parameters, u"");
        if (wasEnabled) {
            windows.Enable(owner, true);
        }
    } else {
        // Quoted, so that a folder with blanks is not taken for a program of its own.
        process = processes.Start(program, parameters, u"");
    }
    if (!process) {
        return false;
    }
    if (!WaitUntilReady(process)) {
        processes.Close(process);
        return false;
    }
    // Only painting is served while the program runs; clicks on the utility's frame and the
    // utility taking the focus bring the program back to the front.
    while (processes.Wait(process, 0) == os::WaitResult::TimedOut) {
        const bool frameClick = windows.PumpPaintOnly(process, kPumpMs);
        if (frameClick || windows.HoldsKeyboardFocus()) {
            KeepViewerInFront(process);
        }
    }
    processes.Close(process);
    return true;
}

} // namespace qk::sys
