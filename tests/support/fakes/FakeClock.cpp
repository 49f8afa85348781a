#include "tests/support/fakes/FakeClock.h"

namespace qk::test {

uint64_t FakeClock::TotalSleptMs() const {
    uint64_t total = 0;
    for (uint32_t ms : sleeps_) {
        total += ms;
    }
    return total;
}

} // namespace qk::test
