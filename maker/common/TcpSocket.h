// A TCP socket over Winsock with bounded waits for connecting, sending and receiving.
#pragma once
#include <winsock2.h>
#include <cstddef>
#include <cstdint>
#include <string>

namespace qk::net {

// Keeps Winsock started for the lifetime of the object.
class WinsockSession {
public:
    WinsockSession();
    ~WinsockSession();
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
    bool Ok() const { return ok_; }

private:
    bool ok_ = false;
};

// Not synchronised: one thread may send while another receives, and any thread may Shutdown to
// wake them; Connect and Close only while no other thread uses the socket (a handle closed
// under a sender may already name another socket when the send goes out).
class TcpSocket {
public:
    enum class Result { Ok, Timeout, Refused, Closed, Failed };

    TcpSocket() = default;
    explicit TcpSocket(SOCKET s) : socket_(s) {}
    ~TcpSocket() { Close(); }
    TcpSocket(TcpSocket&& other) noexcept : socket_(other.Release()) {}
    TcpSocket& operator=(TcpSocket&& other) noexcept;
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Connects to host:port within timeoutMs. Refused when nothing listens there.
    Result Connect(const std::string& host, uint16_t port, uint32_t timeoutMs);
    // Sends everything or fails; each wait for room is bounded by timeoutMs.
    Result SendAll(const void* data, std::size_t size, uint32_t timeoutMs);
    // Waits up to timeoutMs for data; `received` is how much arrived (Ok only when > 0).
    Result Receive(void* buffer, std::size_t size, std::size_t& received, uint32_t timeoutMs);
    // Waits up to timeoutMs for data or the peer's close without taking anything.
    bool WaitReadable(uint32_t timeoutMs) const;

    void Close();
    // TCP keep-alive probes after idleMs without traffic, every intervalMs: a peer that went
    // away without closing (cable pulled, printer switched off) ends the connection in seconds.
    bool EnableKeepAlive(uint32_t idleMs, uint32_t intervalMs);
    // Ends sending and receiving so that a thread blocked on the socket wakes up.
    void Shutdown();
    bool Valid() const { return socket_ != INVALID_SOCKET; }
    SOCKET Handle() const { return socket_; }
    SOCKET Release();

private:
    SOCKET socket_ = INVALID_SOCKET;
};

// "host:port" into its parts; false when malformed.
bool ParseEndpoint(const std::string& text, std::string& host, uint16_t& port);

} // namespace qk::net
