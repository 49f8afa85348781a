// PortCommunicationService.exe: the maker's port communication service, reduced to what the
// utility relies on. A Windows service "TARROW_Port_Communication_Service" (own process, started
// on demand) that the utility stops and starts through the service manager when it switches a
// port's connector. While it changes state it holds the manual-reset event
// "Global\PCService.StateEvent" unsignalled and signals it when it is done, so that a client
// that could not stop the spooler waits for the service to settle; an event that someone else
// created and holds is left to its holder. Each start and stop appends a line to the tools'
// runs.log ("PortCommunicationService.exe <time> started|stopped").
//   PortCommunicationService.exe             run by the service manager
//   PortCommunicationService.exe /install    registers the service (or updates its program path)
//   PortCommunicationService.exe /uninstall  removes it
// Exit codes of the two commands: 0 done, 1 no service manager, 2 refused.
#include <windows.h>
#include <shellapi.h>
#include <string>
#include "maker/common/ToolRunLog.h"

namespace {

constexpr wchar_t kServiceName[] = L"TARROW_Port_Communication_Service";
constexpr wchar_t kDisplayName[] = L"TARROW Port Communication Service";
constexpr wchar_t kStateEventName[] = L"Global\\PCService.StateEvent";
// How long starting and stopping take, so that clients see the pending states.
constexpr DWORD kTransitionMs = 400;

SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
SERVICE_STATUS g_status{};
HANDLE g_stopRequested = nullptr;

void Report(DWORD state, DWORD waitHintMs = 0) {
    g_status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    g_status.dwCurrentState = state;
    g_status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    g_status.dwWin32ExitCode = NO_ERROR;
    g_status.dwWaitHint = waitHintMs;
    g_status.dwCheckPoint = waitHintMs ? g_status.dwCheckPoint + 1 : 0;
    SetServiceStatus(g_statusHandle, &g_status);
}

// The state event, held unsignalled for one change of state.
class StateTransition {
public:
    StateTransition() {
        event_ = CreateEventW(nullptr, TRUE, FALSE, kStateEventName);
        if (!event_)
            return;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            owned_ = true; // created unsignalled: ours until the change is done
        } else if (WaitForSingleObject(event_, 0) == WAIT_OBJECT_0) {
            owned_ = ResetEvent(event_) != FALSE;
        }
    }
    ~StateTransition() {
        if (owned_)
            SetEvent(event_);
        if (event_)
            CloseHandle(event_);
    }
    StateTransition(const StateTransition&) = delete;
    StateTransition& operator=(const StateTransition&) = delete;

private:
    HANDLE event_ = nullptr;
    bool owned_ = false;
};

// Runs one change of state under the event, reporting the pending state meanwhile.
void Transition(DWORD pendingState, const char* record) {
    StateTransition held;
    for (DWORD spent = 0; spent < kTransitionMs; spent += 100) {
        Report(pendingState, 2000);
        Sleep(100);
    }
    qk::tools::RecordRun(record);
}

DWORD WINAPI OnControl(DWORD control, DWORD, void*, void*) {
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        Report(SERVICE_STOP_PENDING, 2000);
        SetEvent(g_stopRequested);
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD, LPWSTR*) {
    g_statusHandle = RegisterServiceCtrlHandlerExW(kServiceName, OnControl, nullptr);
    if (!g_statusHandle)
        return;
    g_stopRequested = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!g_stopRequested) {
        Report(SERVICE_STOPPED);
        return;
    }
    Transition(SERVICE_START_PENDING, "started");
    Report(SERVICE_RUNNING);
    // A service waits for its stop control as long as it runs; the service manager sends it.
    while (WaitForSingleObject(g_stopRequested, 1000) == WAIT_TIMEOUT) {
    }
    Transition(SERVICE_STOP_PENDING, "stopped");
    CloseHandle(g_stopRequested);
    Report(SERVICE_STOPPED);
}

std::wstring OwnCommand() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return L"\"" + std::wstring(path) + L"\"";
}

int Install() {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE);
    if (!manager)
        return 1;
    const std::wstring command = OwnCommand();
    SC_HANDLE service =
        CreateServiceW(manager, kServiceName, kDisplayName, SERVICE_ALL_ACCESS,
                       SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                       command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    bool done = service != nullptr;
    if (!service && GetLastError() == ERROR_SERVICE_EXISTS) {
        service = OpenServiceW(manager, kServiceName, SERVICE_CHANGE_CONFIG);
        done = service &&
               ChangeServiceConfigW(service, SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                    SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr,
                                    nullptr, nullptr, nullptr, kDisplayName);
    }
    if (service)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return done ? 0 : 2;
}

int Uninstall() {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager)
        return 1;
    SC_HANDLE service = OpenServiceW(manager, kServiceName, DELETE);
    const bool done = service && DeleteService(service);
    if (service)
        CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return done ? 0 : 2;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring command = argv && argc > 1 ? argv[1] : L"";
    if (argv)
        LocalFree(argv);
    if (_wcsicmp(command.c_str(), L"/install") == 0)
        return Install();
    if (_wcsicmp(command.c_str(), L"/uninstall") == 0)
        return Uninstall();
    SERVICE_TABLE_ENTRYW table[] = {{const_cast<LPWSTR>(kServiceName), ServiceMain},
                                    {nullptr, nullptr}};
    return StartServiceCtrlDispatcherW(table) ? 0 : 1;
}
