#include "maker/comm/PrinterLink.h"
#include <windows.h>
#include <algorithm>
#include "framework/comm/CommResult.h"

namespace qk::comm {

namespace {
constexpr uint32_t kReaderSliceMs = 100;
constexpr uint32_t kIdleResetMs = 300;
constexpr uint32_t kKeepAliveIdleMs = 2000;
constexpr uint32_t kKeepAliveIntervalMs = 500;

int32_t ToCode(net::TcpSocket::Result result) {
    switch (result) {
    case net::TcpSocket::Result::Ok:
        return kQkcOk;
    case net::TcpSocket::Result::Timeout:
        return kQkcTimeout;
    case net::TcpSocket::Result::Refused:
        return kQkcConnectFailed;
    case net::TcpSocket::Result::Closed:
        return kQkcConnectionLost;
    case net::TcpSocket::Result::Failed:
        break;
    }
    return kQkcConnectFailed;
}
} // namespace

PrinterLink::PrinterLink(StatusSink onStatus, EventSink onLost, EventSink onNoStatus)
    : onStatus_(std::move(onStatus)), onLost_(std::move(onLost)),
      onNoStatus_(std::move(onNoStatus)) {}

PrinterLink::~PrinterLink() {
    Close();
}

int32_t PrinterLink::Connect(const std::string& endpoint, uint32_t timeoutMs) {
    std::string host;
    uint16_t port = 0;
    if (!net::ParseEndpoint(endpoint, host, port))
        return kQkcPortNotFound;
    int32_t rc = ToCode(socket_.Connect(host, port, timeoutMs));
    if (rc != kQkcOk)
        return rc;
    // A printer switched off or a cable pulled sends no close: the probes notice it.
    socket_.EnableKeepAlive(kKeepAliveIdleMs, kKeepAliveIntervalMs);
    {
        std::lock_guard lock(mutex_);
        alive_ = true;
        stop_ = false;
    }
    if (!reader_.Start([this] { ReaderLoop(); })) {
        socket_.Close();
        std::lock_guard lock(mutex_);
        alive_ = false;
        return kQkcInternalError;
    }
    return kQkcOk;
}

int32_t PrinterLink::Write(const void* data, std::size_t size, uint32_t timeoutMs) {
    if (!Alive())
        return kQkcConnectionLost;
    std::lock_guard lock(sendMutex_);
    return ToCode(socket_.SendAll(data, size, timeoutMs));
}

int32_t PrinterLink::Read(void* buffer, std::size_t size, std::size_t& received,
                          uint32_t timeoutMs) {
    received = 0;
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                      [this] { return !answers_.empty() || !alive_; });
    if (answers_.empty())
        return alive_ ? kQkcTimeout : kQkcConnectionLost;
    auto* out = static_cast<uint8_t*>(buffer);
    while (received < size && !answers_.empty()) {
        out[received++] = answers_.front();
        answers_.pop_front();
    }
    return kQkcOk;
}

int32_t PrinterLink::ReadStatusByte(uint8_t& status, uint32_t timeoutMs) {
    auto isStatus = [](uint8_t b) { return (b & 0x93) == 0x12; };
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return !alive_ || std::any_of(answers_.begin(), answers_.end(), isStatus);
    });
    auto it = std::find_if(answers_.begin(), answers_.end(), isStatus);
    if (it == answers_.end())
        return alive_ ? kQkcTimeout : kQkcConnectionLost;
    status = *it;
    answers_.erase(it);
    return kQkcOk;
}

int32_t PrinterLink::EnableAutomaticStatus(uint32_t graceMs) {
    {
        std::lock_guard lock(mutex_);
        statusSeen_ = false;
        statusDeadline_ = GetTickCount64() + graceMs;
    }
    const uint8_t enable[] = {0x1D, 0x61, 0x0F};
    return Write(enable, sizeof(enable), 3000);
}

void PrinterLink::Purge() {
    std::lock_guard lock(mutex_);
    answers_.clear();
}

bool PrinterLink::Alive() const {
    std::lock_guard lock(mutex_);
    return alive_;
}

bool PrinterLink::Adopt() {
    std::lock_guard lock(mutex_);
    adopted_ = true;
    return alive_;
}

void PrinterLink::Close() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    // The shutdown wakes the reader and a writer; the handle itself may only go once neither
    // uses it, or a socket opened meanwhile under the same handle would get their traffic.
    socket_.Shutdown();
    reader_.Join(3000);
    {
        std::lock_guard send(sendMutex_);
        socket_.Close();
    }
    std::lock_guard lock(mutex_);
    alive_ = false;
    arrived_.notify_all();
}

void PrinterLink::Deliver(const StreamDemux::Output& out) {
    if (!out.answers.empty()) {
        std::lock_guard lock(mutex_);
        answers_.insert(answers_.end(), out.answers.begin(), out.answers.end());
        arrived_.notify_all();
    }
    if (!out.statusPackets.empty()) {
        std::lock_guard lock(mutex_);
        statusSeen_ = true;
        statusDeadline_ = 0;
        // Until the link is taken over only the newest status matters, also when one read
        // brought several.
        if (adopted_)
            heldStatus_.insert(heldStatus_.end(), out.statusPackets.begin(),
                               out.statusPackets.end());
        else
            heldStatus_.assign(1, out.statusPackets.back());
    }
}

void PrinterLink::HoldNoStatus() {
    std::lock_guard lock(mutex_);
    heldNoStatus_ = true;
}

// The reports go out from the reader thread alone, so that they keep their order.
void PrinterLink::ReleaseHeld() {
    std::vector<std::array<uint8_t, 4>> packets;
    bool noStatus;
    {
        std::lock_guard lock(mutex_);
        if (!adopted_)
            return;
        packets.swap(heldStatus_);
        noStatus = heldNoStatus_;
        heldNoStatus_ = false;
    }
    if (noStatus && onNoStatus_)
        onNoStatus_();
    if (onStatus_)
        for (const auto& packet : packets)
            onStatus_(packet);
}

void PrinterLink::ReaderLoop() {
    uint32_t idleMs = 0;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stop_)
                return;
        }
        uint8_t buffer[4096];
        std::size_t got = 0;
        auto result = socket_.Receive(buffer, sizeof(buffer), got, kReaderSliceMs);
        StreamDemux::Output out;
        if (result == net::TcpSocket::Result::Ok) {
            idleMs = 0;
            demux_.Feed(buffer, got, out);
            Deliver(out);
            ReleaseHeld();
            continue;
        }
        if (result == net::TcpSocket::Result::Timeout) {
            idleMs += kReaderSliceMs;
            if (idleMs >= kIdleResetMs) {
                demux_.Idle(out);
                Deliver(out);
            }
            bool silent = false;
            {
                std::lock_guard lock(mutex_);
                if (statusDeadline_ != 0 && GetTickCount64() >= statusDeadline_) {
                    statusDeadline_ = 0;
                    silent = !statusSeen_;
                }
            }
            if (silent)
                HoldNoStatus();
            ReleaseHeld();
            continue;
        }
        bool wanted;
        {
            std::lock_guard lock(mutex_);
            wanted = !stop_ && adopted_;
            alive_ = false;
            arrived_.notify_all();
        }
        if (wanted && onLost_)
            onLost_();
        return;
    }
}

} // namespace qk::comm
