// The printer description file of the described-printer mode and the utility's "SETTING.INI":
// read the same from a UTF-16 and a UTF-8 file, with usable paper values.
#include "app/startup/StartupRules.h"
#include "framework/context/StartMode.h"
#include "tests/native/fuzz/FuzzSupport.h"
#include "tests/support/fakes/FakeProfile.h"

using namespace qk::app;
using qk::test::FakeProfile;
using qk::test::TextEncoding;

namespace {

const std::u16string kPath = u"C:\\Maker\\Printer.ini";

bool Same(const PrinterDescription& a, const PrinterDescription& b) {
    return a.usable == b.usable && a.printerName == b.printerName &&
           a.deviceIdentifier == b.deviceIdentifier && a.paperWidth == b.paperWidth &&
           a.paperSize == b.paperSize && a.columnCompatibleMode == b.columnCompatibleMode &&
           a.variableContrast == b.variableContrast && a.nvBitImage == b.nvBitImage &&
           a.filePath == b.filePath;
}

bool Same(const UtilitySettings& a, const UtilitySettings& b) {
    return a.languageText == b.languageText && a.enableFontA == b.enableFontA &&
           a.enableFontB == b.enableFontB && a.enableFlexibleFont == b.enableFlexibleFont &&
           a.enableIFSelect == b.enableIFSelect && a.enableBTSearch == b.enableBTSearch &&
           a.enableAutoRestore == b.enableAutoRestore && a.arpSupport == b.arpSupport &&
           a.watermarkSupport == b.watermarkSupport &&
           a.autoKeycodeNumbering == b.autoKeycodeNumbering &&
           a.interfaceTypes == b.interfaceTypes && a.defaultIFType == b.defaultIFType &&
           a.interfaceTypesFound == b.interfaceTypesFound;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::u16string text = qk::fuzz::Latin1(data, size);
    FakeProfile wide, narrow;
    wide.SetFileText(kPath, text, TextEncoding::Utf16LeBom);
    narrow.SetFileText(kPath, text, TextEncoding::Utf8Bom);

    const PrinterDescription d = ReadPrinterDescription(wide, kPath);
    QK_FUZZ_CHECK(Same(d, ReadPrinterDescription(narrow, kPath)));
    QK_FUZZ_CHECK(d.usable == !d.printerName.empty());
    QK_FUZZ_CHECK(d.paperWidth > 0 && d.paperSize > 0);

    for (int32_t mode : {0, 4}) {
        const UtilitySettings s = ReadUtilitySettings(wide, kPath, mode);
        QK_FUZZ_CHECK(Same(s, ReadUtilitySettings(narrow, kPath, mode)));
        if (mode == 4)
            QK_FUZZ_CHECK(s.arpSupport == 1 && s.watermarkSupport == 1);
    }
    return 0;
}
