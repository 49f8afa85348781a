#include "platform/TabStops.h"

namespace qk {
namespace {

bool IsGroupBox(HWND control) {
    wchar_t name[16] = {};
    ::GetClassNameW(control, name, 16);
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    return ::lstrcmpiW(name, L"Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX;
}

bool TakesKeyboard(HWND control) {
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    return (style & WS_TABSTOP) && ::IsWindowVisible(control) && ::IsWindowEnabled(control) &&
           !IsGroupBox(control);
}

bool IsContainer(HWND control) {
    return (::GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) &&
           ::IsWindowVisible(control) && ::IsWindowEnabled(control);
}

} // namespace

HWND EnabledTabStop(HWND container, bool last) {
    HWND child = ::GetWindow(container, GW_CHILD);
    if (child && last)
        child = ::GetWindow(child, GW_HWNDLAST);
    for (; child; child = ::GetWindow(child, last ? GW_HWNDPREV : GW_HWNDNEXT)) {
        if (IsContainer(child)) {
            if (HWND inner = EnabledTabStop(child, last))
                return inner;
        } else if (TakesKeyboard(child)) {
            return child;
        }
    }
    return nullptr;
}

} // namespace qk
