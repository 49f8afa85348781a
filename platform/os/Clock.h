// Time and sleeping behind a seam, so that waits and timings are testable.
#pragma once
#include <cstdint>

namespace qk::os {

class IClock {
public:
    virtual ~IClock() = default;

    virtual uint64_t NowMs() = 0;      // monotonic milliseconds
    virtual uint32_t NowSeconds() = 0; // whole seconds of a wall clock, for "same second" rules
    virtual void Sleep(uint32_t ms) = 0;
};

} // namespace qk::os
