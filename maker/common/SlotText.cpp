// The fixed text slots of the maker's records (WinText.h), apart from the Win32 helpers so that
// the native sanitizer build takes them as they are.
#include "maker/common/WinText.h"

namespace qk::win {

std::wstring FromU16(const char16_t* text, std::size_t maxChars) {
    std::wstring out;
    for (std::size_t i = 0; i < maxChars && text[i]; ++i)
        out += static_cast<wchar_t>(text[i]);
    return out;
}

void ToU16(const std::wstring& text, char16_t* slot, std::size_t slotChars) {
    if (slotChars == 0)
        return;
    std::size_t n = text.size() < slotChars - 1 ? text.size() : slotChars - 1;
    for (std::size_t i = 0; i < n; ++i)
        slot[i] = static_cast<char16_t>(text[i]);
    for (std::size_t i = n; i < slotChars; ++i)
        slot[i] = u'\0';
}

} // namespace qk::win
