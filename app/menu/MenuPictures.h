// The four pictures of the function menu (pane background and the row bands under the mouse,
// selected and being pressed) and how they are put on the screen. Owns the bitmaps.
#pragma once
#include <windows.h>
#include <array>
#include <string>
#include "app/menu/MenuFile.h"

namespace qk::app {

class CMenuPictures {
public:
    enum Role { Background, OnMouse, Selected, Selecting, kRoleCount };

    CMenuPictures() = default;
    ~CMenuPictures() { Release(); }
    CMenuPictures(const CMenuPictures&) = delete;
    CMenuPictures& operator=(const CMenuPictures&) = delete;

    // Loads the file of a role as a device-independent section; a relative name is tried as
    // written, then in the program folder. Without a usable file the built-in picture of the
    // role serves. The pictures are drawn for 96 DPI: at another `dpi` the loaded one is
    // scaled once, smoothed unless `exactColours` (a picture whose centre colour is its
    // transparent colour must keep it exact).
    void Load(Role role, const std::wstring& file, const std::wstring& programFolder, int dpi,
              bool exactColours);
    void Release();

    HBITMAP Get(Role role) const { return m_bitmaps[role]; }
    SIZE SizeOf(Role role) const;

    // The erase of the pane: the picture sits at the bottom; a pane taller than it gets the
    // band above filled in its top-left colour, a lower pane shows its lowest rows.
    void DrawBackground(HDC dc, const RECT& client) const;
    // One row band at the pane's left edge and the row's top; `stretch` makes it cover at
    // least the row, `transparent` keeps its centre colour out.
    void DrawRowBand(HDC dc, Role role, int top, SIZE row, bool stretch, bool transparent) const;

private:
    static HBITMAP Scaled(HBITMAP bitmap, int dpi, bool exactColours);

    std::array<HBITMAP, kRoleCount> m_bitmaps{};
};

// The menu file's sizes (row width and height, indents) are pixels at 96 DPI: the same look at
// `dpi`.
MenuLook LookAtDpi(const MenuLook& look, int dpi);

// How far the selected and the pressed row move their text right and down, at `dpi`.
int PressedShiftAt(int dpi);

} // namespace qk::app
