#include "maker/printer/MaintenanceCounters.h"

namespace qk::sim {

void MaintenanceCounters::AddPaperFed(uint64_t lines) {
    std::lock_guard lock(mutex_);
    fed_.Add(lines);
}

void MaintenanceCounters::AddHeadEnergised(uint64_t dotLines) {
    std::lock_guard lock(mutex_);
    head_.Add(dotLines);
}

void MaintenanceCounters::AddCut() {
    std::lock_guard lock(mutex_);
    cuts_.Add(1);
}

MaintenanceCounters::Pair* MaintenanceCounters::Find(uint16_t number) {
    const uint16_t base = number >= kLifetimeOffset ? number - kLifetimeOffset : number;
    switch (base) {
    case kCounterPaperFed:
        return &fed_;
    case kCounterHeadEnergised:
        return &head_;
    case kCounterCuts:
        return &cuts_;
    default:
        return nullptr;
    }
}

const MaintenanceCounters::Pair* MaintenanceCounters::Find(uint16_t number) const {
    return const_cast<MaintenanceCounters*>(this)->Find(number);
}

std::optional<uint64_t> MaintenanceCounters::Value(uint16_t number) const {
    std::lock_guard lock(mutex_);
    const Pair* pair = Find(number);
    if (!pair)
        return std::nullopt;
    return number >= kLifetimeOffset ? pair->lifetime : pair->sinceReset;
}

bool MaintenanceCounters::Reset(uint16_t number) {
    std::lock_guard lock(mutex_);
    Pair* pair = number < kLifetimeOffset ? Find(number) : nullptr;
    if (!pair)
        return false;
    pair->sinceReset = 0;
    return true;
}

std::string MaintenanceCounters::Describe() const {
    std::lock_guard lock(mutex_);
    auto both = [](const Pair& p) {
        return std::to_string(p.sinceReset) + "/" + std::to_string(p.lifetime);
    };
    return "fed=" + both(fed_) + " head=" + both(head_) + " cuts=" + both(cuts_);
}

} // namespace qk::sim
