// A clock that moves only when told to or when someone sleeps: sleeps return at once and
// advance the time by their length, so waits and time limits run instantly and exactly.
#pragma once
#include <vector>
#include "platform/os/Clock.h"

namespace qk::test {

class FakeClock : public os::IClock {
public:
    // Starts at tick 1000000 ms and at the wall-clock second 1700000000.
    FakeClock() = default;

    void Advance(uint64_t ms) { nowMs_ += ms; }
    void SetWallSeconds(uint32_t seconds) {
        wallBase_ = seconds;
        wallMsAtBase_ = nowMs_;
    }
    const std::vector<uint32_t>& Sleeps() const { return sleeps_; }
    uint64_t TotalSleptMs() const;

    uint64_t NowMs() override { return nowMs_; }
    uint32_t NowSeconds() override {
        return wallBase_ + static_cast<uint32_t>((nowMs_ - wallMsAtBase_) / 1000);
    }
    void Sleep(uint32_t ms) override {
        sleeps_.push_back(ms);
        nowMs_ += ms;
    }

private:
    uint64_t nowMs_ = 1000000;
    uint32_t wallBase_ = 1700000000;
    uint64_t wallMsAtBase_ = 1000000;
    std::vector<uint32_t> sleeps_;
};

} // namespace qk::test
