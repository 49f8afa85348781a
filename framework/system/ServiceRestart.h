// Bringing a service to running or stopped within a bound, and the restart of the port
// services that a change of the port connector needs: the spooler stopped (through the port
// service's state event when it will not stop), the port service stopped and started, the
// spooler started again.
#pragma once
#include <cstdint>
#include <string>
#include "platform/os/OsServices.h"

namespace qk::sys {

inline constexpr char16_t kSpoolerService[] = u"spooler";
inline constexpr char16_t kPortService[] = u"TARROW_Port_Communication_Service";
inline constexpr char16_t kStateEventName[] = u"Global\\PCService.StateEvent";

enum ServiceTarget : int32_t { kServiceRunning = 0, kServiceStopped = 1 };

class CServiceRestart {
public:
    static constexpr uint32_t kPollMs = 500;
    static constexpr uint64_t kLimitMs = 20000;
    // The port service holds its state event while it works; a holder that never lets go
    // must not hang the utility, so the wait for it ends after this long.
    static constexpr uint32_t kStateEventLimitMs = 60000;

    explicit CServiceRestart(const os::OsServices& services) : m_services(services) {}

    // From running or stopped to the target (kServiceRunning or kServiceStopped); a service
    // in any other state, or one not there after 20 seconds of polls, answers false.
    bool EnsureServiceState(int32_t target, const std::u16string& name);
    // As EnsureServiceState to running, but a service that is starting already is waited for.
    bool StartAndWait(const std::u16string& name);
    // The spooler and the port service restarted as far as they let themselves be. The state
    // event is in `heldEvent` while this holds it and is released before the answer.
    void RestartPortServices(os::EventId& heldEvent);

private:
    // The one polling loop: a service found in its old state gets the control again.
    bool Reach(const std::u16string& name, bool toStop, bool waitWhilePending);
    bool TakeStateEvent(os::EventId& heldEvent);
    void ReleaseStateEvent(os::EventId& heldEvent);

    os::OsServices m_services;
};

} // namespace qk::sys
