// Checks that a window's controls lie inside it: every shown child window within its parent's
// client area (a group box's or a page's right edge cut off by its parent is the usual sign of
// a template laid out for a wider font), and a page within the room the main window gives it.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace qk::test {

// A window that reaches past the client area of the window that holds it.
struct Overhang {
    int controlId = 0;
    std::wstring className;
    RECT rect{};   // in the holder's client coordinates
    SIZE holder{}; // the holder's client size
};

// Every shown child and grandchild of `window` against its own parent's client area.
void FindOverhangs(HWND window, std::vector<Overhang>& overhangs);

// The window itself against the room its holder gives it (its own size against `room`).
void CheckFitsRoom(HWND window, SIZE room, std::vector<Overhang>& overhangs);

// The page area of the main window at the system DPI: the fixed frame's client area less the
// widest function menu pane of the program folder's menu files and the status strip.
SIZE PageAreaRoom();

} // namespace qk::test
