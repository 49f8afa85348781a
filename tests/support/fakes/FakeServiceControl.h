// Services in memory. A start or stop request moves a service to the pending state, where
// it stays for a set number of queries before it reaches its end state; requests that the
// platform refuses (starting a running service, stopping a stopped one, a missing service)
// are refused here too; only a running service accepts the stop request. Every call is recorded.
#pragma once
#include <map>
#include <string>
#include <vector>
#include "platform/os/ServiceControl.h"

namespace qk::test {

class FakeServiceControl : public os::IServiceControl {
public:
    struct Service {
        os::ServiceState state = os::ServiceState::Stopped;
        int pendingQueries = 0; // queries that still see the pending state after a request
        os::ServiceState afterStart = os::ServiceState::Running; // Stopped: it fails to start
        os::ServiceState afterStop = os::ServiceState::Stopped;
        bool refuseStart = false;
        bool refuseStop = false;
        int countdown = 0;
    };
    struct Call {
        enum Kind { Query, Start, Stop } kind;
        std::u16string name;
    };

    // Names compare case-insensitively.
    Service& AddService(const std::u16string& name, os::ServiceState state, int pendingQueries = 0);
    Service* Find(const std::u16string& name);
    const std::vector<Call>& Calls() const { return calls_; }
    int CountOf(Call::Kind kind, const std::u16string& name) const;

    os::ServiceState Query(const std::u16string& name) override;
    bool Start(const std::u16string& name) override;
    bool Stop(const std::u16string& name) override;

private:
    std::map<std::u16string, Service> services_; // by folded name
    std::vector<Call> calls_;
};

} // namespace qk::test
