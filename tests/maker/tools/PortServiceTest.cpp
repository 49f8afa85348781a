// The port communication service as the utility meets it: registered in the prefix by the
// set-up, started and stopped through the real service manager, and never signalling a state
// event that a client holds.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "tests/maker/tools/ToolTestSupport.h"

namespace qk::test {
namespace {

constexpr wchar_t kService[] = L"TARROW_Port_Communication_Service";
constexpr wchar_t kStateEvent[] = L"Global\\PCService.StateEvent";

class ServiceHandle {
public:
    ServiceHandle() {
        manager_ = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
        if (manager_)
            service_ = OpenServiceW(manager_, kService,
                                    SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG | SERVICE_START |
                                        SERVICE_STOP);
    }
    ~ServiceHandle() {
        if (service_)
            CloseServiceHandle(service_);
        if (manager_)
            CloseServiceHandle(manager_);
    }
    SC_HANDLE get() const { return service_; }

    DWORD State() const {
        SERVICE_STATUS status{};
        return QueryServiceStatus(service_, &status) ? status.dwCurrentState : 0;
    }
    // Polls every 100 ms, at most a minute (a start under emulation can be slow).
    bool WaitFor(DWORD wanted) const {
        for (int i = 0; i < 600; ++i) {
            if (State() == wanted)
                return true;
            Sleep(100);
        }
        return false;
    }
    bool Stop() const {
        SERVICE_STATUS status{};
        return ControlService(service_, SERVICE_CONTROL_STOP, &status) != FALSE;
    }

private:
    SC_HANDLE manager_ = nullptr;
    SC_HANDLE service_ = nullptr;
};

int CountOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string ServiceLog() {
    wchar_t data[MAX_PATH] = {};
    GetEnvironmentVariableW(L"ProgramData", data, MAX_PATH);
    return FileText(std::wstring(data) + L"\\TARROW\\QKTools\\runs.log");
}

TEST(PortService, IsRegisteredToStartOnDemandFromTheMakersFolder) {
    ServiceHandle service;
    ASSERT_NE(service.get(), nullptr) << "the set-up registers the service";
    union {
        QUERY_SERVICE_CONFIGW config;
        BYTE bytes[8192];
    } buffer{};
    DWORD needed = 0;
    ASSERT_TRUE(QueryServiceConfigW(service.get(), &buffer.config, sizeof(buffer), &needed));
    EXPECT_EQ(buffer.config.dwStartType, static_cast<DWORD>(SERVICE_DEMAND_START))
        << "a session must not wait for it";
    EXPECT_EQ(buffer.config.dwServiceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
    const std::wstring path = buffer.config.lpBinaryPathName;
    EXPECT_NE(path.find(L"\\TARROW\\portcommunicationservice\\PortCommunicationService.exe"),
              std::wstring::npos)
        << Narrow(path);
}

TEST(PortService, StartsAndStopsThroughTheServiceManagerAndRecordsBoth) {
    ServiceHandle service;
    ASSERT_NE(service.get(), nullptr);
    if (service.State() == SERVICE_RUNNING) {
        ASSERT_TRUE(service.Stop() && service.WaitFor(SERVICE_STOPPED));
    }
    const std::string before = ServiceLog();

    ASSERT_TRUE(StartServiceW(service.get(), 0, nullptr)) << GetLastError();
    ASSERT_TRUE(service.WaitFor(SERVICE_RUNNING));
    // Settled: nobody is left waiting on the state event.
    HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, kStateEvent);
    if (event) {
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
        CloseHandle(event);
    }
    EXPECT_FALSE(StartServiceW(service.get(), 0, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SERVICE_ALREADY_RUNNING));

    ASSERT_TRUE(service.Stop());
    ASSERT_TRUE(service.WaitFor(SERVICE_STOPPED));
    const std::string after = ServiceLog();
    EXPECT_EQ(CountOf(after, " started\r\n") - CountOf(before, " started\r\n"), 1) << after;
    EXPECT_EQ(CountOf(after, " stopped\r\n") - CountOf(before, " stopped\r\n"), 1) << after;
    EXPECT_NE(after.find("PortCommunicationService.exe 20"), std::string::npos);
}

TEST(PortService, LeavesAStateEventThatAClientHoldsToTheClient) {
    ServiceHandle service;
    ASSERT_NE(service.get(), nullptr);
    if (service.State() == SERVICE_RUNNING) {
        ASSERT_TRUE(service.Stop() && service.WaitFor(SERVICE_STOPPED));
    }
    // The client's side of a restart: the event taken, unsignalled, for the whole restart.
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, kStateEvent);
    ASSERT_NE(held, nullptr);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS))
        << "no other holder while the service is stopped";
    ASSERT_TRUE(StartServiceW(service.get(), 0, nullptr));
    EXPECT_TRUE(service.WaitFor(SERVICE_RUNNING)) << "the service does not wait for the holder";
    ASSERT_TRUE(service.Stop());
    EXPECT_TRUE(service.WaitFor(SERVICE_STOPPED));
    EXPECT_EQ(WaitForSingleObject(held, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the holder releases its own event";
    SetEvent(held);
    CloseHandle(held);
}

} // namespace
} // namespace qk::test
