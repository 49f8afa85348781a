// Named manual-reset events behind a seam (the one point where the utility and the port
// communication service coordinate).
#pragma once
#include <cstdint>
#include <string>
#include "platform/os/Process.h"

namespace qk::os {

// Opaque event handle; 0 is none.
using EventId = std::uintptr_t;

class INamedEvents {
public:
    virtual ~INamedEvents() = default;

    // Creates the manual-reset event, not signalled, or opens it when it exists already
    // (existed tells which); 0 when it can be neither created nor opened.
    virtual EventId CreateManualReset(const std::u16string& name, bool& existed) = 0;
    // Waits until the event is signalled, at most timeoutMs.
    virtual WaitResult Wait(EventId event, uint32_t timeoutMs) = 0;
    virtual bool Set(EventId event) = 0;
    // Releases the handle; the event goes when its last handle goes.
    virtual void Close(EventId event) = 0;
};

} // namespace qk::os
