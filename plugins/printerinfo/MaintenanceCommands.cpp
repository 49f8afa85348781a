#include "plugins/printerinfo/MaintenanceCommands.h"

namespace qk::printerinfo {
namespace {

Bytes CounterCommand(uint8_t function, uint16_t number) {
    return {0x1D,
            0x67,
            function,
            0x00,
            static_cast<uint8_t>(number & 0xFF),
            static_cast<uint8_t>(number >> 8)};
}

} // namespace

Bytes AskCounter(uint16_t number) {
    return CounterCommand(0x32, number);
}

Bytes ResetCounter(uint16_t number) {
    return CounterCommand(0x30, number);
}

Bytes AskStatus(uint8_t n) {
    return {0x10, 0x04, n};
}

bool CounterAnswer::Add(uint8_t byte) {
    if (complete_ || broken_)
        return true;
    if (!started_) {
        started_ = true;
        broken_ = byte != 0x5F;
        return broken_;
    }
    if (byte == 0x00) {
        complete_ = true;
        broken_ = digits_ == 0;
        return true;
    }
    if (byte < '0' || byte > '9' || digits_ == kMaxDigits) {
        broken_ = true;
        return true;
    }
    value_ = value_ * 10 + static_cast<uint64_t>(byte - '0');
    ++digits_;
    return false;
}

std::optional<uint64_t> CounterAnswer::Value() const {
    if (!complete_ || broken_)
        return std::nullopt;
    return value_;
}

} // namespace qk::printerinfo
