// A printer's settings file (data blocks behind a header): a file that loads saves to a file
// that loads to the same blocks, and saving those again writes the same bytes.
#include "framework/store/PluginDataMgr.h"
#include "tests/native/fuzz/FuzzSupport.h"
#include "tests/support/fakes/FakeProfile.h"

using qk::test::FakeProfile;

namespace {

const std::u16string kFirst = u"C:\\Data\\PORT_1\\QK-R40_Setting.DAT";
const std::u16string kSecond = u"C:\\Data\\PORT_1\\Second.DAT";
const std::u16string kThird = u"C:\\Data\\PORT_1\\Third.DAT";

std::vector<int32_t> BlockSizes(PluginDataMgr& store) {
    std::vector<int32_t> sizes;
    for (int32_t i = 0; i < store.GetBlockCount(); ++i)
        sizes.push_back(store.GetBlockSize(i));
    return sizes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FakeProfile profile;
    auto& files = profile.Files();
    files.AddFile(kFirst, std::vector<uint8_t>(data, data + size));

    PluginDataMgr first(files, profile);
    if (first.LoadSettingsFile(kFirst.c_str()) != kStoreOk)
        return 0;
    first.SetSaveFlag(1); // saving is asked for (1 on success)
    QK_FUZZ_CHECK(first.SaveSettingsFile(u"QK-R40", kSecond.c_str(), 1, 2) == 1);

    PluginDataMgr second(files, profile);
    QK_FUZZ_CHECK(second.LoadSettingsFile(kSecond.c_str()) == kStoreOk);
    QK_FUZZ_CHECK(BlockSizes(second) == BlockSizes(first));
    second.SetSaveFlag(1);
    QK_FUZZ_CHECK(second.SaveSettingsFile(u"QK-R40", kThird.c_str(), 1, 2) == 1);

    std::vector<uint8_t> saved, again;
    QK_FUZZ_CHECK(files.ReadFile(kSecond, saved) && files.ReadFile(kThird, again));
    QK_FUZZ_CHECK(saved == again);
    return 0;
}
