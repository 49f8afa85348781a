// The pseudo-language of the text-fit check: every text of the English language file made a
// third longer with accented letters, so that a layout that only just fits English shows up
// before a translator meets it. Generated from the shipped English file when the check runs;
// never shipped. Portable: no windows.h.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace qk::test {

// The language identifier the check gives the generated file (the system's own pseudo-locale).
inline constexpr int32_t kPseudoLanguage = 0x0501;

// One text lengthened: letters accented, escapes ("\n", "\t") and placeholders ("%s", "%%")
// kept, and at least a third of its length added. A text without letters (a list of
// numbers) and a reference to a common entry ("]CMN_STR_1") stay as they are.
std::u16string PseudoText(std::u16string_view text);

// One line of a language file: the text part of a "key=value" line made longer, the
// "||"-separated numbers after it kept; section headers and other lines unchanged.
std::u16string PseudoLine(std::u16string_view line);

// A whole language file's text (lines ended by CR LF or LF), each line made longer; the
// result ends its lines with CR LF.
std::u16string PseudoFile(std::u16string_view text);

} // namespace qk::test
