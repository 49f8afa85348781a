// The language file: the table answers for every index what its entries hold, and a second
// table of the module, made from the sections the first one kept, holds the same.
#include "framework/lang/LangResTable.h"
#include "framework/lang/LangSectionCache.h"
#include "tests/native/fuzz/FuzzSupport.h"
#include "tests/support/fakes/FakeProfile.h"

using qk::test::FakeProfile;
using qk::test::TextEncoding;

namespace {

const std::u16string kFolder = u"C:\\Utility\\LANG";

struct Snapshot {
    std::vector<std::pair<int32_t, std::u16string>> texts[kLangListCount];
    bool operator==(const Snapshot&) const = default;
};

Snapshot Read(FakeProfile& profile, const char16_t* screen) {
    CLangResTable table(profile, profile.Files());
    QK_FUZZ_CHECK(table.LoadLangFile(kFolder, 0x409, 0x409) == kLangRequestedFile);
    Snapshot snapshot;
    {
        QK_FUZZ_CHECK(table.LoadScreenTexts(screen) == 0);
        for (int k = 0; k < kLangListCount; ++k) {
            const auto list = static_cast<LangListKind>(k);
            for (int32_t i = 0; i < table.Count(list); ++i) {
                std::u16string value;
                const int32_t rc = table.GetText(list, i, value);
                QK_FUZZ_CHECK(rc == 0 || rc == -1);
                QK_FUZZ_CHECK((rc == 0) == (table.Entry(list, i) != nullptr));
                if (rc == 0)
                    snapshot.texts[k].emplace_back(i, value);
            }
            std::u16string unused;
            QK_FUZZ_CHECK(table.GetText(list, table.Count(list), unused) == -3);
            QK_FUZZ_CHECK(table.GetText(list, -1, unused) == -3);
        }
    }
    return snapshot;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    CLangSectionCache::Shared().Clear(); // nothing kept from another input
    FakeProfile profile;
    profile.SetFileText(kFolder + u"\\0409.DAT", qk::fuzz::Latin1(data, size),
                        TextEncoding::Utf16LeBom);
    // One screen per input (the input's size picks it): every screen reads the same way.
    const char16_t* const screens[] = {u"PRT_SELECT_DLG", u"PORT_ADD_DLG", u"PRT_STATUS"};
    const char16_t* screen = screens[size % 3];
    const Snapshot read = Read(profile, screen);
    QK_FUZZ_CHECK(Read(profile, screen) == read);
    return 0;
}
