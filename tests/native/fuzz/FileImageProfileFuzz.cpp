// A pass through a file image answers every value as the platform's rules (held by the fake)
// answer it after the same calls made one by one, and its commit leaves the same file, byte
// for byte.
#include "platform/os/FileImageProfile.h"
#include "tests/native/fuzz/FuzzSupport.h"
#include "tests/support/fakes/FakeProfile.h"

using qk::test::FakeProfile;
using qk::test::TextEncoding;

namespace {

const std::u16string kPath = u"C:\\Data\\PrinterSetting.INI";

std::u16string Name(qk::fuzz::Input& in) {
    static const char16_t* const kNames[] = {u"INFO", u"info",   u" PORT_0 ", u"PORT 1",
                                             u"Dir",  u"COUNT",  u"PortName", u"DEVICENAME",
                                             u"K",    u"\u00e9", u"",         u";c"};
    const uint8_t b = in.Byte();
    return b < 240 ? kNames[b % 12] : in.Text(0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    qk::fuzz::Input in(data, size);
    const uint8_t calls = in.Byte();
    const std::u16string text = in.Text(1);
    const TextEncoding encoding = calls & 0x40 ? TextEncoding::Utf8Bom : TextEncoding::Utf16LeBom;
    FakeProfile platform, underneath;
    if (!(calls & 0x80)) {
        platform.SetFileText(kPath, text, encoding);
        underneath.SetFileText(kPath, text, encoding);
    } else {
        platform.Files().AddFolder(u"C:\\Data");
        underneath.Files().AddFolder(u"C:\\Data");
    }
    // Most texts are not laid out as the platform writes: one write through the platform
    // first (odd call counts) gives the image a file of its own to answer from.
    if (calls & 0x01) {
        const std::u16string value = in.Text(0);
        QK_FUZZ_CHECK(platform.WriteString(kPath, u"INFO", u"COUNT", value) ==
                      underneath.WriteString(kPath, u"INFO", u"COUNT", value));
    }
    qk::os::FileImageProfile image(underneath, underneath.Files());
    for (int q = 0; q < (calls & 0x3F) && in.Left() > 0; ++q) {
        const std::u16string section = Name(in), key = Name(in);
        switch (in.Byte() % 4) {
        case 0:
            QK_FUZZ_CHECK(image.GetString(kPath, section, key, u" def ") ==
                          platform.GetString(kPath, section, key, u" def "));
            break;
        case 1:
            QK_FUZZ_CHECK(image.GetInt(kPath, section, key, -7) ==
                          platform.GetInt(kPath, section, key, -7));
            break;
        case 2: {
            const std::u16string value = in.Text(0);
            QK_FUZZ_CHECK(image.WriteString(kPath, section, key, value) ==
                          platform.WriteString(kPath, section, key, value));
            break;
        }
        default:
            QK_FUZZ_CHECK(image.DeleteKey(kPath, section, key) ==
                          platform.DeleteKey(kPath, section, key));
            break;
        }
    }
    QK_FUZZ_CHECK(image.Commit());
    QK_FUZZ_CHECK(underneath.Files().Exists(kPath) == platform.Files().Exists(kPath));
    if (platform.Files().Exists(kPath)) {
        std::vector<uint8_t> mine, theirs;
        QK_FUZZ_CHECK(underneath.Files().ReadFile(kPath, mine) &&
                      platform.Files().ReadFile(kPath, theirs) && mine == theirs);
    }
    return 0;
}
