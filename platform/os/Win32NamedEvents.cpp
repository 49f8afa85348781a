#include "platform/os/Win32NamedEvents.h"
#include <windows.h>
#include <algorithm>
#include "platform/Text.h"
#include "platform/os/RealOs.h"

namespace qk::os {
namespace {

HANDLE AsHandle(EventId event) {
    return reinterpret_cast<HANDLE>(event);
}

} // namespace

EventId Win32NamedEvents::CreateManualReset(const std::u16string& name, bool& existed) {
    existed = false;
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, WidePtr(name));
    if (event) {
        existed = GetLastError() == ERROR_ALREADY_EXISTS;
        return reinterpret_cast<EventId>(event);
    }
    // Made by a service under another account, the event may refuse creation rights but
    // still let this process wait for it and set it.
    event = OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, WidePtr(name));
    existed = event != nullptr;
    return reinterpret_cast<EventId>(event);
}

WaitResult Win32NamedEvents::Wait(EventId event, uint32_t timeoutMs) {
    if (!event) {
        return WaitResult::Failed;
    }
    switch (WaitForSingleObject(AsHandle(event),
                                std::min(timeoutMs, IProcessLauncher::kLongestWaitMs))) {
    case WAIT_OBJECT_0:
        return WaitResult::Ended;
    case WAIT_TIMEOUT:
        return WaitResult::TimedOut;
    default:
        return WaitResult::Failed;
    }
}

bool Win32NamedEvents::Set(EventId event) {
    return event && SetEvent(AsHandle(event));
}

void Win32NamedEvents::Close(EventId event) {
    if (event) {
        CloseHandle(AsHandle(event));
    }
}

INamedEvents& RealNamedEvents() {
    static Win32NamedEvents events;
    return events;
}

} // namespace qk::os
