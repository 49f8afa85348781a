// The text of a fixed slot of a plain record (the context, a port record, a registered
// printer, a printer information block): up to its first NUL, and never past the slot, since
// the records come from other modules and files and a full slot has no NUL. Portable.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

inline std::u16string_view SlotView(const char16_t* slot, std::size_t chars) {
    if (slot == nullptr)
        return {};
    std::size_t length = 0;
    while (length < chars && slot[length] != u'\0')
        ++length;
    return {slot, length};
}

template <std::size_t N> std::u16string_view SlotView(const char16_t (&slot)[N]) {
    return SlotView(slot, N);
}

// The same text as a string of its own, for a caller that keeps it or hands it on.
inline std::u16string SlotText(const char16_t* slot, std::size_t chars) {
    return std::u16string(SlotView(slot, chars));
}

template <std::size_t N> std::u16string SlotText(const char16_t (&slot)[N]) {
    return SlotText(slot, N);
}
