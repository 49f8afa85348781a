#include "app/status/StatusRules.h"
#include "app/shell/Model.h"
#include "framework/context/StartMode.h"

#include <array>

namespace qk::app {
namespace {

constexpr std::array<StatusTextEntry, 23> kStatusTexts = {{
    {0, u"Online"},
    {1, u"Offline"},
    {2, u"Cannot Get Status"},
    {3, u"Fatal Error"},
    {4, u"Recoverable error"},
    {5, u"Auto recoverable error"},
    {6, u"Cover is open"},
    {7, u"Out of paper"},
    {8, u"Out of journal"},
    {9, u"Auto cutter error"},
    {10, u"No Ink Cartridge 1"},
    {11, u"No Ink Cartridge 2"},
    {12, u"Out of ink 1"},
    {13, u"Out of ink 2"},
    {14, u"Feeding paper"},
    {27, u"Cleaning"},
    {15, u"Offline"},
    {16, u"Awaiting paper removal"},
    {17, u"Paper near-end"},
    {18, u"Journal near-end"},
    {19, u"Ink 1 near-end"},
    {20, u"Ink 2 near-end"},
    {29, u"Paper layout error"},
}};
constexpr StatusTextEntry kUnknownText = {kUnknownStatusEntry, u"Unknown"};

constexpr size_t kPortPrefixChars = 6;

bool IsOffline(int32_t code) {
    return code == 1 || code == 16;
}

// "<last path element>@<host>" of a URL-like device path.
std::u16string RemoteDeviceText(std::u16string_view path) {
    size_t lastSlash = path.rfind(u'/');
    std::u16string_view element =
        lastSlash == path.npos ? std::u16string_view{} : path.substr(lastSlash + 1);
    std::u16string_view host;
    if (size_t start = path.find(u"//"); start != path.npos) {
        host = path.substr(start + 2);
        host = host.substr(0, host.find(u'/'));
    }
    std::u16string text(element);
    text += u'@';
    text += host;
    return text;
}

} // namespace

StatusTextEntry StatusTextOf(int32_t code) {
    if (code < 0 || code >= static_cast<int32_t>(kStatusTexts.size()))
        return kUnknownText;
    return kStatusTexts[static_cast<size_t>(code)];
}

bool IsInkOverlayCode(int32_t code) {
    switch (code) {
    case 10:
    case 11:
    case 12:
    case 13:
    case 15:
    case 20:
    case 21:
    case kInkOverlayNone:
        return true;
    default:
        return false;
    }
}

bool IsReadableStatus(int32_t code) {
    return code == kStatusOnline || (code >= 18 && code <= 21);
}

std::optional<int32_t> CStatusTracker::Take(int32_t code) {
    if (code == m_lastRaw)
        return std::nullopt;
    int32_t show = code;
    if (IsInkOverlayCode(code)) {
        m_overlay = code;
        show = code == kInkOverlayNone ? m_lastRaw : code;
    } else {
        m_lastRaw = code;
        // A condition of the whole printer that is more urgent (lower) wins over the ink.
        if (m_overlay != kInkOverlayNone && (code == kStatusOnline || code >= m_overlay))
            show = m_overlay;
    }
    if (show < 0 || show >= static_cast<int32_t>(kStatusTexts.size())) {
        show = kStatusUnknown;
        m_readNeeded = true;
    }
    if (IsOffline(show))
        m_readNeeded = true;
    return show;
}

int32_t PortNumberAfterPrefix(std::u16string_view text) {
    if (text.size() <= kPortPrefixChars)
        return 0;
    int64_t value = 0;
    for (char16_t c : text.substr(kPortPrefixChars)) {
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c - u'0');
        if (value > INT32_MAX)
            return 0;
    }
    return static_cast<int32_t>(value);
}

bool PosPortMatches(std::u16string_view registeredPort, std::u16string_view suffix) {
    int32_t wanted = PortNumberAfterPrefix(suffix);
    return wanted > 0 && PortNumberAfterPrefix(registeredPort) == wanted;
}

std::u16string FindPosPrinterPort(os::IRegistry& registry, std::u16string_view suffix) {
    const std::u16string key = u"SOFTWARE\\OLEforRetail\\ServiceOPOS\\POSPrinter";
    for (const std::u16string& device : registry.SubKeys(os::RegRoot::LocalMachine, key)) {
        std::u16string value;
        if (registry.ReadString(os::RegRoot::LocalMachine, key + u"\\" + device, u"Port", value) &&
            PosPortMatches(value, suffix))
            return value;
    }
    return {};
}

std::u16string MakePortText(const PortLineInput& input, std::u16string_view unknown,
                            const PosPrinterLookup& lookup) {
    std::u16string text(unknown);
    switch (input.interfaceKind) {
    case kIfUsb:
        text = u"USB-";
        text += input.portName;
        break;
    case kIfSerial:
    case kIfParallel:
    case kIfNetwork:
    case kIfBluetooth:
        text = input.portName;
        break;
    case kIfDevicePath:
        if (input.startMode == kStartRemote)
            text = RemoteDeviceText(input.devicePath);
        break;
    default:
        text =
            input.startMode == kStartFileMode ? std::u16string() : std::u16string(input.portName);
        break;
    }
    size_t slash = input.devicePath.find(u'/');
    if (slash == input.devicePath.npos)
        return text;
    std::u16string suffix(input.devicePath.substr(slash + 1));
    if (lookup) {
        std::u16string registered = lookup(suffix);
        if (!registered.empty()) {
            suffix += u'/';
            suffix += registered;
        }
    }
    return text + u" (" + suffix + u")";
}

std::u16string MakePrinterName(std::u16string_view blockName, int32_t startMode,
                               std::u16string_view unknown) {
    if (!blockName.empty())
        return std::u16string(blockName);
    return startMode == kStartFileMode ? std::u16string(kServedModel) : std::u16string(unknown);
}

std::u16string JoinLabel(std::u16string_view label, std::u16string_view text) {
    std::u16string line(label);
    line += u' ';
    line += text;
    return line;
}

int32_t IconBitmapFor(uint16_t iconCode, bool shifted) {
    const char16_t low = static_cast<char16_t>(iconCode & 0xFF);
    const char16_t high = static_cast<char16_t>(iconCode >> 8);
    if (low == u'0')
        return 166;
    const int32_t shift = shifted ? 1 : 0;
    switch (high) {
    case u'0':
        return 164;
    case u'1':
        return 164 - shift;
    case u'2':
        return 163 - shift;
    case u'3':
        return 162 - shift;
    case u'4':
        return 161;
    case u'5':
    case u'6':
        return 160;
    default:
        return 0;
    }
}

} // namespace qk::app
