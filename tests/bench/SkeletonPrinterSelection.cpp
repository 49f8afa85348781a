// A floor of the start-up benchmarks that does the printer selection's work and nothing else:
// its dialog with the printer picture and the port list in a list view, on version 6 of the
// common controls. No files, no communication library.
// Usage: bench_skeleton_selection.exe [ROWS]   (default 1)
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "bitmaps/PrinterSelectBitmap.h"
#include "resource.h"

namespace {

constexpr int kPortListId = 1020;
constexpr int kPictureId = 1027;

void FillPortList(HWND dialog, int rows) {
    HWND list = ::GetDlgItem(dialog, kPortListId);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    // Rows given room by a one-pixel-wide image, as the utility's list does.
    ListView_SetImageList(list, ::ImageList_Create(1, 20, ILC_COLOR, 1, 0), LVSIL_SMALL);
    const wchar_t* const headings[] = {L"Printer", L"Port", L"Interface"};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 150 - 40 * i;
        column.pszText = const_cast<wchar_t*>(headings[i]);
        ListView_InsertColumn(list, i, &column);
    }
    wchar_t port[32];
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (int row = 0; row < rows; ++row) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(L"QK-R40");
        ListView_InsertItem(list, &item);
        wsprintfW(port, L"COM%d", row + 1);
        ListView_SetItemText(list, row, 1, port);
        ListView_SetItemText(list, row, 2, const_cast<wchar_t*>(L"COM"));
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

INT_PTR CALLBACK SelectionProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        HINSTANCE instance =
            reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
        HANDLE picture = ::LoadImageW(instance, MAKEINTRESOURCEW(IDB_PRINTER_SELECT_PICTURE),
                                      IMAGE_BITMAP, 0, 0, 0);
        ::SendDlgItemMessageW(dialog, kPictureId, STM_SETIMAGE, IMAGE_BITMAP,
                              reinterpret_cast<LPARAM>(picture));
        FillPortList(dialog, static_cast<int>(lParam));
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const int rows = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 1;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PRINTER_SELECT), nullptr, &SelectionProcedure,
                      rows);
    return 0;
}
