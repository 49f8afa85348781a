#include "maker/printer/RequestCounter.h"
#include <algorithm>

namespace qk::sim {

RequestCounter::RequestCounter() : since_(Clock::now()) {}

void RequestCounter::Count(uint32_t key) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++total_;
    if (!keys_.insert(key).second &&
        std::find(repeats_.begin(), repeats_.end(), key) == repeats_.end())
        repeats_.push_back(key);
    lastMs_ = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since_).count();
}

void RequestCounter::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    since_ = Clock::now();
    total_ = 0;
    keys_.clear();
    repeats_.clear();
    lastMs_ = -1;
}

RequestTally RequestCounter::Tally() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return {total_, keys_.size(), lastMs_};
}

std::vector<uint32_t> RequestCounter::Repeats() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return repeats_;
}

} // namespace qk::sim
