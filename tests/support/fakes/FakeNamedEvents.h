// Named events in memory. An event that "another process" holds exists before the first
// create and is either set by that holder after a given wait or never. Every call is recorded;
// handles that are never closed show in OpenHandles().
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>
#include "platform/os/NamedEvents.h"
#include "tests/support/fakes/FakeClock.h"

namespace qk::test {

class FakeNamedEvents : public os::INamedEvents {
public:
    struct Event {
        bool signalled = false;
        bool refused = false;             // cannot be created or opened
        int64_t holderSetsAfterMs = -1;   // -1: the other holder never sets it
        std::function<void()> holderWork; // what the holder has done when it sets the event
        int handles = 0;
    };
    enum class Kind { Create, Wait, Set, Close };
    struct Call {
        Kind kind;
        std::u16string name;
        uint32_t timeoutMs = 0;
    };

    explicit FakeNamedEvents(FakeClock* clock = nullptr) : clock_(clock) {}

    // An event another process already holds (one handle of its own).
    Event& HeldElsewhere(const std::u16string& name, int64_t setsAfterMs,
                         std::function<void()> holderWork = {});
    Event& Refuse(const std::u16string& name);
    const Event* Find(const std::u16string& name) const;
    const std::vector<Call>& Calls() const { return calls_; }
    int OpenHandles() const { return static_cast<int>(handles_.size()); }

    os::EventId CreateManualReset(const std::u16string& name, bool& existed) override;
    os::WaitResult Wait(os::EventId event, uint32_t timeoutMs) override;
    bool Set(os::EventId event) override;
    void Close(os::EventId event) override;

private:
    FakeClock* clock_; // not owned; may be null
    std::map<std::u16string, Event> events_;
    std::map<os::EventId, std::u16string> handles_;
    std::vector<Call> calls_;
    os::EventId next_ = 0x200;
};

} // namespace qk::test
