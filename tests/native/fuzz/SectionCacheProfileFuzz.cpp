// The section cache profile answers every value, every raw section and list of sections, and
// every value after a write through it, as the profile underneath answers it (the platform's
// rules, held by the fake), whether it reads the file whole or section by section.
#include "platform/os/SectionCacheProfile.h"
#include "tests/native/fuzz/FuzzSupport.h"
#include "tests/support/fakes/FakeProfile.h"

using qk::test::FakeProfile;
using qk::test::TextEncoding;

namespace {

const std::u16string kPath = u"C:\\Utility\\MENUITEM.DAT";

// The fake file system with stamps (a hash of the bytes), so that the cache keeps what it
// reads and answers from it, as it does over the platform's files.
class StampedFiles : public qk::test::FakeFileSystem {
public:
    explicit StampedFiles(qk::test::FakeFileSystem& files) : files_(files) {}
    bool Stamp(const std::u16string& path, qk::os::FileStamp& stamp) override {
        const std::vector<uint8_t>* bytes = files_.FileBytes(path);
        if (!bytes)
            return false;
        uint64_t hash = 1469598103934665603ull;
        for (uint8_t b : *bytes)
            hash = (hash ^ b) * 1099511628211ull;
        stamp = {hash, 0, bytes->size()};
        return true;
    }
    bool ReadFile(const std::u16string& path, std::vector<uint8_t>& data) override {
        return files_.ReadFile(path, data);
    }

private:
    qk::test::FakeFileSystem& files_;
};

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
    // A NUL in the file ends a value for the platform's string reads but not for the fake's:
    // no oracle for it (the cache reads no such file whole either).
    if (text.find(u'\0') != std::u16string::npos)
        return 0;
    FakeProfile profile;
    if (!(queries & 0x80))
        profile.SetFileText(kPath, text,
                            queries & 0x40 ? TextEncoding::Ansi : TextEncoding::Utf16LeBom);
    StampedFiles files(profile.Files());
    qk::os::SectionCacheProfile cached(profile, files);
    for (int q = 0; q < (queries & 0x3F) && in.Left() > 0; ++q) {
        const std::u16string section = Name(in), key = Name(in);
        switch (in.Byte() % 6) {
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
        case 3:
            cached.DeleteKey(kPath, section, key);
            break;
        default: {
            // A raw read into a buffer of any size, sentinels after it.
            const uint32_t chars = in.Byte() % 2 ? in.Byte() : 4096;
            const bool names = in.Byte() % 2;
            std::u16string a(chars + 2, u'#'), b(chars + 2, u'#');
            const uint32_t got = names ? cached.GetSectionNamesRaw(kPath, a.data(), chars)
                                       : cached.GetSectionRaw(kPath, section, a.data(), chars);
            const uint32_t want = names ? profile.GetSectionNamesRaw(kPath, b.data(), chars)
                                        : profile.GetSectionRaw(kPath, section, b.data(), chars);
            QK_FUZZ_CHECK(got == want && a == b);
            break;
        }
        }
    }
    return 0;
}
