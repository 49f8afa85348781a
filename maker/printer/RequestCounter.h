// Counts the questions the printer is asked (requests that expect an answer), for the
// benchmarks that weigh a settings read against the fewest round trips it could take: every
// question, how many of them were different, and when the last one came.
#pragma once
#include <chrono>
#include <cstdint>
#include <mutex>
#include <set>
#include <vector>

namespace qk::sim {

struct RequestTally {
    uint64_t total = 0;    // questions since the start or the last reset
    uint64_t distinct = 0; // different questions among them (command and item)
    int64_t lastMs = -1;   // milliseconds from the reset to the last question; -1 none yet
};

class RequestCounter {
public:
    RequestCounter();
    // One question; `key` names the command and its item (two of the same key are a repeat).
    void Count(uint32_t key);
    void Reset();
    RequestTally Tally() const;
    // The keys asked more than once since the reset, in the order of their first repeat.
    std::vector<uint32_t> Repeats() const;

private:
    using Clock = std::chrono::steady_clock;
    mutable std::mutex mutex_;
    Clock::time_point since_;
    uint64_t total_ = 0;
    std::set<uint32_t> keys_;
    std::vector<uint32_t> repeats_;
    int64_t lastMs_ = -1;
};

} // namespace qk::sim
