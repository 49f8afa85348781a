// Service control: the real service manager answers for the spooler and for missing names
// without hanging; the fake keeps the platform's refusals and pending states.
#include <windows.h>
#include <gtest/gtest.h>
#include "platform/os/RealOs.h"
#include "tests/platform/os/OsWorlds.h"

namespace qk::test {
namespace {

using os::ServiceState;

const char* Name(ServiceState s) {
    switch (s) {
    case ServiceState::NotFound:
        return "NotFound";
    case ServiceState::Stopped:
        return "Stopped";
    case ServiceState::StartPending:
        return "StartPending";
    case ServiceState::StopPending:
        return "StopPending";
    case ServiceState::Running:
        return "Running";
    case ServiceState::Other:
        break;
    }
    return "Other";
}

// Polls until the state is reached, every 100 ms for at most 20 seconds.
ServiceState PollFor(os::IServiceControl& services, const std::u16string& name,
                     ServiceState wanted) {
    ServiceState state = services.Query(name);
    for (int i = 0; i < 200 && state != wanted; ++i) {
        Sleep(100);
        state = services.Query(name);
    }
    return state;
}

TEST(Win32ServiceControl, SpoolerAnswersAQuery) {
    const ServiceState state = os::RealServiceControl().Query(u"spooler");
    EXPECT_TRUE(state == ServiceState::Stopped || state == ServiceState::Running ||
                state == ServiceState::StartPending || state == ServiceState::StopPending)
        << Name(state);
    EXPECT_EQ(os::RealServiceControl().Query(u"SPOOLER"),
              os::RealServiceControl().Query(u"spooler"));
}

TEST(Win32ServiceControl, MissingServicesAreNotFoundAndRefuseRequests) {
    os::IServiceControl& services = os::RealServiceControl();
    EXPECT_EQ(services.Query(u"QkNoSuchService"), ServiceState::NotFound)
        << Name(services.Query(u"QkNoSuchService"));
    EXPECT_FALSE(services.Start(u"QkNoSuchService"));
    EXPECT_FALSE(services.Stop(u"QkNoSuchService"));
}

TEST(Win32ServiceControl, SpoolerStopsAndStartsAgain) {
    os::IServiceControl& services = os::RealServiceControl();
    const std::u16string spooler = u"spooler";
    // Whatever happens here, the spooler runs again afterwards.
    struct Restart {
        os::IServiceControl& services;
        ~Restart() {
            if (services.Query(u"spooler") == ServiceState::Stopped) {
                services.Start(u"spooler");
                PollFor(services, u"spooler", ServiceState::Running);
            }
        }
    } restart{services};
    if (services.Query(spooler) != ServiceState::Running) {
        ASSERT_TRUE(services.Start(spooler));
        ASSERT_EQ(PollFor(services, spooler, ServiceState::Running), ServiceState::Running);
    }
    EXPECT_FALSE(services.Start(spooler)); // running already
    ASSERT_TRUE(services.Stop(spooler));
    EXPECT_EQ(Name(PollFor(services, spooler, ServiceState::Stopped)), std::string("Stopped"));
    EXPECT_FALSE(services.Stop(spooler)); // stopped already
    ASSERT_TRUE(services.Start(spooler));
    EXPECT_EQ(Name(PollFor(services, spooler, ServiceState::Running)), std::string("Running"));
}

} // namespace
} // namespace qk::test
