#include "tests/support/fakes/FakeNamedEvents.h"

namespace qk::test {

FakeNamedEvents::Event& FakeNamedEvents::HeldElsewhere(const std::u16string& name,
                                                       int64_t setsAfterMs,
                                                       std::function<void()> holderWork) {
    Event& event = events_[name];
    event = Event{};
    event.holderSetsAfterMs = setsAfterMs;
    event.holderWork = std::move(holderWork);
    event.handles = 1;
    return event;
}

FakeNamedEvents::Event& FakeNamedEvents::Refuse(const std::u16string& name) {
    Event& event = events_[name];
    event.refused = true;
    return event;
}

const FakeNamedEvents::Event* FakeNamedEvents::Find(const std::u16string& name) const {
    auto it = events_.find(name);
    return it == events_.end() ? nullptr : &it->second;
}

os::EventId FakeNamedEvents::CreateManualReset(const std::u16string& name, bool& existed) {
    calls_.push_back({Kind::Create, name});
    auto it = events_.find(name);
    existed = it != events_.end() && it->second.handles > 0;
    if (it != events_.end() && it->second.refused) {
        existed = false;
        return 0;
    }
    Event& event = events_[name];
    if (!existed) {
        event.signalled = false;
    }
    ++event.handles;
    handles_[next_] = name;
    return next_++;
}

os::WaitResult FakeNamedEvents::Wait(os::EventId id, uint32_t timeoutMs) {
    auto handle = handles_.find(id);
    if (handle == handles_.end()) {
        return os::WaitResult::Failed;
    }
    calls_.push_back({Kind::Wait, handle->second, timeoutMs});
    Event& event = events_[handle->second];
    if (event.signalled) {
        return os::WaitResult::Ended;
    }
    if (event.holderSetsAfterMs >= 0 && event.holderSetsAfterMs <= int64_t{timeoutMs}) {
        if (clock_) {
            clock_->Advance(static_cast<uint64_t>(event.holderSetsAfterMs));
        }
        event.signalled = true;
        if (event.holderWork)
            event.holderWork();
        return os::WaitResult::Ended;
    }
    if (clock_) {
        clock_->Advance(timeoutMs);
    }
    return os::WaitResult::TimedOut;
}

bool FakeNamedEvents::Set(os::EventId id) {
    auto handle = handles_.find(id);
    if (handle == handles_.end()) {
        return false;
    }
    calls_.push_back({Kind::Set, handle->second});
    events_[handle->second].signalled = true;
    return true;
}

void FakeNamedEvents::Close(os::EventId id) {
    auto handle = handles_.find(id);
    if (handle == handles_.end()) {
        return;
    }
    calls_.push_back({Kind::Close, handle->second});
    --events_[handle->second].handles;
    handles_.erase(handle);
}

} // namespace qk::test
