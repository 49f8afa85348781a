#include "app/connection/PortRecordText.h"

#include <cstring>
#include "framework/context/TextSlot.h"

namespace qk::app {

std::u16string SlotText(const char16_t* slot, std::size_t chars) {
    return std::u16string(SlotView(slot, chars));
}

void SetSlotText(char16_t* slot, std::u16string_view text) {
    const std::size_t n =
        text.size() < comm::kPortTextChars - 1 ? text.size() : comm::kPortTextChars - 1;
    std::memcpy(slot, text.data(), n * sizeof(char16_t));
    std::memset(slot + n, 0, (comm::kPortTextChars - n) * sizeof(char16_t));
}

int32_t InterfaceKindOf(std::u16string_view keyword) {
    if (keyword == u"COM")
        return 1;
    if (keyword == u"LPT")
        return 2;
    if (keyword == u"USB")
        return 3;
    if (keyword == u"NET")
        return 4;
    if (keyword == u"BT")
        return 5;
    return 0;
}

std::u16string DevicePathFolder(std::u16string_view path) {
    std::size_t slash = path.rfind(u'/');
    return slash == std::u16string_view::npos ? std::u16string()
                                              : std::u16string(path.substr(0, slash + 1));
}

std::u16string DevicePathLeaf(std::u16string_view path) {
    std::size_t slash = path.rfind(u'/');
    return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

std::u16string PortMonitorPort(std::u16string_view devicePath) {
    std::u16string lower(devicePath);
    for (auto& c : lower)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    std::size_t pipe = lower.find(u"pipe://qk/");
    if (pipe == std::u16string::npos)
        return {};
    std::size_t start = lower.find(u"rsdprt", pipe + 10);
    if (start == std::u16string::npos)
        return {};
    std::size_t end = devicePath.find_first_of(u"\"/", start);
    return std::u16string(devicePath.substr(
        start, end == std::u16string_view::npos ? std::u16string_view::npos : end - start));
}

int32_t PortMonitorNumber(std::u16string_view port) {
    if (port.size() <= 6)
        return 0;
    int64_t value = 0;
    for (char16_t c : port.substr(6)) {
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c - u'0');
        if (value > INT32_MAX)
            return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

std::u16string FillPlaceholder(std::u16string_view text, std::u16string_view argument) {
    std::u16string out;
    bool filled = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size()) {
            if (text[i + 1] == u'%') {
                out += u'%';
                ++i;
                continue;
            }
            std::size_t length = text.substr(i, 3) == u"%ls" ? 3 : text[i + 1] == u's' ? 2 : 0;
            if (length && !filled) {
                out += argument;
                filled = true;
                i += length - 1;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

} // namespace qk::app
