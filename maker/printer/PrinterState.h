// The simulated printer's state, shared by the connection it serves and the control channel.
// Every change bumps a version and tells the listener, so the connection can send automatic
// status without polling.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include "maker/printer/MaintenanceCounters.h"
#include "maker/printer/PrinterConditions.h"
#include "maker/printer/ReceiptLog.h"
#include "maker/printer/RequestCounter.h"

namespace qk::sim {

class PrinterState {
public:
    PrinterConditions Conditions() const;
    PrinterIdentity Identity() const;
    AnswerBehaviour Behaviour() const;
    uint64_t Version() const;

    void SetConditions(const PrinterConditions& conditions);
    // Changes conditions under the lock; tells the listener when something changed.
    void UpdateConditions(const std::function<void(PrinterConditions&)>& change);
    void UpdateIdentity(const std::function<void(PrinterIdentity&)>& change);
    void UpdateBehaviour(const std::function<void(AnswerBehaviour&)>& change);

    // Connection control: the served connection is dropped when the drop count moves on.
    void RequestDrop();
    uint64_t DropCount() const;
    // Arms a drop once `bytes` more bytes have arrived on the printer port.
    void DropAfter(uint64_t bytes);
    // How many of `arrived` bytes the connection takes; `drop` is set (and the drop disarmed)
    // when the connection ends after them.
    std::size_t TakeArriving(std::size_t arrived, bool& drop);
    // The bytes the connections took since the start, on any connection.
    uint64_t ArrivedBytes() const;
    void SetRefusing(bool refusing);
    bool Refusing() const;
    void RequestQuit();
    bool QuitRequested() const;

    // Counts print data and hands it to the print listener (outside the lock).
    void AddPrinted(const std::string& data);
    uint64_t Printed() const;
    void CountConnection();
    uint64_t Connections() const;
    // The questions asked on any connection (the control channel reads and resets it).
    RequestCounter& Requests() { return requests_; }
    // What the printer printed, and its wear, on any connection.
    ReceiptLog& Receipts() { return receipts_; }
    MaintenanceCounters& Counters() { return counters_; }

    // Called (outside the lock) after every change; set before the printer starts serving.
    void SetListener(std::function<void()> listener);
    // Called with every piece of print data; set before the printer starts serving.
    void SetPrintListener(std::function<void(const std::string&)> listener);

private:
    void Notify();

    mutable std::mutex mutex_;
    PrinterConditions conditions_;
    PrinterIdentity identity_;
    AnswerBehaviour behaviour_;
    uint64_t version_ = 0;
    uint64_t drops_ = 0;
    int64_t dropAfter_ = -1;
    uint64_t arrived_ = 0;
    bool refusing_ = false;
    bool quit_ = false;
    uint64_t printed_ = 0;
    uint64_t connections_ = 0;
    RequestCounter requests_;
    ReceiptLog receipts_;
    MaintenanceCounters counters_;
    std::function<void()> listener_;
    std::function<void(const std::string&)> printListener_;
};

} // namespace qk::sim
