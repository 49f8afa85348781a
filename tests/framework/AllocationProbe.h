// The largest single allocation request of the test program since the last reset.
#pragma once
#include <cstddef>

namespace qk::test {
void ResetLargestAllocation();
size_t LargestAllocation();
} // namespace qk::test
