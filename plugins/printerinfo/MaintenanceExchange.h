// The page's exchanges with the printer: the test print (the printer's state asked first, the
// receipt sent only to a printer that can print it, and the cut seen on the printer's own cut
// counter), and the maintenance counters read and reset. Portable, over the framework's
// printer link.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>
#include "framework/comm/PrinterLink.h"
#include "plugins/printerinfo/MaintenanceCommands.h"

namespace qk::printerinfo {

enum class PrinterReadiness { Ready, Offline, CoverOpen, PaperOut, NoAnswer };

enum class PrintOutcome {
    Printed,
    Offline,   // nothing sent
    CoverOpen, // nothing sent
    PaperOut,  // nothing sent
    NoAnswer,  // nothing sent
    // Sent, but the printer did not show the cut: it may have stopped part-way.
    NotFinished,
};

// One counter pair as read; none where the printer did not answer.
struct CounterValues {
    std::optional<uint64_t> sinceReset;
    std::optional<uint64_t> lifetime;
};

class MaintenanceExchange {
public:
    // link: not owned; waitMs: how long one answer is waited for.
    MaintenanceExchange(comm::IPrinterLink& link, int32_t waitMs)
        : m_link(link), m_waitMs(waitMs) {}

    PrinterReadiness CheckReady();
    PrintOutcome Print(const Bytes& receipt);
    std::optional<uint64_t> ReadCounter(uint16_t number);
    // Every counter of kMaintenanceCounters, in order.
    std::vector<CounterValues> ReadCounters();
    // Resets every since-reset counter and reads them back; true when each reads 0.
    bool ResetCounters();

private:
    std::optional<uint8_t> Status(uint8_t n);

    comm::IPrinterLink& m_link;
    int32_t m_waitMs;
};

} // namespace qk::printerinfo
