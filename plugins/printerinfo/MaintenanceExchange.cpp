#include "plugins/printerinfo/MaintenanceExchange.h"

namespace qk::printerinfo {
namespace {

// Real-time status bits: n=1 0x08 offline; n=2 0x04 cover open, 0x20 paper out;
// n=4 0x60 paper out.
constexpr uint8_t kOffline = 0x08, kCoverOpen = 0x04, kFeedPaperOut = 0x20, kPaperOut = 0x60;

} // namespace

std::optional<uint8_t> MaintenanceExchange::Status(uint8_t n) {
    m_link.DiscardAnswers();
    uint8_t status = 0;
    if (!m_link.Send(AskStatus(n)) || !m_link.Receive(status, m_waitMs))
        return std::nullopt;
    return status;
}

PrinterReadiness MaintenanceExchange::CheckReady() {
    const auto printer = Status(1);
    const auto cause = Status(2);
    const auto paper = Status(4);
    if (!printer || !cause || !paper)
        return PrinterReadiness::NoAnswer;
    if (*cause & kCoverOpen)
        return PrinterReadiness::CoverOpen;
    if ((*cause & kFeedPaperOut) || (*paper & kPaperOut) == kPaperOut)
        return PrinterReadiness::PaperOut;
    if (*printer & kOffline)
        return PrinterReadiness::Offline;
    return PrinterReadiness::Ready;
}

PrintOutcome MaintenanceExchange::Print(const Bytes& receipt) {
    switch (CheckReady()) {
    case PrinterReadiness::Offline:
        return PrintOutcome::Offline;
    case PrinterReadiness::CoverOpen:
        return PrintOutcome::CoverOpen;
    case PrinterReadiness::PaperOut:
        return PrintOutcome::PaperOut;
    case PrinterReadiness::NoAnswer:
        return PrintOutcome::NoAnswer;
    case PrinterReadiness::Ready:
        break;
    }
    // The printer's own count of cuts says whether the whole receipt arrived: its cut is the
    // last command.
    const auto cutsBefore = ReadCounter(kLifetimeCutCounter);
    if (!m_link.Send(receipt))
        return PrintOutcome::NotFinished;
    const auto cutsAfter = ReadCounter(kLifetimeCutCounter);
    if (cutsBefore && cutsAfter)
        return *cutsAfter == *cutsBefore + 1 ? PrintOutcome::Printed : PrintOutcome::NotFinished;
    // A printer without the counter: it must at least still answer behind the receipt.
    return Status(1) ? PrintOutcome::Printed : PrintOutcome::NotFinished;
}

std::optional<uint64_t> MaintenanceExchange::ReadCounter(uint16_t number) {
    m_link.DiscardAnswers();
    if (!m_link.Send(AskCounter(number)))
        return std::nullopt;
    CounterAnswer answer;
    uint8_t byte = 0;
    do {
        if (!m_link.Receive(byte, m_waitMs))
            return std::nullopt;
    } while (!answer.Add(byte));
    return answer.Value();
}

std::vector<CounterValues> MaintenanceExchange::ReadCounters() {
    std::vector<CounterValues> values;
    for (const MaintenanceCounter& counter : kMaintenanceCounters)
        values.push_back({ReadCounter(counter.sinceReset), ReadCounter(counter.lifetime)});
    return values;
}

bool MaintenanceExchange::ResetCounters() {
    for (const MaintenanceCounter& counter : kMaintenanceCounters)
        m_link.Send(ResetCounter(counter.sinceReset));
    bool reset = true;
    for (const MaintenanceCounter& counter : kMaintenanceCounters) {
        const auto value = ReadCounter(counter.sinceReset);
        reset = reset && value && *value == 0;
    }
    return reset;
}

} // namespace qk::printerinfo
