// How the function menu is put on the screen: the pane's background, and each row's band by
// its state, its text in the item's font and colour at the indent of its level, and the focus
// rectangle. Holds the menu's look at the screen's DPI and owns its pictures.
#pragma once
#include <windows.h>
#include <string>
#include "app/menu/MenuFile.h"
#include "app/menu/MenuItem.h"
#include "app/menu/MenuPictures.h"
#include "app/menu/MenuRowState.h"

namespace qk::app {

class CMenuPainter {
public:
    // The look as the menu file gives it (sizes at 96 DPI) taken to `dpi`, and its pictures
    // loaded.
    void Load(const MenuLook& look, const std::wstring& programFolder, int dpi);
    void Release() { m_pictures.Release(); }

    const MenuLook& Look() const { return m_look; }
    // The row size the measure gives: the file's, or the selected-row picture's.
    SIZE MeasuredRowSize() const;

    void DrawBackground(HDC dc, const RECT& client) const;
    // One row in `rect`; `rowSize` is what its band covers when stretched.
    struct Row {
        const MenuItem& item;
        RECT rect;
        SIZE rowSize;
        MenuRowBand band;
        bool focusRectangle;
        HFONT listFont; // not owned; null: the default GUI font
    };
    void DrawRow(HDC dc, const Row& row) const;

private:
    MenuLook m_look; // indents, row size, picture files, flags, default colour
    int m_dpi = 96;
    CMenuPictures m_pictures;
};

} // namespace qk::app
