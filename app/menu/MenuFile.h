// The menu definition file: which entries the function menu lists, how they nest and look,
// and which plug-in library serves each. An INI file in the program folder, chosen by the
// start mode. Portable core: reads through the profile seam and binds plug-ins through the
// host seam below, so it runs without windows.h.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include "app/menu/MenuItem.h"
#include "platform/os/Profile.h"

class CLangResTable;

namespace qk::app {

// Indents, row size, pictures and default colour of the menu pane (section "SETTINGS").
struct MenuLook {
    static constexpr int kLevels = 5;
    std::array<int32_t, kLevels> indents = {6, 12, 24, 24, 24}; // levels 0..4 (4: and deeper)
    int32_t itemHeight = -1; // -1: the selected-row bitmap's height
    int32_t itemWidth = -1;  // -1: the selected-row bitmap's width
    std::u16string backgroundBitmap;
    std::u16string onMouseBitmap;
    std::u16string selectedBitmap;
    std::u16string selectingBitmap;
    int32_t stretch = 0;       // 1: row pictures cover at least the row
    int32_t transparent = 0;   // 1: row pictures keep their centre colour transparent
    uint32_t defaultColor = 0; // 0x00BBGGRR
};

// Binds and initialises the plug-in of an item while the file is read.
class IMenuPluginBinder {
public:
    virtual ~IMenuPluginBinder() = default;
    // Loads the item's library and binds its entry points: 0 bound, -1 not.
    virtual int32_t Bind(MenuItem& item) = 0;
    // 1 when the item may stay (no library, or bound and the plug-in agreed), 0 when not.
    virtual int32_t InitializePlugin(MenuItem& item) = 0;
};

namespace menu_file {

// Texts of the file are held in 260-character slots.
inline constexpr std::size_t kTextChars = 259;
// All section names are read in one go into this many characters.
inline constexpr uint32_t kSectionNamesChars = 520;

// File name of the start mode's menu ("MENUITEM.DAT" for modes without their own).
std::u16string ChooseMenuFile(int32_t startMode);

// The window title the file asks for, or empty to keep the frame's own.
std::u16string ReadTitle(os::IProfile& profile, const std::u16string& path,
                         std::u16string_view versionText);

MenuLook ReadLook(os::IProfile& profile, const std::u16string& path);

struct ItemReadInputs {
    os::IProfile& profile;
    std::u16string path;
    int32_t arpSupport = 0;                 // 0 hides the coupon, journal and paper entries
    uint32_t defaultColor = 0;              // from the look
    const CLangResTable* strings = nullptr; // screen "MENU_ITEM"; null: no translations
    IMenuPluginBinder& binder;
};

// Appends the kept items in file order (the caller owns them afterwards). Always 1.
int32_t ReadItems(const ItemReadInputs& in, MenuItemList& items);

// Each item's level from its parent's level as it stands when the item is reached.
void ComputeLevels(MenuItemList& items);

// The display text of a STRING value: the MENU_ITEM screen string numbered by the text after
// the last underscore when the table has it, else the value as written.
std::u16string DisplayText(const std::u16string& value, const CLangResTable* strings);

// The standard string-to-integer reading: blanks, a sign, decimal digits up to the first
// other character; no digits give 0; out-of-range values saturate.
int32_t LeadingInteger(std::u16string_view text);

// 0x00BBGGRR of three parts, or fallback when any part is below 0.
uint32_t ColorOf(int32_t r, int32_t g, int32_t b, uint32_t fallback);

// Libraries whose entries are shown only with ARP support.
bool NeedsArpSupport(std::u16string_view library);

} // namespace menu_file
} // namespace qk::app
