// The printer's two TCP endpoints on 127.0.0.1: the printer port, which serves one connection
// at a time as a printer port does, and the control channel that flips its state.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include "maker/printer/PrinterState.h"
#include "maker/printer/SetupMemory.h"

namespace qk::sim {

class SimulatorServer {
public:
    SimulatorServer(PrinterState& state, SetupMemory& memory);
    ~SimulatorServer();
    SimulatorServer(const SimulatorServer&) = delete;
    SimulatorServer& operator=(const SimulatorServer&) = delete;

    // Port 0 picks a free port; the chosen ones are answered by DataPort and ControlPort.
    bool Start(uint16_t dataPort, uint16_t controlPort, std::string& error);
    uint16_t DataPort() const { return dataPort_; }
    uint16_t ControlPort() const { return controlPort_; }

    // Serves until "quit" arrives on the control channel, Stop is called or `watched` (a
    // process handle, may be null) ends.
    void Run(HANDLE watched = nullptr);
    void Stop();

private:
    void Serve(SOCKET client);
    bool SendTimedFault(SOCKET client, const std::vector<uint8_t>& answers);
    bool SendAnswer(SOCKET client, const uint8_t* data, std::size_t size);
    void ControlLoop();
    void ServeControl(SOCKET client);
    void ApplyRefusing();

    PrinterState& state_;
    SetupMemory& memory_;
    HANDLE changed_ = nullptr; // auto-reset: the state, the refusal or a drop request moved
    HANDLE quit_ = nullptr;    // manual-reset
    std::mutex listenerMutex_;
    SOCKET dataListener_ = INVALID_SOCKET;
    SOCKET controlListener_ = INVALID_SOCKET;
    uint16_t dataPort_ = 0;
    uint16_t controlPort_ = 0;
    std::thread control_;
};

} // namespace qk::sim
