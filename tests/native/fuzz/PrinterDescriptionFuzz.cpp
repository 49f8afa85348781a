// The printer description file of the described-printer mode and the utility's "SETTING.INI":
// any file gives usable paper values and the served settings of its mode; a description the
// maker writes reads back as written, whatever else the file holds.
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

} // namespace

namespace {

std::u16string Decimal(int32_t n) {
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

// Values the input chooses, written as the maker writes them in front of the fuzzed text.
void CheckWrittenDescription(qk::fuzz::Input& in, const std::u16string& rest) {
    PrinterDescription written;
    std::u16string name;
    for (std::size_t n = 1 + in.Byte() % 12; n > 0; --n)
        name += static_cast<char16_t>(u'A' + in.Byte() % 26);
    written.printerName = name;
    written.usable = true;
    std::u16string ids;
    for (std::size_t i = 0; i < written.deviceIdentifier.size(); ++i) {
        written.deviceIdentifier[i] = static_cast<int32_t>(in.U32() % 100000);
        ids += (i ? u"," : u"") + Decimal(written.deviceIdentifier[i]);
    }
    written.paperWidth = 1 + static_cast<int32_t>(in.U32() % 4096);
    written.paperSize = 1 + static_cast<int32_t>(in.U32() % 64);
    written.columnCompatibleMode = in.Byte() % 2;
    written.variableContrast = in.Byte() % 2;
    written.nvBitImage = in.Byte() % 2;
    written.filePath = u"C:\\Maker\\" + name + u".bmp";
    const std::u16string text =
        u"[PrinterInfo]\r\nPrinterName=" + name + u"\r\nDeviceID=" + ids +
        u"\r\n[DeviceSpec]\r\nPaperWidth=" + Decimal(written.paperWidth) + u"\r\nPaperSize=" +
        Decimal(written.paperSize) + u"\r\nColumnCompatibleMode=" +
        Decimal(written.columnCompatibleMode) + u"\r\nVariableContrast=" +
        Decimal(written.variableContrast) + u"\r\nNVBitImage=" + Decimal(written.nvBitImage) +
        u"\r\n[FilePath]\r\nPath=" + written.filePath + u"\r\n" + rest;
    FakeProfile profile;
    profile.SetFileText(kPath, text, TextEncoding::Utf16LeBom);
    QK_FUZZ_CHECK(Same(ReadPrinterDescription(profile, kPath), written));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qk::fuzz::Input in(data, size);
    const std::u16string text = qk::fuzz::Latin1(data, size);
    FakeProfile profile;
    profile.SetFileText(kPath, text,
                        data && size && (data[0] & 1) ? TextEncoding::Utf8Bom
                                                      : TextEncoding::Utf16LeBom);
    const PrinterDescription d = ReadPrinterDescription(profile, kPath);
    QK_FUZZ_CHECK(d.usable == !d.printerName.empty());
    QK_FUZZ_CHECK(d.paperWidth > 0 && d.paperSize > 0);
    for (int32_t mode : {0, 4}) {
        const UtilitySettings s = ReadUtilitySettings(profile, kPath, mode);
        if (mode == 4)
            QK_FUZZ_CHECK(s.arpSupport == 1 && s.watermarkSupport == 1);
    }
    // The fuzzed text after the maker's sections: its own sections of those names come later
    // and the first of a name answers.
    CheckWrittenDescription(in, text);
    return 0;
}
