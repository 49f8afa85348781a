// A helper of the screenshot scripts (not a test): drives the utility's windows from outside,
// as an operator's click would.
//   window_poke click ID      clicks button ID of the frontmost window that has one
// Exits with 0 when it found its target, 1 when not, 2 on bad arguments.
#include <windows.h>

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

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3)
        return 2;
    const int value = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
    if (std::wcscmp(argv[1], L"click") == 0)
        return Click(value);
    return 2;
}
