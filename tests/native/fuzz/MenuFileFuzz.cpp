// The menu definition file: the same menu through the section cache the utility reads it with
// as through the profile key by key; every kept entry
// is a heading or an entry of its own (no library is bound here), its texts fit their slots,
// and nesting levels stay within the number of entries.
#include <memory>
#include "app/menu/MenuFile.h"
#include "platform/os/SectionCacheProfile.h"
#include "tests/native/fuzz/FuzzSupport.h"
#include "tests/support/fakes/FakeProfile.h"

using namespace qk::app;
using qk::test::FakeProfile;
using qk::test::TextEncoding;

namespace {

// In the current folder: the fake file system's lookups of a longer path's folders were much
// of each input's time.
const std::u16string kPath = u"MENUITEM.DAT";

// No plug-in library can be loaded here: every binding fails.
class NoLibraries : public IMenuPluginBinder {
public:
    int32_t Bind(MenuItem&) override { return -1; }
    int32_t InitializePlugin(MenuItem& item) override { return item.IsBound() ? 0 : 1; }
};

struct Menu {
    std::u16string title;
    MenuLook look;
    std::vector<std::tuple<int32_t, std::u16string, int32_t, int32_t, int32_t, int32_t, uint32_t>>
        items;
    bool operator==(const Menu& o) const {
        return title == o.title && look.indents == o.look.indents &&
               look.itemHeight == o.look.itemHeight && look.itemWidth == o.look.itemWidth &&
               look.backgroundBitmap == o.look.backgroundBitmap &&
               look.selectedBitmap == o.look.selectedBitmap &&
               look.defaultColor == o.look.defaultColor && items == o.items;
    }
};

Menu Read(qk::os::IProfile& profile, int32_t arpSupport) {
    Menu menu;
    menu.title = menu_file::ReadTitle(profile, kPath, u"Ver.1.00");
    menu.look = menu_file::ReadLook(profile, kPath);
    NoLibraries binder;
    MenuItemList items;
    menu_file::ItemReadInputs in{profile, kPath, arpSupport, menu.look.defaultColor,
                                 nullptr, binder};
    QK_FUZZ_CHECK(menu_file::ReadItems(in, items) == 1);
    menu_file::ComputeLevels(items);
    for (MenuItem* item : items) {
        std::unique_ptr<MenuItem> owned(item);
        QK_FUZZ_CHECK(!item->HasLibrary() && !item->IsBound());
        QK_FUZZ_CHECK(item->itemId != 0 || item->parentId != 0);
        QK_FUZZ_CHECK(item->text.size() <= menu_file::kTextChars);
        QK_FUZZ_CHECK(item->level >= 0 && static_cast<std::size_t>(item->level) <= items.size());
        menu.items.emplace_back(item->itemId, item->text, item->selecting, item->parentId,
                                item->bold, item->level, item->color);
    }
    return menu;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const int32_t arp = data[0] & 1;
    FakeProfile profile;
    profile.SetFileText(kPath, qk::fuzz::Latin1(data + 1, size - 1),
                        data[0] & 2 ? TextEncoding::Utf8Bom : TextEncoding::Utf16LeBom);
    qk::os::SectionCacheProfile cached(profile, profile.Files());
    QK_FUZZ_CHECK(Read(cached, arp) == Read(profile, arp));
    return 0;
}
