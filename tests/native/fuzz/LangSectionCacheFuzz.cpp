// The language files' section cache: a kept section is found for its reader, file and stamp
// only; keeping a file at another stamp drops what was kept for it at the old one, and
// other files and readers keep theirs; the file's list of names goes with its sections. The input
// plays keeps and finds against a model.
#include <algorithm>
#include <map>
#include <memory>
#include "framework/lang/LangSectionCache.h"
#include "tests/native/fuzz/FuzzSupport.h"

namespace {

struct Kept {
    qk::os::FileStamp stamp;
    std::map<std::u16string, std::u16string> sections;
};

LangSectionText Held(const std::u16string& text) {
    std::unique_ptr<char16_t[]> chars(new char16_t[text.size() + 1]);
    std::copy(text.begin(), text.end(), chars.get());
    return std::make_shared<const CLangSection>(std::move(chars), text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    qk::fuzz::Input in(data, size);
    CLangSectionCache& cache = CLangSectionCache::Shared();
    cache.Clear();
    const int readers[2] = {0, 0};
    std::map<std::pair<int, std::u16string>, Kept> model;
    while (in.Left() > 0) {
        const uint8_t op = in.Byte();
        const int reader = op & 1;
        const std::u16string path = op & 2 ? u"C:\\LANG\\0409.DAT" : u"c:\\lang\\0411.dat";
        qk::os::FileStamp stamp{in.Byte() % 3u, 7, in.Byte() % 2u};
        // The file's list of section names plays a section of its own, kept under "".
        const bool names = (op & 8) != 0;
        const std::u16string section =
            names ? u"" : std::u16string(1, static_cast<char16_t>(u'A' + in.Byte() % 4));
        if (op & 4) {
            const std::u16string raw = in.Text(0);
            if (names)
                cache.KeepNames(&readers[reader], path, stamp, Held(raw));
            else
                cache.Keep(&readers[reader], path, stamp, section, Held(raw));
            Kept& kept = model[{reader, path}];
            if (!(kept.stamp == stamp))
                kept = Kept{stamp, {}};
            kept.sections[section] = raw;
        } else {
            LangSectionText raw;
            const bool found = names ? cache.FindNames(&readers[reader], path, stamp, raw)
                                     : cache.Find(&readers[reader], path, stamp, section, raw);
            auto file = model.find({reader, path});
            const bool expected = file != model.end() && file->second.stamp == stamp &&
                                  file->second.sections.count(section);
            QK_FUZZ_CHECK(found == expected);
            QK_FUZZ_CHECK(found ? raw && raw->Text() == file->second.sections[section] : !raw);
        }
    }
    return 0;
}
