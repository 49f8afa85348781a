// Running the journal viewer as the utility's modal companion: the viewer's path from the
// machine's own program files folder, its start, the wait until it takes input, and the wait
// for its end while the utility only repaints and keeps the viewer in front.
#pragma once
#include <cstdint>
#include <string>
#include "platform/os/OsServices.h"

namespace qk::sys {

// Under HKEY_LOCAL_MACHINE: the machine's folders ("ProgramFilesDir").
inline constexpr char16_t kCurrentVersionKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

class CViewerRun {
public:
    static constexpr uint32_t kReadyLimitMs = 20000;
    static constexpr uint32_t kPumpMs = 1000;

    explicit CViewerRun(const os::OsServices& services) : m_services(services) {}

    // The machine's native program files folder (its registry setting in the 64-bit view),
    // or the platform's, then "TARROW\QKCommandEmulator\JrnlView.exe".
    std::u16string ViewerPath();
    // Starts the program with the parameters and waits for its end; false when it could not
    // be started or never became ready. The owner's frame is disabled around the start.
    bool RunAndWait(const std::u16string& program, const std::u16string& parameters,
                    os::WindowId owner);

private:
    bool WaitUntilReady(os::ProcessId process);
    void KeepViewerInFront(os::ProcessId process);

    os::OsServices m_services;
};

} // namespace qk::sys
