// The test receipt: what the printer is and what it is set to, laid out for its paper width,
// ending in a cut. Portable: the facts in, the printer's bytes out.
#pragma once
#include <cstdint>
#include <string>
#include "framework/comm/UserSetupCommands.h"

namespace qk::printerinfo {

struct ReceiptFacts {
    std::u16string model, firmware, serial;
    // The customized values as the printer holds them.
    uint16_t paperWidth = 6, density = 0, speed = 3, codeTable = 0, charSet = 0;
    // The top logo's key codes; 0 0 when none is set.
    uint8_t logoKeyCode1 = 0, logoKeyCode2 = 0;
    std::u16string date;
};

// Characters of font A across the paper's printable width (value 3: 2 is 58 mm paper).
int ReceiptColumns(uint16_t paperWidth);
comm::Bytes TestReceipt(const ReceiptFacts& facts);

// The bar code's data.
inline constexpr char kReceiptBarCode[] = "QK-R40 TEST";

} // namespace qk::printerinfo
