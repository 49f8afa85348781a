#include "tests/support/fakes/FakeServiceControl.h"
#include "tests/support/fakes/FakeText.h"

namespace qk::test {
namespace {

std::u16string Folded(const std::u16string& s) {
    std::u16string out;
    for (char16_t c : s) {
        out.push_back(FoldCase(c));
    }
    return out;
}

} // namespace

FakeServiceControl::Service& FakeServiceControl::AddService(const std::u16string& name,
                                                            os::ServiceState state,
                                                            int pendingQueries) {
    Service& service = services_[Folded(name)];
    service = Service{};
    service.state = state;
    service.pendingQueries = pendingQueries;
    return service;
}

FakeServiceControl::Service* FakeServiceControl::Find(const std::u16string& name) {
    auto it = services_.find(Folded(name));
    return it == services_.end() ? nullptr : &it->second;
}

int FakeServiceControl::CountOf(Call::Kind kind, const std::u16string& name) const {
    int count = 0;
    for (const Call& call : calls_) {
        if (call.kind == kind && EqualsNoCase(call.name, name)) {
            ++count;
        }
    }
    return count;
}

os::ServiceState FakeServiceControl::Query(const std::u16string& name) {
    calls_.push_back({Call::Query, name});
    Service* s = Find(name);
    if (!s) {
        return os::ServiceState::NotFound;
    }
    if (s->state == os::ServiceState::StartPending || s->state == os::ServiceState::StopPending) {
        if (s->countdown > 0) {
            --s->countdown;
        } else {
            s->state = s->state == os::ServiceState::StartPending ? s->afterStart : s->afterStop;
        }
    }
    return s->state;
}

bool FakeServiceControl::Start(const std::u16string& name) {
    calls_.push_back({Call::Start, name});
    Service* s = Find(name);
    if (!s || s->refuseStart || s->state != os::ServiceState::Stopped) {
        return false;
    }
    s->state = os::ServiceState::StartPending;
    s->countdown = s->pendingQueries;
    return true;
}

bool FakeServiceControl::Stop(const std::u16string& name) {
    calls_.push_back({Call::Stop, name});
    Service* s = Find(name);
    if (!s || s->refuseStop || s->state != os::ServiceState::Running) {
        return false;
    }
    s->state = os::ServiceState::StopPending;
    s->countdown = s->pendingQueries;
    return true;
}

} // namespace qk::test
