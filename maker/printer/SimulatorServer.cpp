#include "maker/printer/SimulatorServer.h"
#include <array>
#include <vector>
#include "maker/common/TcpSocket.h"
#include "maker/printer/CommandInterpreter.h"
#include "maker/printer/ControlCommand.h"
#include "maker/printer/StatusBytes.h"

namespace qk::sim {

namespace {
// Loopback only: the simulator is a development tool.
SOCKET OpenListener(uint16_t port, uint16_t& actual) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return s;
    // Reopening the printer port after a refusal must not fail on connections in TIME_WAIT.
    BOOL reuse = TRUE;
    if (port != 0)
        setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse),
                   sizeof(reuse));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == SOCKET_ERROR ||
        listen(s, 4) == SOCKET_ERROR) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    int length = sizeof(address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    actual = ntohs(address.sin_port);
    return s;
}

constexpr DWORD kWaitSliceMs = 1000;
constexpr DWORD kControlIdleMs = 5000;
} // namespace

SimulatorServer::SimulatorServer(PrinterState& state, SetupMemory& memory)
    : state_(state), memory_(memory) {
    changed_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    quit_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    state_.SetListener([this] { SetEvent(changed_); });
}

SimulatorServer::~SimulatorServer() {
    Stop();
    if (control_.joinable())
        control_.join();
    state_.SetListener(nullptr);
    if (dataListener_ != INVALID_SOCKET)
        closesocket(dataListener_);
    if (controlListener_ != INVALID_SOCKET)
        closesocket(controlListener_);
    CloseHandle(changed_);
    CloseHandle(quit_);
}

bool SimulatorServer::Start(uint16_t dataPort, uint16_t controlPort, std::string& error) {
    dataListener_ = OpenListener(dataPort, dataPort_);
    if (dataListener_ == INVALID_SOCKET) {
        error = "cannot listen on printer port " + std::to_string(dataPort);
        return false;
    }
    controlListener_ = OpenListener(controlPort, controlPort_);
    if (controlListener_ == INVALID_SOCKET) {
        error = "cannot listen on control port " + std::to_string(controlPort);
        return false;
    }
    control_ = std::thread([this] { ControlLoop(); });
    return true;
}

void SimulatorServer::Stop() {
    if (quit_)
        SetEvent(quit_);
}

void SimulatorServer::Run(HANDLE watched) {
    HANDLE acceptEvent = WSACreateEvent();
    std::thread watcher;
    if (watched)
        watcher = std::thread([this, watched] {
            HANDLE waits[] = {watched, quit_};
            if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0)
                Stop();
        });
    while (WaitForSingleObject(quit_, 0) == WAIT_TIMEOUT) {
        SOCKET client = INVALID_SOCKET;
        {
            std::lock_guard lock(listenerMutex_);
            if (dataListener_ != INVALID_SOCKET)
                WSAEventSelect(dataListener_, acceptEvent, FD_ACCEPT);
        }
        HANDLE waits[] = {acceptEvent, changed_, quit_};
        DWORD which = WaitForMultipleObjects(3, waits, FALSE, kWaitSliceMs);
        if (which != WAIT_OBJECT_0)
            continue;
        WSAResetEvent(acceptEvent);
        {
            std::lock_guard lock(listenerMutex_);
            if (dataListener_ != INVALID_SOCKET)
                client = accept(dataListener_, nullptr, nullptr);
        }
        if (client != INVALID_SOCKET) {
            state_.CountConnection();
            Serve(client);
            closesocket(client);
        }
    }
    WSACloseEvent(acceptEvent);
    Stop();
    if (watcher.joinable())
        watcher.join();
}

bool SimulatorServer::SendAnswer(SOCKET client, const uint8_t* data, std::size_t size) {
    AnswerBehaviour how = state_.Behaviour();
    if (how.silent || size == 0)
        return true;
    if (how.delayMs > 0 && WaitForSingleObject(quit_, how.delayMs) == WAIT_OBJECT_0)
        return false;
    net::TcpSocket socket(client);
    bool ok = socket.SendAll(data, size, 5000) == net::TcpSocket::Result::Ok;
    socket.Release();
    return ok;
}

// A late answer, or one byte at a time: the printer stops at its quit.
bool SimulatorServer::SendTimedFault(SOCKET client, const std::vector<uint8_t>& answers) {
    const QuestionFault fault = state_.Behaviour().fault;
    if (fault.kind == QuestionFault::Kind::Late) {
        if (WaitForSingleObject(quit_, fault.ms) == WAIT_OBJECT_0)
            return false;
        return SendAnswer(client, answers.data(), answers.size());
    }
    for (std::size_t i = 0; i < answers.size(); ++i) {
        if (i > 0 && WaitForSingleObject(quit_, fault.ms) == WAIT_OBJECT_0)
            return false;
        if (!SendAnswer(client, answers.data() + i, 1))
            return false;
    }
    return true;
}

void SimulatorServer::Serve(SOCKET client) {
    HANDLE socketEvent = WSACreateEvent();
    WSAEventSelect(client, socketEvent, FD_READ | FD_CLOSE);
    BOOL noDelay = TRUE;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof(noDelay));
    CommandInterpreter interpreter(state_, memory_);
    const uint64_t drops = state_.DropCount();
    std::array<uint8_t, 4> lastStatus{};
    bool statusSent = false;
    bool open = true;
    std::vector<uint8_t> answers;
    while (open && WaitForSingleObject(quit_, 0) == WAIT_TIMEOUT) {
        HANDLE waits[] = {socketEvent, changed_, quit_};
        DWORD which = WaitForMultipleObjects(3, waits, FALSE, kWaitSliceMs);
        if (state_.DropCount() != drops)
            break;
        if (which == WAIT_OBJECT_0) {
            WSANETWORKEVENTS events{};
            WSAEnumNetworkEvents(client, socketEvent, &events);
            uint8_t buffer[4096];
            for (int rounds = 0; rounds < 256; ++rounds) {
                int got = recv(client, reinterpret_cast<char*>(buffer), sizeof(buffer), 0);
                if (got > 0) {
                    bool drop = false;
                    const std::size_t take =
                        state_.TakeArriving(static_cast<std::size_t>(got), drop);
                    answers.clear();
                    interpreter.Feed(buffer, take, answers);
                    if (drop) {
                        open = false; // the rest of the command is lost with the connection
                        break;
                    }
                    if (!(interpreter.TakeTimedFault()
                              ? SendTimedFault(client, answers)
                              : SendAnswer(client, answers.data(), answers.size())))
                        open = false;
                    // Enabling was answered with the status; it goes again when it changes.
                    if (const auto answered = interpreter.TakeAnsweredStatus()) {
                        lastStatus = *answered;
                        statusSent = !state_.Behaviour().silent;
                    }
                    continue;
                }
                if (got == 0 || WSAGetLastError() != WSAEWOULDBLOCK)
                    open = false;
                break;
            }
        }
        if (open && interpreter.AutomaticStatusMask() != 0) {
            std::array<uint8_t, 4> now = AutomaticStatus(state_.Conditions());
            if (!statusSent || now != lastStatus) {
                if (!state_.Behaviour().silent) {
                    if (!SendAnswer(client, now.data(), now.size()))
                        open = false;
                    lastStatus = now;
                    statusSent = true;
                }
            }
        }
    }
    WSAEventSelect(client, nullptr, 0);
    WSACloseEvent(socketEvent);
}

void SimulatorServer::ApplyRefusing() {
    std::lock_guard lock(listenerMutex_);
    bool refusing = state_.Refusing();
    if (refusing && dataListener_ != INVALID_SOCKET) {
        closesocket(dataListener_);
        dataListener_ = INVALID_SOCKET;
    } else if (!refusing && dataListener_ == INVALID_SOCKET) {
        uint16_t actual = 0;
        dataListener_ = OpenListener(dataPort_, actual);
    }
    SetEvent(changed_);
}

void SimulatorServer::ControlLoop() {
    net::TcpSocket listener(controlListener_);
    while (WaitForSingleObject(quit_, 0) == WAIT_TIMEOUT) {
        if (!listener.WaitReadable(500))
            continue;
        SOCKET client = accept(controlListener_, nullptr, nullptr);
        if (client != INVALID_SOCKET) {
            ServeControl(client);
            closesocket(client);
        }
    }
    listener.Release();
}

void SimulatorServer::ServeControl(SOCKET client) {
    net::TcpSocket socket(client);
    ControlCommand command(state_, memory_);
    std::string pending;
    char buffer[512];
    while (WaitForSingleObject(quit_, 0) == WAIT_TIMEOUT) {
        std::size_t got = 0;
        if (socket.Receive(buffer, sizeof(buffer), got, kControlIdleMs) !=
            net::TcpSocket::Result::Ok)
            break;
        pending.append(buffer, got);
        if (pending.size() > 4096)
            break;
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            std::string answer = command.Execute(line) + "\r\n";
            ApplyRefusing();
            socket.SendAll(answer.data(), answer.size(), 5000);
            if (state_.QuitRequested())
                SetEvent(quit_);
        }
    }
    socket.Release();
}

} // namespace qk::sim
