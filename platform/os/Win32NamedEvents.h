// INamedEvents over the platform's named event objects.
#pragma once
#include "platform/os/NamedEvents.h"

namespace qk::os {

class Win32NamedEvents : public INamedEvents {
public:
    EventId CreateManualReset(const std::u16string& name, bool& existed) override;
    WaitResult Wait(EventId event, uint32_t timeoutMs) override;
    bool Set(EventId event) override;
    void Close(EventId event) override;
};

} // namespace qk::os
