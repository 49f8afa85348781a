// The printer's maintenance counters and the commands that read and reset them: 1D 67 32 m nL nH
// asks counter n (answer 5F, its value in decimal digits, 00), 1D 67 30 m nL nH resets it (only
// the since-reset counters; the lifetime ones, n + 128, cannot be). Also the receipt's end, the
// real-time status questions the test print asks first. Portable: bytes in, bytes out.
#pragma once
#include <cstdint>
#include <optional>
#include "framework/comm/UserSetupCommands.h"

namespace qk::printerinfo {

using comm::Bytes;

struct MaintenanceCounter {
    uint16_t sinceReset; // its since-reset counter
    uint16_t lifetime;   // its lifetime counter
    int nameString;      // screen strings of its name and unit
    int unitString;
    const char16_t* englishName;
    const char16_t* englishUnit;
};

// The first screen string of the counters' names and units.
inline constexpr int kCounterStrings = 13;
inline constexpr MaintenanceCounter kMaintenanceCounters[] = {
    {20, 148, kCounterStrings + 0, kCounterStrings + 3, u"Paper fed", u"lines"},
    {21, 149, kCounterStrings + 1, kCounterStrings + 4, u"Head energised", u"dot lines"},
    {50, 178, kCounterStrings + 2, kCounterStrings + 5, u"Autocutter cuts", u"cuts"},
};
inline constexpr uint16_t kLifetimeCutCounter = 178;

Bytes AskCounter(uint16_t number);
Bytes ResetCounter(uint16_t number);
// 10 04 n: real-time status n (1 printer, 2 offline cause, 4 paper sensors).
Bytes AskStatus(uint8_t n);

// A counter's answer, collected byte by byte.
class CounterAnswer {
public:
    // Takes one byte; true once the answer is complete (its NUL arrived) or broken.
    bool Add(uint8_t byte);
    // The value of a complete, well-formed answer.
    std::optional<uint64_t> Value() const;

    // More digits than a 64-bit value has is not an answer.
    static constexpr int kMaxDigits = 19;

private:
    uint64_t value_ = 0;
    int digits_ = 0;
    bool started_ = false;
    bool complete_ = false;
    bool broken_ = false;
};

} // namespace qk::printerinfo
