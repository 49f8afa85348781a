#include "tests/textfit/LayoutCheck.h"

#include <algorithm>
#include "app/shell/MainFrame.h"
#include "app/shell/Model.h"
#include "platform/Dpi.h"
#include "tests/textfit/MenuPaneCheck.h"

namespace qk::test {
namespace {

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

bool Inside(const RECT& rect, SIZE holder) {
    return rect.left >= 0 && rect.top >= 0 && rect.right <= holder.cx && rect.bottom <= holder.cy;
}

// The window's rectangle in the client coordinates of its parent.
RECT RectInParent(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void CheckChildren(HWND holder, SIZE room, std::vector<Overhang>& overhangs) {
    for (HWND child = ::GetWindow(holder, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!(::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        const RECT rect = RectInParent(child);
        if (!Inside(rect, room))
            overhangs.push_back({::GetDlgCtrlID(child), ClassOf(child), rect, room});
        RECT client{};
        ::GetClientRect(child, &client);
        CheckChildren(child, SIZE{client.right, client.bottom}, overhangs);
    }
}

} // namespace

void FindOverhangs(HWND window, std::vector<Overhang>& overhangs) {
    RECT client{};
    ::GetClientRect(window, &client);
    CheckChildren(window, SIZE{client.right, client.bottom}, overhangs);
}

void CheckFitsRoom(HWND window, SIZE room, std::vector<Overhang>& overhangs) {
    // A page is stretched or cut to the page area's client area: its controls must lie in
    // what is left of it.
    RECT client{};
    ::GetClientRect(window, &client);
    const SIZE shown{std::min(client.right, room.cx), std::min(client.bottom, room.cy)};
    for (HWND child = ::GetWindow(window, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!(::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        const RECT rect = RectInParent(child);
        if (!Inside(rect, shown))
            overhangs.push_back({::GetDlgCtrlID(child), ClassOf(child), rect, shown});
    }
}

SIZE PageAreaRoom() {
    // The frame: caption, system menu and minimize box, no sizing border, no menu bar.
    RECT frame{0, 0, 0, 0};
    ::AdjustWindowRectEx(&frame, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE,
                         0);
    const int dpi = SystemDpi();
    const int clientWidth = ScaleToDpi(app::kFrameWidth, dpi) - (frame.right - frame.left);
    const int clientHeight = ScaleToDpi(app::kFrameHeight, dpi) - (frame.bottom - frame.top);
    // The menu pane: its widest rows and the list's one-pixel border; a splitter bar between.
    RECT border{0, 0, 0, 0};
    ::AdjustWindowRectEx(&border, WS_CHILD | WS_BORDER, FALSE, 0);
    const int menuPane = WidestMenuRow() + (border.right - border.left);
    constexpr int kBar = 2;
    return SIZE{clientWidth - menuPane - kBar,
                clientHeight - app::CMainFrame::StatusBandHeightAt(dpi)};
}

} // namespace qk::test
