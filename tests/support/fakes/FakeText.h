// Text file encodings as the platform's INI reader sees them, for the in-memory fakes:
// a UTF-16 (LE or BE) or UTF-8 byte-order mark chooses the encoding, anything else is the
// ANSI code page (Windows-1252 here, the code page of the test prefix).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace qk::test {

enum class TextEncoding { Ansi, Utf8Bom, Utf16LeBom, Utf16BeBom };

// Case folding of the platform's case-insensitive name comparison (ASCII and Latin-1 here).
char16_t FoldCase(char16_t c);
bool EqualsNoCase(const std::u16string& a, const std::u16string& b);

// Detects the encoding from the mark and decodes the rest.
std::u16string DecodeText(const std::vector<uint8_t>& bytes, TextEncoding* encoding = nullptr);
// Encodes with the mark of the encoding; characters outside the ANSI code page become '?'.
std::vector<uint8_t> EncodeText(const std::u16string& text, TextEncoding encoding);

} // namespace qk::test
