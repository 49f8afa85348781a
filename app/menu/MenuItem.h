// One entry of the function menu, as read from the menu file, with the binding of the
// plug-in that serves it. The menu view owns the items (in file order) and deletes them;
// the status pane and the settings read walk the same list without owning it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "app/menu/MenuDllProc.h"

namespace qk::app {

struct MenuItem {
    int32_t itemId = 0;     // ITEMID
    std::u16string text;    // display text (STRING, its translation, or the plug-in's name)
    int32_t selecting = 0;  // SELECTING: 0 heading, else selectable; 1 selected at start
    int32_t parentId = 0;   // PARENTITEMID; 0 top level
    std::u16string dllName; // USE_DLL_NAME as written; empty: no plug-in
    int32_t bold = 0;       // FONT_BOLD: 1 bold
    int32_t fontSize = 0;   // FONT_SIZE in points; 0 the list's font size
    int32_t level = 0;      // nesting depth, 0 for top-level items
    uint32_t color = 0;     // text colour, 0x00BBGGRR
    CMenuDLLProc dll;       // the plug-in binding

    bool IsSelectable() const { return selecting != 0; }
    bool HasLibrary() const { return !dllName.empty(); }
    // Bound and able to take a leave / show / focus request.
    bool IsBound() const { return dll.IsBound(); }
    // Bound to a plug-in that can read its settings from the printer.
    bool HasSettingsReader() const {
        return dll.IsBound() && dll.m_pfnReadPrinterSettings != nullptr;
    }
};

// The menu's entries in file order; the menu view owns them.
using MenuItemList = std::vector<MenuItem*>;

} // namespace qk::app
