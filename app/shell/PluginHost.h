// The host side of the plug-in libraries: binds one library per menu item, hands it the
// main frame, the page area and the context, negotiates the data blocks, passes on the
// menu's enter / leave requests and unloads the libraries at the end. The menu view owns
// the items and drives these calls.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "app/menu/MenuFile.h"
#include "app/menu/MenuItem.h"

struct UtilContext;
class IPluginDataMgr;

namespace qk::app {

class CPluginHost : public IMenuPluginBinder {
public:
    // The windows and the context are not owned; they outlive every plug-in.
    CPluginHost(HWND mainFrame, HWND pageArea, UtilContext* context)
        : m_mainFrame(mainFrame), m_pageArea(pageArea), m_context(context) {}

    // IMenuPluginBinder
    int32_t Bind(MenuItem& item) override { return BindLibrary(item.dll, item.dllName); }
    int32_t InitializePlugin(MenuItem& item) override;

    // Loads the library from the program's folder and binds the eight required entry points
    // and the optional menu-name one: 0 bound, -1 not (nothing stays loaded then). The name
    // comes from a menu file and is taken only as a plain file name: a path, a drive or a
    // network name is refused.
    static int32_t BindLibrary(CMenuDLLProc& dll, const std::u16string& library);
    // The same from another folder (the tests' copies).
    static int32_t BindLibrary(CMenuDLLProc& dll, const std::u16string& library,
                               const std::wstring& folder);
    // FORMVIEWDLL_Finalize when bound, then the library is freed and the record cleared.
    static void Unbind(CMenuDLLProc& dll);
    // Unbinds and deletes every item in order and empties the list.
    static void ReleaseItems(MenuItemList& items);

    // The data block negotiation, once after the menu file is read. Each answers the number
    // of blocks afterwards, or -1 for a missing list or store, or an empty slot.
    static int32_t RegisterPluginBlocks(const MenuItemList* items, IPluginDataMgr* store);
    static int32_t RegisterDependBlocks(const MenuItemList* items, IPluginDataMgr* store);

    // FORMVIEWDLL_ChangeMenuState of a bound item; kNotBound when it is not.
    static constexpr int32_t kNotBound = -1;
    static int32_t ChangeMenuState(const MenuItem& item, int32_t state);

private:
    HWND m_mainFrame;
    HWND m_pageArea;
    UtilContext* m_context;
};

} // namespace qk::app
