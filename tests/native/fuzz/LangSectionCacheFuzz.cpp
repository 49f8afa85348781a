// The language files' section cache: a kept section is found for its reader, file and stamp
// only; keeping a file at another stamp drops what was kept for it at the old one, and
// other files and readers keep theirs. The input plays keeps and finds against a model.
#include <map>
#include "framework/lang/LangSectionCache.h"
#include "tests/native/fuzz/FuzzSupport.h"

namespace {

struct Kept {
    qk::os::FileStamp stamp;
    std::map<std::u16string, std::u16string> sections;
};

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
        const std::u16string section =
            std::u16string(1, static_cast<char16_t>(u'A' + in.Byte() % 4));
        if (op & 4) {
            const std::u16string raw = in.Text(0);
            cache.Keep(&readers[reader], path, stamp, section, raw);
            Kept& kept = model[{reader, path}];
            if (!(kept.stamp == stamp))
                kept = Kept{stamp, {}};
            kept.sections[section] = raw;
        } else {
            std::u16string raw = u"untouched";
            const bool found = cache.Find(&readers[reader], path, stamp, section, raw);
            auto file = model.find({reader, path});
            const bool expected = file != model.end() && file->second.stamp == stamp &&
                                  file->second.sections.count(section);
            QK_FUZZ_CHECK(found == expected);
            QK_FUZZ_CHECK(found ? raw == file->second.sections[section] : raw == u"untouched");
        }
    }
    return 0;
}
