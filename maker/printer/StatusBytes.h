// The status bytes the printer sends: real-time status answers (10 04 n) and the four bytes of
// automatic status back.
#pragma once
#include <array>
#include <cstdint>
#include "maker/printer/PrinterConditions.h"

namespace qk::sim {

// Answer to 10 04 n: 1 printer, 2 offline cause, 3 error cause, 4 paper sensor. 0 for others.
uint8_t RealTimeStatus(const PrinterConditions& conditions, int n);

// Automatic status: byte 1 offline/cover, byte 2 errors, byte 3 paper sensors, byte 4 ink.
std::array<uint8_t, 4> AutomaticStatus(const PrinterConditions& conditions);

} // namespace qk::sim
