// One open connection to a printer: a reader thread takes everything the printer sends,
// automatic status packets go to the status sink, answers queue up for QKC_Read.
#pragma once
#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>
#include "maker/comm/StreamDemux.h"
#include "maker/comm/WorkerThread.h"
#include "maker/common/TcpSocket.h"

namespace qk::comm {

class PrinterLink {
public:
    using StatusSink = std::function<void(const std::array<uint8_t, 4>&)>;
    using EventSink = std::function<void()>;

    // onNoStatus: automatic status was asked for and did not come within the grace time.
    // The sinks stay quiet until the link is adopted.
    PrinterLink(StatusSink onStatus, EventSink onLost, EventSink onNoStatus);
    ~PrinterLink();
    PrinterLink(const PrinterLink&) = delete;
    PrinterLink& operator=(const PrinterLink&) = delete;

    // Library result codes.
    int32_t Connect(const std::string& endpoint, uint32_t timeoutMs);
    int32_t Write(const void* data, std::size_t size, uint32_t timeoutMs);
    int32_t Read(void* buffer, std::size_t size, std::size_t& received, uint32_t timeoutMs);
    // Takes the first answer byte that is a real-time status byte, leaving others queued.
    int32_t ReadStatusByte(uint8_t& status, uint32_t timeoutMs);
    // Sends the automatic status request; the printer must answer within graceMs.
    int32_t EnableAutomaticStatus(uint32_t graceMs);
    void Purge();
    // Waits for a write under way to end (a shutdown makes it fail) before the socket goes.
    void Close();
    bool Alive() const;
    // The owner has taken the link over: from now on its status goes out (the last status held
    // back first, from the reader thread) and its loss is reported. False when the link was
    // lost before: then no loss is reported for it.
    bool Adopt();

private:
    void ReaderLoop();
    void Deliver(const StreamDemux::Output& out);
    void HoldNoStatus();
    void ReleaseHeld(); // reader thread only

    StatusSink onStatus_;
    EventSink onLost_;
    EventSink onNoStatus_;
    net::TcpSocket socket_;
    std::mutex sendMutex_;
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<uint8_t> answers_;
    bool alive_ = false;
    bool stop_ = false;
    bool adopted_ = false;
    std::vector<std::array<uint8_t, 4>> heldStatus_; // not yet sent to onStatus_
    bool heldNoStatus_ = false;
    bool statusSeen_ = false;
    unsigned long long statusDeadline_ = 0; // tick count; 0 when not waiting
    StreamDemux demux_;                     // reader thread only
    WorkerThread reader_;
};

} // namespace qk::comm
