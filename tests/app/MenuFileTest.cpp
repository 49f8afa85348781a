// Reading menu definition files into items: the choice of file, the look, the items with
// their filters, texts and plug-in bindings, and the levels. Files are laid out in the
// in-memory profile; plug-ins are scripted by a binder that fills in test entry points.
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include "app/menu/MenuFile.h"
#include "framework/lang/LangResTable.h"
#include "tests/support/fakes/FakeProfile.h"

namespace qk::test {
namespace {

using app::MenuItem;
using app::MenuItemList;
using namespace app::menu_file;

const std::u16string kMenu = u"C:\\prog\\MENUITEM.DAT";

struct OwnedItems {
    MenuItemList items;
    ~OwnedItems() {
        for (MenuItem* item : items)
            delete item;
    }
};

// Scripted menu names of the test plug-ins: the name is the key reversed; the "needed"
// length is what the plug-in claims.
int32_t QK_PLUGIN_CALL NameByKey(const char16_t* key, int32_t keyLength, char16_t* buffer,
                                 int32_t bufferLength, int32_t* needed) {
    std::u16string name = key ? std::u16string(key, keyLength) : u"<none>";
    name = u"Name of " + name;
    const auto length = static_cast<int32_t>(name.size() + 1);
    if (!buffer || bufferLength < length) {
        *needed = length;
        return -8;
    }
    std::copy(name.begin(), name.end(), buffer);
    buffer[name.size()] = u'\0';
    return 0;
}
int32_t QK_PLUGIN_CALL NameRefused(const char16_t*, int32_t, char16_t*, int32_t, int32_t* needed) {
    *needed = 10;
    return -1;
}
int32_t QK_PLUGIN_CALL NameFailsSecondTime(const char16_t*, int32_t, char16_t* buffer, int32_t,
                                           int32_t* needed) {
    *needed = 4;
    return buffer ? -3 : -8;
}
int32_t QK_PLUGIN_CALL ReadNothing() {
    return 1;
}

struct PluginScript {
    bool binds = true;
    int32_t initAnswer = 0; // what FORMVIEWDLL_Initialize answers
    app::CMenuDLLProc::GetMenuNameFn menuName = nullptr;
};

class ScriptedBinder : public app::IMenuPluginBinder {
public:
    std::map<std::u16string, PluginScript> plugins; // by library name as written
    std::vector<std::u16string> bound, initialised;

    int32_t Bind(MenuItem& item) override {
        bound.push_back(item.dllName);
        auto it = plugins.find(item.dllName);
        if (it == plugins.end() || !it->second.binds)
            return -1;
        item.dll.m_bound = 1;
        item.dll.m_pfnReadPrinterSettings = &ReadNothing;
        item.dll.m_pfnGetMenuName = it->second.menuName;
        return 0;
    }
    int32_t InitializePlugin(MenuItem& item) override {
        if (!item.HasLibrary())
            return 1;
        if (!item.IsBound())
            return 0;
        initialised.push_back(item.dllName);
        return plugins[item.dllName].initAnswer == 0 ? 1 : 0;
    }
};

struct MenuFileFixture : ::testing::Test {
    FakeFileSystem files;
    FakeProfile profile{files};
    ScriptedBinder binder;
    OwnedItems owned;
    std::unique_ptr<CLangResTable> strings;
    int32_t arp = 1;

    void Write(const std::u16string& text) { profile.SetFileText(kMenu, text); }
    void LoadStrings(const std::u16string& section) {
        files.AddTextFile(u"C:\\prog\\LANG\\0409.DAT", u"[MENU_ITEM_STR]\r\n" + section);
        strings = std::make_unique<CLangResTable>(profile, files);
        ASSERT_EQ(strings->LoadLangFile(u"C:\\prog\\LANG", 0x409, 0x409), 2);
        ASSERT_EQ(strings->LoadScreenTexts(u"MENU_ITEM"), 0);
    }
    MenuItemList& Read() {
        ItemReadInputs in{profile, kMenu, arp, 0x00123456, strings.get(), binder};
        EXPECT_EQ(ReadItems(in, owned.items), 1);
        return owned.items;
    }
    std::vector<int32_t> Ids() {
        std::vector<int32_t> ids;
        for (MenuItem* item : owned.items)
            ids.push_back(item->itemId);
        return ids;
    }
};

TEST(MenuFileChoice, EveryStartModeHasItsFile) {
    const struct {
        int32_t mode;
        const char16_t* file;
    } rows[] = {
        {0, u"MENUITEM.DAT"},          {1, u"MENUITEM_LOGO.DAT"},
        {2, u"MENUITEM_PRNCTRL.DAT"},  {3, u"MENUITEM_REMOTE.DAT"},
        {4, u"MENUITEM_SAVEFILE.DAT"}, {5, u"MENUITEM_COUPON.DAT"},
        {100, u"MENUITEM_ZEV_5.DAT"},  {110, u"MENUITEM_ZEV_5_LOGO.DAT"},
        {6, u"MENUITEM.DAT"},          {-1, u"MENUITEM.DAT"},
        {101, u"MENUITEM.DAT"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ChooseMenuFile(row.mode), row.file) << "mode " << row.mode;
}

TEST_F(MenuFileFixture, TitleAndLook) {
    EXPECT_EQ(ReadTitle(profile, kMenu, u"Ver.1.40"), u"") << "missing file: the frame's title";
    EXPECT_EQ(ReadLook(profile, kMenu).indents, (std::array<int32_t, 5>{6, 12, 24, 24, 24}));
    Write(u"[APP_SETTING]\r\nTITLE=Logo Tool\r\nTITLE_ADD_VERSION=1\r\n"
          u"[SETTINGS]\r\nLEVEL5_INDENT=5\r\nMENU_ITEM_HEIGHT=30\r\n"
          u"ITEM_SELECTED_BITMAP=sel.bmp\r\nDEFALT_FONT_COLOR_R=0x110\r\n"
          u"DEFALT_FONT_COLOR_G=2\r\nDEFALT_FONT_COLOR_B=3\r\n");
    EXPECT_EQ(ReadTitle(profile, kMenu, u"Ver.1.40"), u"Logo Tool Ver.1.40");
    app::MenuLook look = ReadLook(profile, kMenu);
    EXPECT_EQ(look.indents, (std::array<int32_t, 5>{6, 12, 24, 24, 5}));
    EXPECT_EQ(look.itemHeight, 30);
    EXPECT_EQ(look.itemWidth, -1);
    EXPECT_EQ(look.selectedBitmap, u"sel.bmp");
    EXPECT_EQ(look.defaultColor, 0x030210u) << "the low 8 bits of each part";
}

TEST(MenuFileColour, AnyPartBelowZeroGivesTheFallback) {
    const struct {
        int32_t r, g, b;
        uint32_t expected;
    } rows[] = {
        {255, -1, -1, 0xABCDEF}, {0, 0, 0, 0},         {255, 0, 0, 0xFF},
        {0, 0, 255, 0xFF0000},   {1, -1, 1, 0xABCDEF}, {256, 257, 258, 0x020100},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(ColorOf(rows[i].r, rows[i].g, rows[i].b, 0xABCDEF), rows[i].expected)
            << "row " << i;
}

TEST_F(MenuFileFixture, StringNumberAfterTheLastUnderscoreSelectsATranslation) {
    LoadStrings(u"STR_0=Zero\r\nSTR_12=Journal\r\nSTR_3=Three\r\n");
    const struct {
        const char16_t* value;
        const char16_t* shown;
    } rows[] = {
        {u"EJ_12", u"Journal"}, {u"A_B_3", u"Three"},     {u"Heading_", u"Zero"},
        {u"Paper_x", u"Zero"},  {u"Paper_7", u"Paper_7"}, {u"Plain", u"Plain"},
        {u"Neg_-1", u"Neg_-1"}, {u"Pad_ 12", u"Journal"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DisplayText(row.value, strings.get()), row.shown);
    EXPECT_EQ(DisplayText(u"EJ_12", nullptr), u"EJ_12") << "no table: as written";
}

TEST_F(MenuFileFixture, ItemsInFileOrderOnlyFromMenuitemSections) {
    Write(u"[SETTINGS]\r\nMENU_ITEM_HEIGHT=20\r\n"
          u"[MENUITEM_20]\r\nITEMID=20\r\n"
          u"[menuitem_1]\r\nITEMID=1\r\n"
          u"[MENUITEMX]\r\nITEMID=2\r\n"
          u"[OTHER]\r\nITEMID=3\r\n"
          u"[MENUITEM_]\r\nITEMID=4\r\nSELECTING=1\r\nPARENTITEMID=20\r\nFONT_BOLD=1\r\n"
          u"FONT_SIZE=11\r\nFONT_COLOR_R=1\r\nFONT_COLOR_G=2\r\nFONT_COLOR_B=3\r\nSTRING=Four\r\n"
          u"[MENUITEM_9]\r\nITEMID=5\r\nFONT_COLOR_R=255\r\n");
    Read();
    EXPECT_EQ(Ids(), (std::vector<int32_t>{20, 4, 5}));
    const MenuItem& four = *owned.items[1];
    EXPECT_EQ(four.selecting, 1);
    EXPECT_EQ(four.parentId, 20);
    EXPECT_EQ(four.bold, 1);
    EXPECT_EQ(four.fontSize, 11);
    EXPECT_EQ(four.color, 0x030201u);
    EXPECT_EQ(four.text, u"Four");
    EXPECT_EQ(owned.items[2]->color, 0x00123456u) << "a red part alone gives the default colour";
}

TEST_F(MenuFileFixture, ItemsWithoutLibraryStayOnlyWithAnIdentifier) {
    Write(u"[MENUITEM_1]\r\nSTRING=Nothing\r\n"
          u"[MENUITEM_2]\r\nITEMID=5\r\nSELECTING=0\r\n"
          u"[MENUITEM_3]\r\nPARENTITEMID=5\r\nSELECTING=2\r\n");
    Read();
    EXPECT_EQ(Ids(), (std::vector<int32_t>{5, 0}));
    EXPECT_TRUE(binder.bound.empty()) << "no library, nothing to bind";
    for (MenuItem* item : owned.items)
        EXPECT_FALSE(item->IsBound());
}

TEST_F(MenuFileFixture, PluginItemsStayOnlyWhenBoundAndInitialised) {
    binder.plugins[u"Good.dll"] = {};
    binder.plugins[u"Refuses.dll"] = {true, -3, nullptr};
    binder.plugins[u"NoExports.dll"] = {false, 0, nullptr};
    Write(u"[MENUITEM_1]\r\nITEMID=1\r\nUSE_DLL_NAME=Good.dll\r\n"
          u"[MENUITEM_2]\r\nITEMID=2\r\nUSE_DLL_NAME=Missing.dll\r\n"
          u"[MENUITEM_3]\r\nITEMID=3\r\nUSE_DLL_NAME=Refuses.dll\r\n"
          u"[MENUITEM_4]\r\nITEMID=4\r\nUSE_DLL_NAME=NoExports.dll\r\n"
          u"[MENUITEM_5]\r\nUSE_DLL_NAME=Good.dll\r\n");
    Read();
    EXPECT_EQ(Ids(), (std::vector<int32_t>{1, 0})) << "identifiers do not matter with a library";
    EXPECT_EQ(binder.bound,
              (std::vector<std::u16string>{u"Good.dll", u"Missing.dll", u"Refuses.dll",
                                           u"NoExports.dll", u"Good.dll"}));
    EXPECT_EQ(binder.initialised,
              (std::vector<std::u16string>{u"Good.dll", u"Refuses.dll", u"Good.dll"}));
    EXPECT_TRUE(owned.items[0]->HasSettingsReader());
}

TEST_F(MenuFileFixture, ArpGatedLibrariesAreHiddenInAnyLetterCaseWithoutBinding) {
    for (const char16_t* name :
         {u"QKUEJ.dll", u"qkuej.DLL", u"QKUCOUPONSTG.DLL", u"qkupaperstg.dll", u"Other.dll"})
        binder.plugins[name] = {};
    Write(u"[MENUITEM_1]\r\nITEMID=1\r\nUSE_DLL_NAME=QKUEJ.dll\r\n"
          u"[MENUITEM_2]\r\nITEMID=2\r\nUSE_DLL_NAME=qkuej.DLL\r\n"
          u"[MENUITEM_3]\r\nITEMID=3\r\nUSE_DLL_NAME=QKUCOUPONSTG.DLL\r\n"
          u"[MENUITEM_4]\r\nITEMID=4\r\nUSE_DLL_NAME=qkupaperstg.dll\r\n"
          u"[MENUITEM_5]\r\nITEMID=5\r\nUSE_DLL_NAME=Other.dll\r\n");
    arp = 0;
    Read();
    EXPECT_EQ(Ids(), (std::vector<int32_t>{5}));
    EXPECT_EQ(binder.bound, (std::vector<std::u16string>{u"Other.dll"}));

    for (MenuItem* item : owned.items)
        delete item;
    owned.items.clear();
    arp = 1;
    Read();
    EXPECT_EQ(Ids(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
}

TEST_F(MenuFileFixture, EmptyStringAsksThePluginForItsName) {
    binder.plugins[u"Named.dll"] = {true, 0, &NameByKey};
    binder.plugins[u"Nameless.dll"] = {};
    binder.plugins[u"Refusing.dll"] = {true, 0, &NameRefused};
    binder.plugins[u"Flaky.dll"] = {true, 0, &NameFailsSecondTime};
    Write(u"[MENUITEM_1]\r\nUSE_DLL_NAME=Named.dll\r\nMENU_NAME_KEY=EJ\r\n"
          u"[MENUITEM_2]\r\nUSE_DLL_NAME=Named.dll\r\n"
          u"[MENUITEM_3]\r\nUSE_DLL_NAME=Named.dll\r\nSTRING=Given\r\nMENU_NAME_KEY=EJ\r\n"
          u"[MENUITEM_4]\r\nUSE_DLL_NAME=Nameless.dll\r\n"
          u"[MENUITEM_5]\r\nUSE_DLL_NAME=Refusing.dll\r\n"
          u"[MENUITEM_6]\r\nUSE_DLL_NAME=Flaky.dll\r\n");
    Read();
    ASSERT_EQ(owned.items.size(), 6u) << "a plug-in without a name is still listed";
    EXPECT_EQ(owned.items[0]->text, u"Name of EJ");
    EXPECT_EQ(owned.items[1]->text, u"Name of <none>") << "an empty key is passed as null";
    EXPECT_EQ(owned.items[2]->text, u"Given");
    EXPECT_EQ(owned.items[3]->text, u"");
    EXPECT_EQ(owned.items[4]->text, u"");
    EXPECT_EQ(owned.items[5]->text, u"");
}

TEST_F(MenuFileFixture, SectionNamesThatDoNotFitGiveAnEmptyMenu) {
    // 43 names of 11 characters and their NULs: 516 characters fit; one more does not.
    auto file = [](int count) {
        std::u16string text;
        for (int i = 0; i < count; ++i) {
            std::u16string n = u"00" + std::u16string(1, char16_t(u'0' + i / 10)) +
                               std::u16string(1, char16_t(u'0' + i % 10));
            text += u"[MENUITEM_" + n.substr(2) + u"]\r\nITEMID=" + n.substr(2) + u"\r\n";
        }
        return text;
    };
    Write(file(43));
    Read();
    EXPECT_EQ(owned.items.size(), 42u) << "ITEMID 00 with no parent and no library is dropped";
    for (MenuItem* item : owned.items)
        delete item;
    owned.items.clear();
    Write(file(44)); // 528 characters of names
    Read();
    EXPECT_TRUE(owned.items.empty());
}

TEST(MenuFileLevels, ParentsAreLookedUpAsTheyStand) {
    auto item = [](int32_t id, int32_t parent) {
        auto* made = new MenuItem;
        made->itemId = id;
        made->parentId = parent;
        return made;
    };
    OwnedItems owned;
    // 3 is a child of 2, listed before it; 2 is a child of 1; 4 has no parent in the list;
    // 6 is a child of 5, a grandchild of 1.
    owned.items = {item(3, 2), item(1, 0), item(2, 1), item(5, 2),
                   item(6, 5), item(4, 9), item(7, 7)};
    ComputeLevels(owned.items);
    std::vector<int32_t> levels;
    for (MenuItem* m : owned.items)
        levels.push_back(m->level);
    EXPECT_EQ(levels, (std::vector<int32_t>{1, 0, 1, 2, 3, 0, 1}));
}

} // namespace
} // namespace qk::test
