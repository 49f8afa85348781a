// The section cache profile answers every value, and every value after a write through it,
// as the profile underneath answers it key by key (the platform's rules, held by the fake).
#include "platform/os/SectionCacheProfile.h"
#include "tests/native/fuzz/FuzzSupport.h"
#include "tests/support/fakes/FakeProfile.h"

using qk::test::FakeProfile;
using qk::test::TextEncoding;

namespace {

const std::u16string kPath = u"C:\\Utility\\MENUITEM.DAT";

std::u16string Name(qk::fuzz::Input& in) {
    static const char16_t* const kNames[] = {u"Menu", u"MENU",      u" Item1 ", u"Item 2",
                                             u"Look", u"Title",     u"Key",     u"KEY",
                                             u"Wert", u"Val\u00e9", u"",        u"Count"};
    const uint8_t b = in.Byte();
    return b < 240 ? kNames[b % 12] : in.Text(0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    qk::fuzz::Input in(data, size);
    const uint8_t queries = in.Byte();
    const std::u16string text = in.Text(1);
    FakeProfile profile;
    if (!(queries & 0x80))
        profile.SetFileText(kPath, text,
                            queries & 0x40 ? TextEncoding::Utf8Bom : TextEncoding::Utf16LeBom);
    qk::os::SectionCacheProfile cached(profile, profile.Files());
    for (int q = 0; q < (queries & 0x3F) && in.Left() > 0; ++q) {
        const std::u16string section = Name(in), key = Name(in);
        switch (in.Byte() % 4) {
        case 0:
            QK_FUZZ_CHECK(cached.GetString(kPath, section, key, u" def ") ==
                          profile.GetString(kPath, section, key, u" def "));
            break;
        case 1:
            QK_FUZZ_CHECK(cached.GetInt(kPath, section, key, -7) ==
                          profile.GetInt(kPath, section, key, -7));
            break;
        case 2:
            cached.WriteString(kPath, section, key, in.Text(0));
            QK_FUZZ_CHECK(cached.GetString(kPath, section, key, u"") ==
                          profile.GetString(kPath, section, key, u""));
            break;
        default:
            cached.DeleteKey(kPath, section, key);
            break;
        }
    }
    return 0;
}
