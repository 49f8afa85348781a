// Conversions at the Win32 boundary: the portable core works on char16_t text, Win32 on
// wchar_t. Both are 16-bit UTF-16 units on Windows, so these are plain copies.
#pragma once
#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 text is 16-bit UTF-16");

namespace qk {

inline std::wstring ToWide(std::u16string_view s) {
    return std::wstring(reinterpret_cast<const wchar_t*>(s.data()), s.size());
}
inline std::u16string FromWide(std::wstring_view s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size());
}
inline std::u16string FromWide(const wchar_t* s) {
    return s ? FromWide(std::wstring_view(s)) : std::u16string();
}
inline const wchar_t* WidePtr(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

} // namespace qk
