// Language-file text with a value put in. No format function ever sees language-file text: a
// translation may lose or double its "%s". Portable.
#pragma once
#include <cstdint>
#include <string>

namespace qk {

// The text with its first "%s" replaced by value (appended after a space when a translation
// lost it).
inline std::u16string Fill(std::u16string text, const std::u16string& value) {
    const size_t at = text.find(u"%s");
    if (at == std::u16string::npos)
        return text + u" " + value;
    return text.replace(at, 2, value);
}

inline std::u16string Decimal(int64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace qk
