#include "maker/printer/StatusBytes.h"

namespace qk::sim {

namespace {
// Bits 1 and 4 are always set in a real-time status byte, bits 0 and 7 always clear: that is
// how a host tells these answers from other data.
constexpr uint8_t kRealTimeFixed = 0x12;

uint8_t ErrorBits(const PrinterConditions& c) {
    switch (c.error) {
    case ErrorKind::Recoverable:
        return 0x04;
    case ErrorKind::Cutter:
        return 0x08;
    case ErrorKind::Fatal:
        return 0x20;
    case ErrorKind::AutoRecoverable:
        return 0x40;
    case ErrorKind::None:
        break;
    }
    return 0;
}
} // namespace

uint8_t RealTimeStatus(const PrinterConditions& c, int n) {
    switch (n) {
    case 1:
        return kRealTimeFixed | (c.IsOffline() ? 0x08 : 0);
    case 2:
        return kRealTimeFixed | (c.coverOpen ? 0x04 : 0) | (c.paperOut ? 0x20 : 0) |
               (c.error != ErrorKind::None ? 0x40 : 0);
    case 3:
        return kRealTimeFixed | ErrorBits(c);
    case 4:
        return kRealTimeFixed | (c.paperNearEnd ? 0x0C : 0) | (c.paperOut ? 0x60 : 0);
    default:
        return 0;
    }
}

std::array<uint8_t, 4> AutomaticStatus(const PrinterConditions& c) {
    // First byte: bit 4 set, bits 0, 1 and 7 clear; the others: bits 4 and 7 clear.
    std::array<uint8_t, 4> bytes{};
    bytes[0] = 0x10 | (c.IsOffline() ? 0x08 : 0) | (c.coverOpen ? 0x20 : 0);
    bytes[1] = ErrorBits(c);
    bytes[2] = (c.paperNearEnd ? 0x03 : 0) | (c.paperOut ? 0x0C : 0);
    bytes[3] = static_cast<uint8_t>(c.ink) & 0x07;
    return bytes;
}

} // namespace qk::sim
