#include "platform/os/Win32ServiceControl.h"
#include <windows.h>
#include "platform/Text.h"
#include "platform/os/RealOs.h"

namespace qk::os {
namespace {

class ServiceHandle {
public:
    explicit ServiceHandle(SC_HANDLE h) : h_(h) {}
    ~ServiceHandle() {
        if (h_) {
            CloseServiceHandle(h_);
        }
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    SC_HANDLE get() const { return h_; }

private:
    SC_HANDLE h_;
};

// Opens the manager and the service with the given rights; `missing` tells whether the
// service does not exist (as opposed to not being openable).
SC_HANDLE OpenNamedService(SC_HANDLE manager, const std::u16string& name, DWORD access,
                           bool& missing) {
    missing = false;
    if (!manager) {
        return nullptr;
    }
    SC_HANDLE service = OpenServiceW(manager, WidePtr(name), access);
    if (!service) {
        const DWORD error = GetLastError();
        missing = error == ERROR_SERVICE_DOES_NOT_EXIST || error == ERROR_INVALID_NAME;
    }
    return service;
}

} // namespace

ServiceState Win32ServiceControl::Query(const std::u16string& name) {
    ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    bool missing = false;
    ServiceHandle service(OpenNamedService(manager.get(), name, SERVICE_QUERY_STATUS, missing));
    if (!service.get()) {
        return missing ? ServiceState::NotFound : ServiceState::Other;
    }
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service.get(), &status)) {
        return ServiceState::Other;
    }
    switch (status.dwCurrentState) {
    case SERVICE_STOPPED:
        return ServiceState::Stopped;
    case SERVICE_START_PENDING:
        return ServiceState::StartPending;
    case SERVICE_STOP_PENDING:
        return ServiceState::StopPending;
    case SERVICE_RUNNING:
        return ServiceState::Running;
    default:
        return ServiceState::Other;
    }
}

bool Win32ServiceControl::Start(const std::u16string& name) {
    ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    bool missing = false;
    ServiceHandle service(OpenNamedService(manager.get(), name, SERVICE_START, missing));
    return service.get() && StartServiceW(service.get(), 0, nullptr);
}

bool Win32ServiceControl::Stop(const std::u16string& name) {
    ServiceHandle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    bool missing = false;
    ServiceHandle service(OpenNamedService(manager.get(), name, SERVICE_STOP, missing));
    SERVICE_STATUS status = {};
    return service.get() && ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
}

IServiceControl& RealServiceControl() {
    static Win32ServiceControl services;
    return services;
}

} // namespace qk::os
