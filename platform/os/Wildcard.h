// The file-name wildcard match of the file system seam: '*' is any run of characters, '?'
// any one character, letters compare without case (ASCII and Latin-1), and "*.*" is every
// name. Only the long name counts: "*.DAT" does not find "x.DATA" through a short 8.3 name
// the way the platform's own search does.
#pragma once
#include <string>

namespace qk::os {

inline char16_t WildcardFold(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<char16_t>(c - u'a' + u'A');
    }
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
        return static_cast<char16_t>(c - 0x20);
    }
    return c;
}

inline bool WildcardMatch(const std::u16string& name, const std::u16string& pattern) {
    if (pattern == u"*.*") {
        return true;
    }
    // Greedy match that backtracks to the last '*'.
    size_t n = 0, p = 0, starP = std::u16string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == u'?' ||
             (pattern[p] != u'*' && WildcardFold(pattern[p]) == WildcardFold(name[n])))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u16string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') {
        ++p;
    }
    return p == pattern.size();
}

} // namespace qk::os
