// A page's way to the printer during one exchange: send bytes, take answer bytes with a
// bounded wait, drop answers that came too late. Portable.
#pragma once
#include <cstdint>
#include "framework/comm/UserSetupCommands.h"

namespace qk::comm {

class IPrinterLink {
public:
    virtual bool Send(const Bytes& bytes) = 0;
    // One answer byte within timeoutMs; false when none came.
    virtual bool Receive(uint8_t& byte, int32_t timeoutMs) = 0;
    virtual void DiscardAnswers() = 0;

protected:
    ~IPrinterLink() = default;
};

} // namespace qk::comm
