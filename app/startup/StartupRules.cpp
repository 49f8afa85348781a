#include "app/startup/StartupRules.h"

#include "framework/context/StartMode.h"

namespace qk::app {
namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

int HexValue(char16_t c) {
    if (IsDigit(c))
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Reads one "%d" at pos: blanks, an optional sign, digits. Answers false when no digit.
bool ReadDecimal(const std::u16string& text, std::size_t& pos, int32_t& value) {
    std::size_t i = pos;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    if (i >= text.size() || !IsDigit(text[i]))
        return false;
    int64_t number = 0;
    while (i < text.size() && IsDigit(text[i])) {
        // Saturate rather than overflow on absurd input.
        if (number < 0x7FFFFFFF)
            number = number * 10 + (text[i] - u'0');
        ++i;
    }
    if (number > 0x7FFFFFFF)
        number = 0x7FFFFFFF;
    value = static_cast<int32_t>(negative ? -number : number);
    pos = i;
    return true;
}

} // namespace

int32_t LanguageNumber(const std::u16string& text) {
    if (text.size() > 8)
        return 0;
    uint32_t number = 0;
    for (char16_t c : text) {
        int digit = HexValue(c);
        if (digit < 0)
            return 0;
        number = number * 16 + static_cast<uint32_t>(digit);
    }
    return static_cast<int32_t>(number);
}

std::array<int32_t, 10> ParseDeviceId(const std::u16string& text) {
    std::array<int32_t, 10> numbers{};
    std::size_t index = 0;
    for (char16_t c : text) {
        if (index >= numbers.size())
            break;
        if (IsDigit(c)) {
            int64_t next = static_cast<int64_t>(numbers[index]) * 10 + (c - u'0');
            numbers[index] = next > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(next);
        } else {
            ++index;
        }
    }
    return numbers;
}

std::array<int32_t, 5> ParseInterfaceTypes(const std::u16string& text) {
    std::array<int32_t, 5> values{-1, -1, -1, -1, -1};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != u',')
                break;
            ++pos;
        }
        if (!ReadDecimal(text, pos, values[i]))
            break;
    }
    return values;
}

int32_t LeadingNumber(const std::u16string& text) {
    std::size_t pos = 0;
    int32_t value = -1;
    return ReadDecimal(text, pos, value) ? value : -1;
}

PrinterDescription ReadPrinterDescription(os::IProfile& profile, const std::u16string& path) {
    PrinterDescription d;
    if (path.empty())
        return d;
    d.printerName = profile.GetString(path, u"PrinterInfo", u"PrinterName", u"");
    d.usable = !d.printerName.empty();
    d.deviceIdentifier = ParseDeviceId(profile.GetString(path, u"PrinterInfo", u"DeviceID", u""));
    d.paperWidth = profile.GetInt(path, u"DeviceSpec", u"PaperWidth", 512);
    if (d.paperWidth <= 0)
        d.paperWidth = 512;
    d.paperSize = profile.GetInt(path, u"DeviceSpec", u"PaperSize", 6);
    if (d.paperSize <= 0)
        d.paperSize = 6;
    d.columnCompatibleMode = profile.GetInt(path, u"DeviceSpec", u"ColumnCompatibleMode", 0);
    d.variableContrast = profile.GetInt(path, u"DeviceSpec", u"VariableContrast", 0);
    d.nvBitImage = profile.GetInt(path, u"DeviceSpec", u"NVBitImage", 1);
    d.filePath = profile.GetString(path, u"FilePath", u"Path", u"");
    return d;
}

UtilitySettings ReadUtilitySettings(os::IProfile& profile, const std::u16string& path,
                                    int32_t startMode) {
    UtilitySettings s;
    s.languageText = profile.GetString(path, u"LANGUAGE", u"LANGID", u"0409");
    s.enableFontA = profile.GetInt(path, u"Font", u"EnableFontA", 0);
    s.enableFontB = profile.GetInt(path, u"Font", u"EnableFontB", 0);
    s.enableFlexibleFont = profile.GetInt(path, u"Font", u"EnableFlexibleFont", 0);
    s.enableIFSelect = profile.GetInt(path, u"IFSetting", u"EnableIFSelect", 0);
    s.enableBTSearch = profile.GetInt(path, u"IFSetting", u"EnableBTSearch", 0);
    s.enableAutoRestore = profile.GetInt(path, u"AutoRestore", u"EnableAutoRestore", 0);
    if (startMode == kStartFileMode) {
        s.arpSupport = 1;
        s.watermarkSupport = 1;
    } else {
        s.arpSupport = profile.GetInt(path, u"Support", u"ARP", 0);
        s.watermarkSupport = profile.GetInt(path, u"Support", u"WM", 0);
    }
    s.autoKeycodeNumbering = profile.GetInt(path, u"Logo", u"AutoKeycodeNumbering", 0);
    for (std::size_t i = 0; i < s.interfaceTypes.size(); ++i) {
        std::u16string key = u"CommIFType_";
        key += static_cast<char16_t>(u'1' + i);
        int32_t value = profile.GetInt(path, u"SupportCommIF", key, -1);
        if (value == -1)
            break;
        s.interfaceTypes[i] = value;
    }
    s.interfaceTypesFound = s.interfaceTypes[0] != -1;
    s.defaultIFType = profile.GetInt(path, u"SupportCommIF", u"DefaultIFType", -1);
    return s;
}

} // namespace qk::app
