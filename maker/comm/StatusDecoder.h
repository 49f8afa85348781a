// Turns the printer's automatic status bytes into the status codes the library reports.
#pragma once
#include <array>
#include <cstdint>

namespace qk::comm {

struct DecodedStatus {
    int32_t main; // 0 online, 1 offline, 3 fatal, 4/5 errors, 6 cover, 7 paper out, 9 cutter,
                  // 18 paper near-end
    int32_t ink;  // 10..13, 15, 20, 21; 100 when there is no ink condition
};

DecodedStatus DecodeStatus(const std::array<uint8_t, 4>& packet);

} // namespace qk::comm
