// The printer list "PrinterSetting.INI": a list that loads saves to a file that loads to the
// same printers, and saving those again writes the same text.
#include <cstring>
#include "framework/store/PluginDataMgr.h"
#include "tests/native/fuzz/FuzzSupport.h"
#include "tests/support/fakes/FakeProfile.h"

using qk::test::FakeProfile;
using qk::test::TextEncoding;

namespace {

const std::u16string kData = u"C:\\Data";
const std::u16string kList = kData + u"\\PrinterSetting.INI";
constexpr int32_t kRoundTripEntries = 64;

std::vector<std::u16string> Printers(PluginDataMgr& store) {
    std::vector<std::u16string> fields;
    for (int32_t i = 0; i < store.GetPrinterCount(); ++i) {
        RegisteredPrinter entry{};
        QK_FUZZ_CHECK(store.GetPrinter(i, &entry) == kStoreOk);
        for (const char16_t* slot :
             {entry.deviceName, entry.portName, entry.folderName, entry.settingsPath}) {
            std::size_t n = 0;
            while (n < kStoreTextChars && slot[n])
                ++n;
            QK_FUZZ_CHECK(n < kStoreTextChars); // every slot keeps its terminator
            fields.emplace_back(slot, n);
        }
    }
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FakeProfile profile;
    profile.SetFileText(kList, qk::fuzz::Latin1(data, size), TextEncoding::Utf16LeBom);

    PluginDataMgr first(profile.Files(), profile);
    const int32_t count = first.LoadPrinterList(kData.c_str());
    QK_FUZZ_CHECK(count >= 0 && count <= PluginDataMgr::kMaxPrinters);
    const std::vector<std::u16string> loaded = Printers(first);
    // The fake profile parses the whole file on every write, so saving is quadratic in the
    // entries: a count in the hundreds (empty records keep their places) would take seconds
    // per input. The bound itself is a unit test.
    if (count == 0 || count > kRoundTripEntries)
        return 0;
    profile.Files().DeleteFile(kList);
    QK_FUZZ_CHECK(first.SavePrinterList(kData.c_str()) == kStoreOk);
    const std::u16string saved = profile.FileText(kList);

    PluginDataMgr second(profile.Files(), profile);
    QK_FUZZ_CHECK(second.LoadPrinterList(kData.c_str()) == count);
    QK_FUZZ_CHECK(Printers(second) == loaded);
    profile.Files().DeleteFile(kList);
    QK_FUZZ_CHECK(second.SavePrinterList(kData.c_str()) == kStoreOk);
    QK_FUZZ_CHECK(profile.FileText(kList) == saved);
    return 0;
}
