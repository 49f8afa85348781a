#include "framework/system/ServiceRestart.h"

namespace qk::sys {

bool CServiceRestart::EnsureServiceState(int32_t target, const std::u16string& name) {
    if (target != kServiceRunning && target != kServiceStopped) {
        return false;
    }
    return Reach(name, target == kServiceStopped, false);
}

bool CServiceRestart::StartAndWait(const std::u16string& name) {
    return Reach(name, false, true);
}

bool CServiceRestart::Reach(const std::u16string& name, bool toStop, bool waitWhilePending) {
    os::IServiceControl& services = *m_services.services;
    os::IClock& clock = *m_services.clock;
    const os::ServiceState wanted = toStop ? os::ServiceState::Stopped : os::ServiceState::Running;
    const os::ServiceState from = toStop ? os::ServiceState::Running : os::ServiceState::Stopped;
    const os::ServiceState pending =
        toStop ? os::ServiceState::StopPending : os::ServiceState::StartPending;
    os::ServiceState state = services.Query(name);
    if (state == wanted) {
        return true;
    }
    if (state != from && !(waitWhilePending && state == pending)) {
        return false;
    }
    const uint64_t start = clock.NowMs();
    for (;;) {
        if (state == from) {
            toStop ? services.Stop(name) : services.Start(name);
        }
        clock.Sleep(kPollMs);
        state = services.Query(name);
        if (state == wanted) {
            return true;
        }
        if ((state != pending && state != from) || clock.NowMs() - start > kLimitMs) {
            return false;
        }
    }
}

bool CServiceRestart::TakeStateEvent(os::EventId& heldEvent) {
    bool existed = false;
    const os::EventId event = m_services.events->CreateManualReset(kStateEventName, existed);
    if (!event) {
        return false;
    }
    if (existed && m_services.events->Wait(event, kStateEventLimitMs) != os::WaitResult::Ended) {
        m_services.events->Close(event);
        return false;
    }
    heldEvent = event;
    return true;
}

void CServiceRestart::ReleaseStateEvent(os::EventId& heldEvent) {
    if (!heldEvent) {
        return;
    }
    m_services.events->Set(heldEvent);
    m_services.events->Close(heldEvent);
    heldEvent = 0;
}

void CServiceRestart::RestartPortServices(os::EventId& heldEvent) {
    bool stopped = EnsureServiceState(kServiceStopped, kSpoolerService);
    if (!stopped) {
        if (!TakeStateEvent(heldEvent)) {
            return;
        }
        stopped = EnsureServiceState(kServiceStopped, kSpoolerService);
    }
    if (stopped) {
        if (EnsureServiceState(kServiceStopped, kPortService)) {
            StartAndWait(kPortService);
        }
        ReleaseStateEvent(heldEvent);
        StartAndWait(kSpoolerService);
    }
    // Also when the spooler would not stop: the service waits for the event, so it must not
    // outlive this call.
    ReleaseStateEvent(heldEvent);
}

} // namespace qk::sys
