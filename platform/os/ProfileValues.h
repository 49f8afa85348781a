// How the platform's private-profile reader turns a stored value into what a single-value
// read answers. Portable; the in-memory fake profile and the section cache both follow it
// (the contract tests pin it against the platform).
#pragma once
#include <cstddef>
#include <string>

namespace qk::os {

// A value read into a buffer of len characters: one pair of enclosing quotes goes, and the
// text is cut to len - 1 characters. When the quoted text fills the buffer exactly, the
// platform drops one character too many; that is kept here.
std::u16string CopyEntry(const std::u16string& value, size_t len);
// The default of a string read loses its trailing spaces (one character always stays).
std::u16string TrimDefault(const std::u16string& def);
// The integer reader: blanks, a sign, then "0x", "0o" or "0b" (lower case) choose the base,
// otherwise decimal; digits are taken while they fit the base, in 32-bit wrap-around.
int ParseProfileInt(const std::u16string& s);
// The reader's blanks around names and values: tab to carriage return, the DOS end-of-file
// mark and space.
bool IsProfileBlank(char16_t c);
// Upper case of a name that can be compared as the platform does by comparing upper cases
// (printable ASCII without '=', '[' or ']', no blanks at the ends, not a comment, not empty);
// false for any other name.
bool ProfileNameUpper(const std::u16string& name, std::u16string& upper);

} // namespace qk::os
