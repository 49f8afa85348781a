#include "maker/printer/ControlClient.h"
#include "maker/common/TcpSocket.h"
#include <windows.h>

namespace qk::sim {

bool SendControlLine(uint16_t controlPort, const std::string& line, std::string& reply,
                     uint32_t timeoutMs) {
    reply.clear();
    const net::WinsockSession winsock; // counted: callers need not have started Winsock
    net::TcpSocket socket;
    if (socket.Connect("127.0.0.1", controlPort, timeoutMs) != net::TcpSocket::Result::Ok)
        return false;
    std::string text = line + "\n";
    if (socket.SendAll(text.data(), text.size(), timeoutMs) != net::TcpSocket::Result::Ok)
        return false;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    char buffer[512];
    while (reply.find('\n') == std::string::npos) {
        ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        std::size_t got = 0;
        if (socket.Receive(buffer, sizeof(buffer), got, static_cast<uint32_t>(deadline - now)) !=
            net::TcpSocket::Result::Ok)
            return false;
        reply.append(buffer, got);
    }
    reply.erase(reply.find_first_of("\r\n"));
    return true;
}

} // namespace qk::sim
