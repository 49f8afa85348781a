#include "platform/os/ProfileValues.h"
#include <algorithm>
#include <cstdint>

namespace qk::os {

std::u16string CopyEntry(const std::u16string& value, size_t len) {
    std::u16string v = value;
    bool quoted = false;
    if (v.size() >= 2 && (v[0] == u'\'' || v[0] == u'"') && v.back() == v[0]) {
        quoted = true;
        v.erase(0, 1);
    }
    std::u16string out = v.substr(0, std::min(v.size(), len - 1));
    if (quoted && len >= v.size() && !out.empty()) {
        out.pop_back();
    }
    return out;
}

std::u16string TrimDefault(const std::u16string& def) {
    size_t e = def.size();
    while (e > 1 && def[e - 1] == u' ') {
        --e;
    }
    return def.substr(0, e);
}

int ParseProfileInt(const std::u16string& s) {
    size_t i = 0;
    while (i < s.size() && s[i] <= u' ') {
        ++i;
    }
    bool minus = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        minus = s[i] == u'-';
        ++i;
    }
    uint32_t base = 10;
    if (i + 1 < s.size() && s[i] == u'0') {
        if (s[i + 1] == u'x') {
            base = 16;
        } else if (s[i + 1] == u'o') {
            base = 8;
        } else if (s[i + 1] == u'b') {
            base = 2;
        }
        if (base != 10) {
            i += 2;
        }
    }
    uint32_t total = 0;
    for (; i < s.size(); ++i) {
        const char16_t c = s[i];
        uint32_t digit;
        if (c >= u'0' && c <= u'9') {
            digit = c - u'0';
        } else if (c >= u'A' && c <= u'Z') {
            digit = c - u'A' + 10;
        } else if (c >= u'a' && c <= u'z') {
            digit = c - u'a' + 10;
        } else {
            break;
        }
        if (digit >= base) {
            break;
        }
        total = total * base + digit;
    }
    return static_cast<int>(minus ? 0u - total : total);
}

bool IsProfileBlank(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

bool ProfileNameUpper(const std::u16string& name, std::u16string& upper) {
    if (name.empty() || IsProfileBlank(name.front()) || IsProfileBlank(name.back()) ||
        name.front() == u';')
        return false;
    upper = name;
    for (char16_t& c : upper) {
        // Line ends and other controls, and the characters that end a name in a line, would
        // write a name that reads back as other lines or another name.
        if (c >= 0x80 || c < 0x20 || c == u'=' || c == u'[' || c == u']')
            return false;
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return true;
}

} // namespace qk::os
