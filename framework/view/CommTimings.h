// How patiently a page talks to the printer.
#pragma once
#include <cstdint>

namespace qk {

struct CommTimings {
    int32_t waitMs;   // wait for one answer
    int32_t attempts; // number of tries
    int32_t pauseMs;  // pause between tries
};
static_assert(sizeof(CommTimings) == 12);

} // namespace qk
