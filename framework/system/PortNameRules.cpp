#include "framework/system/PortNameRules.h"
#include <algorithm>

namespace qk::sys {

std::u16string AsciiLower(std::u16string_view text) {
    std::u16string lower(text);
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c - u'A' + u'a');
        }
    }
    return lower;
}

std::u16string ExtractUsbSerial(std::u16string_view path, std::u16string_view interfaceName,
                                std::u16string_view portName) {
    const size_t first = path.find(u'#');
    const size_t second = first == std::u16string_view::npos ? first : path.find(u'#', first + 1);
    const size_t last = path.rfind(u'#');
    if (second != std::u16string_view::npos && last > second) {
        return std::u16string(path.substr(second + 1, last - second - 1));
    }
    return std::u16string(interfaceName) + std::u16string(portName);
}

bool IsTcpDevicePath(std::u16string_view path) {
    return AsciiLower(path.substr(0, kPathChars)).find(u"tcp://") != std::u16string::npos;
}

bool ExtractRsdprtName(std::u16string_view path, std::u16string& out) {
    const std::u16string lower = AsciiLower(path);
    const size_t pipe = lower.find(u"pipe://qk/");
    if (pipe == std::u16string::npos) {
        out = std::u16string(path.substr(0, kRsdprtNameChars));
        return false;
    }
    const size_t start = lower.find(u"rsdprt", pipe);
    if (start == std::u16string::npos) {
        return true;
    }
    size_t end = lower.find_first_of(u"\"/", start);
    if (end == std::u16string::npos) {
        end = lower.size();
    }
    out = std::u16string(path.substr(start, std::min(end - start, kRsdprtNameChars)));
    return true;
}

bool IsComOrLptName(std::u16string_view name) {
    const std::u16string lower = AsciiLower(name.substr(0, 3));
    return lower == u"com" || lower == u"lpt";
}

bool IsRealPortTarget(std::u16string_view name, const std::vector<std::u16string>& targets) {
    if (!IsComOrLptName(name)) {
        return false;
    }
    const std::u16string_view driver =
        AsciiLower(name.substr(0, 3)) == u"com" ? u"Serial" : u"Parallel";
    for (const std::u16string& target : targets) {
        if (target.find(driver) != std::u16string::npos) {
            return true;
        }
    }
    return false;
}

int LeadingVersion(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == u' ') {
        ++i;
    }
    if (i == text.size() || text[i] < u'0' || text[i] > u'9') {
        return -1;
    }
    int value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        if (value > 100000000) {
            break;
        }
        value = value * 10 + (text[i] - u'0');
    }
    return value;
}

} // namespace qk::sys
