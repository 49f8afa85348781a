// Language-file text with a value put in. No format function ever sees language-file text: a
// translation may lose or double its "%s". Portable.
#pragma once
#include <concepts>
#include <cstdint>
#include <string>
#include <utility>

namespace qk {

// The text with its first "%s" replaced by value (appended after a space when a translation
// lost it).
inline std::u16string Fill(std::u16string text, const std::u16string& value) {
    const size_t at = text.find(u"%s");
    if (at == std::u16string::npos)
        return text + u" " + value;
    return text.replace(at, 2, value);
}

// The text with "%1" and "%2" replaced by first and second (each appended after a space when a
// translation lost it).
inline std::u16string Fill2(std::u16string text, const std::u16string& first,
                            const std::u16string& second) {
    for (auto [mark, value] : {std::pair{u"%1", &first}, std::pair{u"%2", &second}}) {
        const size_t at = text.find(mark);
        if (at == std::u16string::npos)
            text += u" " + *value;
        else
            text.replace(at, 2, *value);
    }
    return text;
}

// Any integer in decimal, a 64-bit counter's full range included.
template <std::integral Integer> std::u16string Decimal(Integer value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace qk
