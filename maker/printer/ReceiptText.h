// How the printer's characters read as text: the twelve characters an international character
// set replaces, and the characters above 0x80 of a code table. Portable; the code tables'
// characters come from a renderer the program sets (the Win32 one knows the code pages), else
// they read as "<E9>".
#pragma once
#include <cstdint>
#include <string>

namespace qk::sim {

// The twelve positions an international character set replaces.
inline constexpr char kReplacedPositions[] = "#$@[\\]^`{|}~";

// The printed character as UTF-8: `byte` of code table `codeTable` under international
// character set `charSet`.
std::string CharacterText(uint8_t byte, uint16_t codeTable, uint16_t charSet);

using HighByteRenderer = std::string (*)(uint16_t codeTable, uint8_t byte);
// Null puts back the portable "<E9>" form.
void SetHighByteRenderer(HighByteRenderer renderer);

} // namespace qk::sim
