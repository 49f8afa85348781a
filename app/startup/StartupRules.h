// The start-up rules that read text: the language number, the printer description file of
// the described-printer mode, the utility's "SETTING.INI" keys and the interface types.
// Portable: files are read through the profile seam.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include "platform/os/Profile.h"

namespace qk::app {

// The LANGID text as a number: at most 8 hexadecimal digits; anything else gives 0.
int32_t LanguageNumber(const std::u16string& text);

// "DeviceID": decimal digits build the current number, any other character moves on to the
// next of the ten; reading stops at the end or after the tenth number.
std::array<int32_t, 10> ParseDeviceId(const std::u16string& text);

// The pattern "%d,%d,%d,%d,%d": values up to the first one that does not read stay as read,
// the others keep -1.
std::array<int32_t, 5> ParseInterfaceTypes(const std::u16string& text);

// The leading decimal number of a text (after blanks, with a sign); -1 when there is none.
int32_t LeadingNumber(const std::u16string& text);

// What the printer description file of start mode 5 gives.
struct PrinterDescription {
    bool usable = false; // false when the file names no printer
    std::u16string printerName;
    std::array<int32_t, 10> deviceIdentifier{};
    int32_t paperWidth = 512;
    int32_t paperSize = 6;
    int32_t columnCompatibleMode = 0;
    int32_t variableContrast = 0;
    int32_t nvBitImage = 1;
    std::u16string filePath;
};
PrinterDescription ReadPrinterDescription(os::IProfile& profile, const std::u16string& path);

// The keys of "SETTING.INI".
struct UtilitySettings {
    std::u16string languageText = u"0409";
    int32_t enableFontA = 0;
    int32_t enableFontB = 0;
    int32_t enableFlexibleFont = 0;
    int32_t enableIFSelect = 0;
    int32_t enableBTSearch = 0;
    int32_t enableAutoRestore = 0;
    int32_t arpSupport = 0;
    int32_t watermarkSupport = 0;
    int32_t autoKeycodeNumbering = 0;
    std::array<int32_t, 5> interfaceTypes{-1, -1, -1, -1, -1};
    int32_t defaultIFType = -1;
    // False when "CommIFType_1" is missing: the language file supplies the interface types.
    bool interfaceTypesFound = false;
};
// In the file mode (start mode 4) ARP and watermark support are 1 and not read.
UtilitySettings ReadUtilitySettings(os::IProfile& profile, const std::u16string& path,
                                    int32_t startMode);

} // namespace qk::app
