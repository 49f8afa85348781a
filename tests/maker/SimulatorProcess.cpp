#include "tests/maker/SimulatorProcess.h"
#include <windows.h>
#include <cstdio>
#include "maker/common/WinText.h"
#include "maker/printer/ControlClient.h"

namespace qk::test {

SimulatorProcess::~SimulatorProcess() {
    Stop();
}

bool SimulatorProcess::Start(const std::wstring& extraArguments) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    static int counter = 0;
    portFile_ = std::wstring(folder) + L"qksim-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter) + L".ports";
    DeleteFileW(portFile_.c_str());
    // --parent: a test that crashes must not leave its simulator behind.
    std::wstring arguments = L"--port 0 --control-port 0 --parent " +
                             std::to_wstring(GetCurrentProcessId()) + L" --port-file \"" +
                             portFile_ + L"\"";
    if (!extraArguments.empty())
        arguments += L" " + extraArguments;
    if (!process_.Start(StageDir() + L"QKPrinterSim.exe", arguments))
        return false;
    std::string text;
    bool ready = PumpUntil(
        [&] {
            return win::ReadFileText(portFile_, text) &&
                   std::sscanf(text.c_str(), "%hu %hu", &dataPort_, &controlPort_) == 2;
        },
        15000);
    DeleteFileW(portFile_.c_str());
    return ready;
}

void SimulatorProcess::Stop() {
    if (!process_.Handle())
        return;
    if (controlPort_ != 0)
        Control("quit");
    if (!process_.Wait(5000))
        process_.Kill();
    process_.Wait(5000);
    controlPort_ = 0;
}

std::string SimulatorProcess::Control(const std::string& line) const {
    std::string reply;
    if (!sim::SendControlLine(controlPort_, line, reply, 5000))
        return "";
    return reply;
}

bool PrinterConnection::Connect(uint16_t port) {
    return socket_.Connect("127.0.0.1", port, 3000) == net::TcpSocket::Result::Ok;
}

bool PrinterConnection::Send(const std::vector<uint8_t>& bytes) {
    return socket_.SendAll(bytes.data(), bytes.size(), 3000) == net::TcpSocket::Result::Ok;
}

std::vector<uint8_t> PrinterConnection::ReadExactly(std::size_t count, uint32_t timeoutMs) {
    std::vector<uint8_t> bytes;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (bytes.size() < count) {
        ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            break;
        uint8_t buffer[256];
        std::size_t got = 0;
        std::size_t want =
            count - bytes.size() < sizeof(buffer) ? count - bytes.size() : sizeof(buffer);
        if (socket_.Receive(buffer, want, got, static_cast<uint32_t>(deadline - now)) !=
            net::TcpSocket::Result::Ok)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

std::vector<uint8_t> PrinterConnection::ReadAvailable(uint32_t timeoutMs) {
    std::vector<uint8_t> bytes;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            break;
        uint8_t buffer[256];
        std::size_t got = 0;
        if (socket_.Receive(buffer, sizeof(buffer), got, static_cast<uint32_t>(deadline - now)) !=
            net::TcpSocket::Result::Ok)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

bool PrinterConnection::WaitClosed(uint32_t timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        uint8_t buffer[256];
        std::size_t got = 0;
        auto result =
            socket_.Receive(buffer, sizeof(buffer), got, static_cast<uint32_t>(deadline - now));
        if (result == net::TcpSocket::Result::Closed)
            return true;
        if (result != net::TcpSocket::Result::Ok)
            return false;
    }
}

} // namespace qk::test
