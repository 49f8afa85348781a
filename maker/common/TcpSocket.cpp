#include "maker/common/TcpSocket.h"
#include <ws2tcpip.h>
#include <mstcpip.h>
#include <cstdlib>

namespace qk::net {

WinsockSession::WinsockSession() {
    WSADATA data{};
    ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WinsockSession::~WinsockSession() {
    if (ok_)
        WSACleanup();
}

TcpSocket& TcpSocket::operator=(TcpSocket&& other) noexcept {
    if (this != &other) {
        Close();
        socket_ = other.Release();
    }
    return *this;
}

SOCKET TcpSocket::Release() {
    SOCKET s = socket_;
    socket_ = INVALID_SOCKET;
    return s;
}

void TcpSocket::Close() {
    if (socket_ != INVALID_SOCKET) {
        closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
}

void TcpSocket::Shutdown() {
    if (socket_ != INVALID_SOCKET)
        shutdown(socket_, SD_BOTH);
}

namespace {
timeval ToTimeval(uint32_t ms) {
    timeval tv{};
    tv.tv_sec = static_cast<long>(ms / 1000);
    tv.tv_usec = static_cast<long>((ms % 1000) * 1000);
    return tv;
}
} // namespace

bool TcpSocket::EnableKeepAlive(uint32_t idleMs, uint32_t intervalMs) {
    tcp_keepalive values{1, idleMs, intervalMs};
    DWORD returned = 0;
    return WSAIoctl(socket_, SIO_KEEPALIVE_VALS, &values, sizeof(values), nullptr, 0, &returned,
                    nullptr, nullptr) == 0;
}

TcpSocket::Result TcpSocket::Connect(const std::string& host, uint16_t port, uint32_t timeoutMs) {
    Close();
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || !found)
        return Result::Failed;
    SOCKET s = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    if (s == INVALID_SOCKET) {
        freeaddrinfo(found);
        return Result::Failed;
    }
    // Non-blocking for the connect, so that its wait is bounded.
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    int rc = connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen));
    freeaddrinfo(found);
    Result result = Result::Ok;
    if (rc == SOCKET_ERROR) {
        int error = WSAGetLastError();
        if (error == WSAECONNREFUSED) {
            result = Result::Refused;
        } else if (error != WSAEWOULDBLOCK) {
            result = Result::Failed;
        } else {
            fd_set writable, failed;
            FD_ZERO(&writable);
            FD_ZERO(&failed);
            FD_SET(s, &writable);
            FD_SET(s, &failed);
            timeval tv = ToTimeval(timeoutMs);
            int ready = select(0, nullptr, &writable, &failed, &tv);
            if (ready == 0) {
                result = Result::Timeout;
            } else if (ready < 0) {
                result = Result::Failed;
            } else {
                int soError = 0;
                int length = sizeof(soError);
                getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &length);
                if (FD_ISSET(s, &failed) || soError != 0)
                    result = soError == WSAECONNREFUSED || soError == 0 ? Result::Refused
                                                                        : Result::Failed;
            }
        }
    }
    if (result != Result::Ok) {
        closesocket(s);
        return result;
    }
    u_long blocking = 0;
    ioctlsocket(s, FIONBIO, &blocking);
    BOOL noDelay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof(noDelay));
    socket_ = s;
    return Result::Ok;
}

TcpSocket::Result TcpSocket::SendAll(const void* data, std::size_t size, uint32_t timeoutMs) {
    if (socket_ == INVALID_SOCKET)
        return Result::Closed;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(socket_, &writable);
        timeval tv = ToTimeval(timeoutMs);
        int ready = select(0, nullptr, &writable, nullptr, &tv);
        if (ready == 0)
            return Result::Timeout;
        if (ready < 0)
            return Result::Failed;
        int chunk = size > 65536 ? 65536 : static_cast<int>(size);
        int sent = send(socket_, p, chunk, 0);
        if (sent == SOCKET_ERROR) {
            if (WSAGetLastError() == WSAEWOULDBLOCK)
                continue;
            return Result::Closed;
        }
        p += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return Result::Ok;
}

bool TcpSocket::WaitReadable(uint32_t timeoutMs) const {
    if (socket_ == INVALID_SOCKET)
        return false;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_, &readable);
    timeval tv = ToTimeval(timeoutMs);
    return select(0, &readable, nullptr, nullptr, &tv) > 0;
}

TcpSocket::Result TcpSocket::Receive(void* buffer, std::size_t size, std::size_t& received,
                                     uint32_t timeoutMs) {
    received = 0;
    if (socket_ == INVALID_SOCKET)
        return Result::Closed;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_, &readable);
    timeval tv = ToTimeval(timeoutMs);
    int ready = select(0, &readable, nullptr, nullptr, &tv);
    if (ready == 0)
        return Result::Timeout;
    if (ready < 0)
        return Result::Failed;
    int chunk = size > 65536 ? 65536 : static_cast<int>(size);
    int got = recv(socket_, static_cast<char*>(buffer), chunk, 0);
    if (got == 0)
        return Result::Closed;
    if (got == SOCKET_ERROR)
        return WSAGetLastError() == WSAEWOULDBLOCK ? Result::Timeout : Result::Closed;
    received = static_cast<std::size_t>(got);
    return Result::Ok;
}

bool ParseEndpoint(const std::string& text, std::string& host, uint16_t& port) {
    std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size())
        return false;
    char* end = nullptr;
    long value = std::strtol(text.c_str() + colon + 1, &end, 10);
    if (*end != '\0' || value <= 0 || value > 65535)
        return false;
    host = text.substr(0, colon);
    port = static_cast<uint16_t>(value);
    return true;
}

} // namespace qk::net
