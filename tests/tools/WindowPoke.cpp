// A helper of the screenshot scripts (not a test): drives the utility's windows from outside,
// as an operator's click would.
//   window_poke click ID      clicks button ID of the frontmost window that has one
//   window_poke press ID      clicks button ID anywhere inside the frontmost window that has
//                             one (a page's check box or button)
//   window_poke row N         clicks row N (from 0) of the function menu
// Exits with 0 when it found its target, 1 when not, 2 on bad arguments.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

namespace {

struct Search {
    int id = 0;
    HWND found = nullptr;
};

// EnumWindows lists top-level windows frontmost first.
BOOL CALLBACK FindButtonOwner(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (!::IsWindowVisible(window))
        return TRUE;
    HWND button = ::GetDlgItem(window, search->id);
    if (!button || !::IsWindowVisible(button) || !::IsWindowEnabled(button))
        return TRUE;
    search->found = button;
    return FALSE;
}

int Click(int id) {
    Search search{id};
    ::EnumWindows(&FindButtonOwner, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return 1;
    ::PostMessageW(search.found, BM_CLICK, 0, 0);
    return 0;
}

struct DeepSearch {
    int id = 0;
    const wchar_t* className = nullptr;
    HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<DeepSearch*>(param);
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    if (::IsWindowVisible(child) && (!search->id || ::GetDlgCtrlID(child) == search->id) &&
        (!search->className || std::wcscmp(name, search->className) == 0)) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindDescendantOwner(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DeepSearch*>(param);
    if (!::IsWindowVisible(window))
        return TRUE;
    ::EnumChildWindows(window, &MatchChild, param);
    return search->found ? FALSE : TRUE;
}

HWND FrontmostDescendant(int id, const wchar_t* className) {
    DeepSearch search{id, className};
    ::EnumWindows(&FindDescendantOwner, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int Press(int id) {
    HWND button = FrontmostDescendant(id, nullptr);
    if (!button || !::IsWindowEnabled(button))
        return 1;
    ::PostMessageW(button, BM_CLICK, 0, 0);
    return 0;
}

int ClickMenuRow(int row) {
    HWND list = FrontmostDescendant(0, L"SysListView32");
    if (!list || row < 0 || row >= ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0))
        return 1;
    const int height = HIWORD(::SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 1, MAKELPARAM(-1, -1)));
    const LPARAM at = MAKELPARAM(40, row * height + height / 2);
    ::PostMessageW(list, WM_MOUSEMOVE, 0, at);
    ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(list, WM_LBUTTONUP, 0, at);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3)
        return 2;
    const int value = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
    if (std::wcscmp(argv[1], L"click") == 0)
        return Click(value);
    if (std::wcscmp(argv[1], L"press") == 0)
        return Press(value);
    if (std::wcscmp(argv[1], L"row") == 0)
        return ClickMenuRow(value);
    return 2;
}
