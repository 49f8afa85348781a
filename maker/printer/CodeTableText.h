// The code tables' characters above 0x80 through the platform's code pages (Win32 only; the
// portable core reads them as "<E9>" without it).
#pragma once
#include <cstdint>
#include <string>

namespace qk::sim {

// UTF-8 of `byte` in code table `codeTable`; "" for a table without a code page here.
std::string CodeTableCharacter(uint16_t codeTable, uint8_t byte);

} // namespace qk::sim
