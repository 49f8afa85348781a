#include "tests/textfit/TextMeasure.h"

#include <commctrl.h>
#include <algorithm>

namespace qk::test {
namespace {

// A window's device context with the window's own font selected (the system font when the
// window was given none, as the control itself would draw).
class FontDc {
public:
    explicit FontDc(HWND window) : m_window(window), m_dc(::GetDC(window)) {
        auto font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
        m_old =
            ::SelectObject(m_dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT));
    }
    ~FontDc() {
        ::SelectObject(m_dc, m_old);
        ::ReleaseDC(m_window, m_dc);
    }
    FontDc(const FontDc&) = delete;
    FontDc& operator=(const FontDc&) = delete;

    // The text's extent as DrawText lays it out; `wrapWidth` is the width wrapped text may use.
    SIZE Extent(const std::wstring& text, UINT format, int wrapWidth = 0) const {
        RECT r{0, 0, wrapWidth, 0};
        ::DrawTextW(m_dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }
    int CharWidth(wchar_t c) const {
        INT width = 0;
        ::GetCharWidth32W(m_dc, c, c, &width);
        return width;
    }

private:
    HWND m_window;
    HDC m_dc;
    HGDIOBJ m_old;
};

std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return name;
}

SIZE ClientSize(HWND window) {
    RECT r{};
    ::GetClientRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

bool Fits(SIZE needed, SIZE room) {
    return needed.cx <= room.cx && needed.cy <= room.cy;
}

void Check(HWND control, const std::wstring& part, const std::wstring& text, SIZE needed, SIZE room,
           std::vector<Misfit>& misfits) {
    if (text.empty() || Fits(needed, room))
        return;
    misfits.push_back({::GetDlgCtrlID(control), ClassOf(control), part, text, needed, room});
}

// Texts that wrap are laid out in the room's width; the others on one line.
UINT LayoutFlags(bool wraps) {
    return wraps ? DT_WORDBREAK : DT_SINGLELINE;
}

void MeasureButton(HWND button, std::vector<Misfit>& misfits) {
    const LONG style = ::GetWindowLongW(button, GWL_STYLE);
    const LONG type = style & BS_TYPEMASK;
    const std::wstring text = TextOf(button);
    const FontDc dc(button);
    RECT margin{};
    if (!::SendMessageW(button, BCM_GETTEXTMARGIN, 0, reinterpret_cast<LPARAM>(&margin)))
        margin = RECT{};
    SIZE room = ClientSize(button);
    room.cx -= margin.left + margin.right;
    room.cy -= margin.top + margin.bottom;
    const bool pushLike =
        type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || (style & BS_PUSHLIKE);
    switch (type) {
    case BS_OWNERDRAW:
    case BS_USERBUTTON:
        return;
    case BS_GROUPBOX:
        // The frame's line runs on for about a character at each end of the title.
        room.cx -= 2 * dc.CharWidth(L'0');
        break;
    default:
        if (pushLike) {
            // The raised frame takes an edge on every side, the default button's outline
            // one pixel more.
            const int outline = type == BS_DEFPUSHBUTTON ? 1 : 0;
            room.cx -= 2 * (::GetSystemMetrics(SM_CXEDGE) + outline);
            room.cy -= 2 * (::GetSystemMetrics(SM_CYEDGE) + outline);
        } else {
            // Check and radio boxes: the box, then half a digit's width before the text.
            room.cx -= ::GetSystemMetrics(SM_CXMENUCHECK) + dc.CharWidth(L'0') / 2;
        }
    }
    const bool wraps = (style & BS_MULTILINE) != 0;
    Check(button, L"caption", text, dc.Extent(text, LayoutFlags(wraps), room.cx), room, misfits);
}

void MeasureStatic(HWND label, std::vector<Misfit>& misfits) {
    const LONG style = ::GetWindowLongW(label, GWL_STYLE);
    const LONG type = style & SS_TYPEMASK;
    bool wraps = false;
    if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT)
        wraps = (style & SS_ELLIPSISMASK) == 0;
    else if (type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE)
        return; // pictures, frames, lines
    const std::wstring text = TextOf(label);
    const FontDc dc(label);
    const SIZE room = ClientSize(label);
    UINT format = LayoutFlags(wraps) | DT_EXPANDTABS;
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    Check(label, L"caption", text, dc.Extent(text, format, room.cx), room, misfits);
}

void MeasureComboItems(HWND combo, std::vector<Misfit>& misfits) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetComboBoxInfo(combo, &info))
        return;
    // The chosen item is drawn in the selection field, beside the drop-down button.
    const SIZE room{info.rcItem.right - info.rcItem.left, info.rcItem.bottom - info.rcItem.top};
    const FontDc dc(combo);
    const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        if (length == CB_ERR)
            continue;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        Check(combo, L"item " + std::to_wstring(i), text,
              dc.Extent(text, DT_SINGLELINE | DT_NOPREFIX), room, misfits);
    }
}

void MeasureColumnHeaders(HWND list, std::vector<Misfit>& misfits) {
    if ((::GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT)
        return;
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (!header)
        return;
    // The header keeps its margin clear on both sides of a column's title.
    int margin = static_cast<int>(::SendMessageW(header, HDM_GETBITMAPMARGIN, 0, 0));
    if (margin <= 0)
        margin = 3 * ::GetSystemMetrics(SM_CXEDGE);
    const FontDc dc(header);
    const int height = ClientSize(header).cy;
    const int count = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t title[260] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.pszText = title;
        item.cchTextMax = static_cast<int>(std::size(title));
        if (!::SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)))
            continue;
        const std::wstring text = title;
        const SIZE room{item.cxy - 2 * margin, height};
        const SIZE needed = dc.Extent(text, DT_SINGLELINE | DT_NOPREFIX);
        // The header's height is the list's business; only the width is the column's.
        Check(list, L"column " + std::to_wstring(i), text, needed, SIZE{room.cx, needed.cy},
              misfits);
    }
}

} // namespace

void MeasureControl(HWND control, std::vector<Misfit>& misfits) {
    const std::wstring name = ClassOf(control);
    if (::lstrcmpiW(name.c_str(), WC_BUTTONW) == 0)
        MeasureButton(control, misfits);
    else if (::lstrcmpiW(name.c_str(), WC_STATICW) == 0)
        MeasureStatic(control, misfits);
    else if (::lstrcmpiW(name.c_str(), WC_COMBOBOXW) == 0)
        MeasureComboItems(control, misfits);
    else if (::lstrcmpiW(name.c_str(), WC_LISTVIEWW) == 0)
        MeasureColumnHeaders(control, misfits);
}

void MeasureShownControls(HWND window, const std::vector<int>& except,
                          std::vector<Misfit>& misfits) {
    for (HWND child = ::GetWindow(window, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!(::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        if (std::find(except.begin(), except.end(), ::GetDlgCtrlID(child)) != except.end())
            continue;
        MeasureControl(child, misfits);
    }
}

} // namespace qk::test
