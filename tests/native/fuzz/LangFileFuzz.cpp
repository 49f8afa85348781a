// The language file: the table answers for every index what its entries hold, a second table
// of the module, made from the sections the first one kept, holds the same, and a screen's
// strings written in front of any file read back as written.
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

// Texts the input chooses, written as a translator writes a screen's strings in front of the
// fuzzed file: each reads back under its number, its "\\n" and "\\t" as a line break and a
// tab.
void CheckWrittenTexts(qk::fuzz::Input& in, const char16_t* screen, const std::u16string& rest) {
    std::u16string file = u"[" + std::u16string(screen) + u"_STR]\r\n";
    std::vector<std::pair<int32_t, std::u16string>> written;
    for (std::size_t n = 1 + in.Byte() % 4; n > 0; --n) {
        const int32_t number = in.Byte();
        if (std::any_of(written.begin(), written.end(),
                        [&](const auto& entry) { return entry.first == number; }))
            continue;
        std::u16string raw, text;
        for (std::size_t k = 1 + in.Byte() % 12; k > 0; --k) {
            const uint8_t pick = in.Byte() % 40;
            if (pick < 26)
                raw += static_cast<char16_t>(u'a' + pick),
                    text += static_cast<char16_t>(u'a' + pick);
            else if (pick < 36)
                raw += static_cast<char16_t>(u'0' + pick - 26),
                    text += static_cast<char16_t>(u'0' + pick - 26);
            else if (pick < 38)
                raw += u"\\n", text += u"\r\n";
            else
                raw += u"\\t", text += u"\t";
        }
        const std::string key = "STR_" + std::to_string(number) + "=";
        file += std::u16string(key.begin(), key.end()) + raw + u"\r\n";
        written.emplace_back(number, text);
    }
    // A section of its own ends the written one: the fuzzed lines do not join it.
    file += u"[QK_FUZZ_REST]\r\n" + rest;
    CLangSectionCache::Shared().Clear();
    FakeProfile profile;
    profile.SetFileText(kFolder + u"\\0409.DAT", file, TextEncoding::Utf16LeBom);
    CLangResTable table(profile, profile.Files());
    QK_FUZZ_CHECK(table.LoadLangFile(kFolder, 0x409, 0x409) == kLangRequestedFile);
    QK_FUZZ_CHECK(table.LoadScreenTexts(screen) == 0);
    for (const auto& [number, text] : written) {
        std::u16string read;
        QK_FUZZ_CHECK(table.GetText(LangListKind::ScreenStrings, number, read) == 0);
        QK_FUZZ_CHECK(read == text);
    }
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
    qk::fuzz::Input in(data, size);
    CheckWrittenTexts(in, screen, qk::fuzz::Latin1(data, size));
    return 0;
}
