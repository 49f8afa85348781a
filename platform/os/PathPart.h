// Names read from files or reported by other programs that become one part of a path: a
// printer's device name and folder name, a plug-in's library name. Such a name must stay
// one plain part of the folder it is joined to. Portable: no windows.h.
#pragma once
#include <array>
#include <string_view>

namespace qk::os {

namespace detail {

inline char16_t UpperAscii(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

inline bool EqualsAsciiNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i]))
            return false;
    return true;
}

// The platform opens a device for these names whatever extension follows them.
inline bool IsDeviceName(std::u16string_view name) {
    std::u16string_view stem = name.substr(0, name.find(u'.'));
    while (!stem.empty() && stem.back() == u' ')
        stem.remove_suffix(1);
    static constexpr std::array<std::u16string_view, 6> kDevices = {u"CON", u"PRN",    u"AUX",
                                                                    u"NUL", u"CONIN$", u"CONOUT$"};
    for (std::u16string_view device : kDevices)
        if (EqualsAsciiNoCase(stem, device))
            return true;
    if (stem.size() != 4)
        return false;
    const std::u16string_view prefix = stem.substr(0, 3);
    const char16_t digit = stem[3];
    const bool numbered = (digit >= u'1' && digit <= u'9') || digit == u'\u00b9' ||
                          digit == u'\u00b2' || digit == u'\u00b3';
    return numbered && (EqualsAsciiNoCase(prefix, u"COM") || EqualsAsciiNoCase(prefix, u"LPT"));
}

} // namespace detail

// True for one plain file or folder name: not empty, no separator, drive colon, wildcard or
// other character the file system refuses, no control character, not "." or "..", no
// trailing dot or blank (the file system drops them, so two names would meet), and no device
// name such as "CON" or "COM1" (with or without an extension).
inline bool IsPlainPathPart(std::u16string_view name) {
    if (name.empty() || name == u"." || name == u"..")
        return false;
    for (char16_t c : name) {
        if (c < 0x20 || c == 0x7F)
            return false;
        if (std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos)
            return false;
    }
    if (name.back() == u'.' || name.back() == u' ')
        return false;
    return !detail::IsDeviceName(name);
}

} // namespace qk::os
