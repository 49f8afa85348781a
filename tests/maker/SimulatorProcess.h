// Runs QKPrinterSim.exe from the program folder on free ports for one test and stops it at the
// end; talks to its control channel and, as a printer host would, to its printer port.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "maker/common/TcpSocket.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {

class SimulatorProcess {
public:
    SimulatorProcess() = default;
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // Starts the simulator and waits (bounded) until it listens.
    bool Start(const std::wstring& extraArguments = L"");
    void Stop();

    uint16_t DataPort() const { return dataPort_; }
    uint16_t ControlPort() const { return controlPort_; }
    std::string Endpoint() const { return "127.0.0.1:" + std::to_string(dataPort_); }
    // One control command; answers the reply line ("" when the simulator does not answer).
    std::string Control(const std::string& line) const;

private:
    net::WinsockSession winsock_;
    ProcessRunner process_;
    std::wstring portFile_;
    uint16_t dataPort_ = 0;
    uint16_t controlPort_ = 0;
};

// A host on the printer port: writes commands and reads answers with bounded waits.
class PrinterConnection {
public:
    bool Connect(uint16_t port);
    bool Send(const std::vector<uint8_t>& bytes);
    // Exactly `count` bytes within timeoutMs, or fewer when they do not come.
    std::vector<uint8_t> ReadExactly(std::size_t count, uint32_t timeoutMs = 3000);
    // Whatever arrives within timeoutMs.
    std::vector<uint8_t> ReadAvailable(uint32_t timeoutMs);
    // True when the printer closed the connection within timeoutMs.
    bool WaitClosed(uint32_t timeoutMs);
    net::TcpSocket& Socket() { return socket_; }

private:
    net::TcpSocket socket_;
};

} // namespace qk::test
