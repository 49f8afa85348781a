#include "app/menu/MenuFile.h"

#include <climits>
#include <memory>
#include "framework/context/StartMode.h"
#include "framework/lang/LangResTable.h"

namespace qk::app::menu_file {
namespace {

constexpr char16_t kAppSection[] = u"APP_SETTING";
constexpr char16_t kSettingsSection[] = u"SETTINGS";
constexpr std::u16string_view kItemPrefix = u"MENUITEM_";

std::u16string Slot(std::u16string text) {
    if (text.size() > kTextChars)
        text.resize(kTextChars);
    return text;
}

char16_t AsciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool EqualsAsciiNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

} // namespace

std::u16string ChooseMenuFile(int32_t startMode) {
    switch (startMode) {
    case kStartLogo:
        return u"MENUITEM_LOGO.DAT";
    case kStartPrinterControl:
        return u"MENUITEM_PRNCTRL.DAT";
    case kStartRemote:
        return u"MENUITEM_REMOTE.DAT";
    case kStartFileMode:
        return u"MENUITEM_SAVEFILE.DAT";
    case kStartDescribedPrinter:
        return u"MENUITEM_COUPON.DAT";
    case kStartInstaller:
        return u"MENUITEM_ZEV_5.DAT";
    case kStartInstallerLogo:
        return u"MENUITEM_ZEV_5_LOGO.DAT";
    default:
        return u"MENUITEM.DAT";
    }
}

std::u16string ReadTitle(os::IProfile& profile, const std::u16string& path,
                         std::u16string_view versionText) {
    std::u16string title = Slot(profile.GetString(path, kAppSection, u"TITLE", u""));
    if (title.empty())
        return title;
    if (profile.GetInt(path, kAppSection, u"TITLE_ADD_VERSION", 0) == 1) {
        title += u' ';
        title += versionText;
    }
    return title;
}

MenuLook ReadLook(os::IProfile& profile, const std::u16string& path) {
    MenuLook look;
    static constexpr const char16_t* kIndentKeys[MenuLook::kLevels] = {
        u"LEVEL1_INDENT", u"LEVEL2_INDENT", u"LEVEL3_INDENT", u"LEVEL4_INDENT", u"LEVEL5_INDENT"};
    for (int i = 0; i < MenuLook::kLevels; ++i)
        look.indents[i] = profile.GetInt(path, kSettingsSection, kIndentKeys[i], look.indents[i]);
    look.itemHeight = profile.GetInt(path, kSettingsSection, u"MENU_ITEM_HEIGHT", -1);
    look.itemWidth = profile.GetInt(path, kSettingsSection, u"MENU_ITEM_WIDTH", -1);
    auto text = [&](const char16_t* key) {
        return Slot(profile.GetString(path, kSettingsSection, key, u""));
    };
    look.backgroundBitmap = text(u"BACKGROUND_BITMAP");
    look.onMouseBitmap = text(u"ITEM_ON_MOUSE_BITMAP");
    look.selectedBitmap = text(u"ITEM_SELECTED_BITMAP");
    look.selectingBitmap = text(u"ITEM_SELECTING_BITMAP");
    look.stretch = profile.GetInt(path, kSettingsSection, u"ITEM_BITMAP_STRETCH", 0);
    look.transparent = profile.GetInt(path, kSettingsSection, u"ITEM_BITMAP_BK_TRANSPARENT", 0);
    look.defaultColor =
        ColorOf(profile.GetInt(path, kSettingsSection, u"DEFALT_FONT_COLOR_R", -1),
                profile.GetInt(path, kSettingsSection, u"DEFALT_FONT_COLOR_G", -1),
                profile.GetInt(path, kSettingsSection, u"DEFALT_FONT_COLOR_B", -1), 0);
    return look;
}

uint32_t ColorOf(int32_t r, int32_t g, int32_t b, uint32_t fallback) {
    if (r < 0 || g < 0 || b < 0)
        return fallback;
    return (static_cast<uint32_t>(r) & 0xFF) | ((static_cast<uint32_t>(g) & 0xFF) << 8) |
           ((static_cast<uint32_t>(b) & 0xFF) << 16);
}

bool NeedsArpSupport(std::u16string_view library) {
    return EqualsAsciiNoCase(library, u"QKUCOUPONSTG.dll") ||
           EqualsAsciiNoCase(library, u"QKUEJ.dll") ||
           EqualsAsciiNoCase(library, u"QKUPAPERSTG.dll");
}

int32_t LeadingInteger(std::u16string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > static_cast<int64_t>(INT_MAX) + 1)
            value = static_cast<int64_t>(INT_MAX) + 1; // keeps saturating, never overflows
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int32_t>(value);
}

std::u16string DisplayText(const std::u16string& value, const CLangResTable* strings) {
    const std::size_t underscore = value.rfind(u'_');
    if (underscore == std::u16string::npos || !strings)
        return value;
    const int32_t number = LeadingInteger(std::u16string_view(value).substr(underscore + 1));
    std::u16string translated;
    if (strings->GetText(LangListKind::ScreenStrings, number, translated) == 0)
        return translated;
    return value;
}

int32_t ReadItems(const ItemReadInputs& in, MenuItemList& items) {
    std::u16string names(kSectionNamesChars, u'\0');
    const uint32_t got = in.profile.GetSectionNamesRaw(in.path, names.data(), kSectionNamesChars);
    // A list that did not fit would be cut mid-name: read no item rather than a wrong one.
    if (got == 0 || got >= kSectionNamesChars - 2)
        return 1;
    std::size_t pos = 0;
    while (pos < got && names[pos] != u'\0') {
        const std::size_t end = names.find(u'\0', pos);
        const std::u16string section = names.substr(pos, end - pos);
        pos = end + 1;
        if (section.compare(0, kItemPrefix.size(), kItemPrefix) != 0)
            continue;

        auto item = std::make_unique<MenuItem>();
        auto number = [&](const char16_t* key, int def) {
            return in.profile.GetInt(in.path, section, key, def);
        };
        item->itemId = number(u"ITEMID", 0);
        item->selecting = number(u"SELECTING", 0);
        item->parentId = number(u"PARENTITEMID", 0);
        item->dllName = Slot(in.profile.GetString(in.path, section, u"USE_DLL_NAME", u""));
        if (in.arpSupport == 0 && NeedsArpSupport(item->dllName))
            continue;
        item->bold = number(u"FONT_BOLD", 0);
        item->fontSize = number(u"FONT_SIZE", 0);
        item->color = ColorOf(number(u"FONT_COLOR_R", -1), number(u"FONT_COLOR_G", -1),
                              number(u"FONT_COLOR_B", -1), in.defaultColor);

        if (item->HasLibrary())
            in.binder.Bind(*item);
        const bool allowed = in.binder.InitializePlugin(*item) == 1;

        const std::u16string value = Slot(in.profile.GetString(in.path, section, u"STRING", u""));
        if (!value.empty())
            item->text = DisplayText(value, in.strings);
        else
            item->text = Slot(item->dll.GetMenuName(
                Slot(in.profile.GetString(in.path, section, u"MENU_NAME_KEY", u""))));

        const bool valid =
            item->HasLibrary() ? item->IsBound() : (item->itemId != 0 || item->parentId != 0);
        // A dropped item's library stays loaded: the plug-in may have set up windows or
        // threads in its refused initialisation, and nobody may finalise it.
        if (valid && allowed)
            items.push_back(item.release());
    }
    return 1;
}

void ComputeLevels(MenuItemList& items) {
    for (MenuItem* item : items) {
        if (!item || item->parentId == 0)
            continue;
        for (const MenuItem* parent : items) {
            if (parent && parent->itemId == item->parentId) {
                item->level = parent->level + 1;
                break;
            }
        }
    }
}

} // namespace qk::app::menu_file
