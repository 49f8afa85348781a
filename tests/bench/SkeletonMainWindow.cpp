// A floor of the start-up benchmarks that does the main window's work and nothing else: a
// fixed frame of the main window's size, a splitter bar, the menu's rows in a list view with
// their pictures, the paper page's dialog with filled combo boxes, and the status strip with
// its printer picture, on version 6 of the common controls. No files, no plug-ins, no printer.
// Usage: bench_skeleton_main.exe
#include <windows.h>
#include <commctrl.h>

#include <initializer_list>

#include "app/shell/Model.h"
#include "resource.h"

namespace {

constexpr int kMenuPaneWidth = 180;
constexpr int kSplitterWidth = 4;
constexpr int kListId = 100;

const wchar_t* const kMenuRows[] = {L"Electronic journal",
                                    L"Paper and print settings",
                                    L"Logo",
                                    L"Settings file",
                                    L"Printer information",
                                    L"Status",
                                    L"Communication",
                                    L"About"};

struct Panes {
    HWND menu = nullptr;
    HWND splitter = nullptr;
    HWND page = nullptr;
    HWND status = nullptr;
};

INT_PTR CALLBACK ChildDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

HWND MakeMenuList(HWND frame, HINSTANCE instance) {
    HWND list =
        ::CreateWindowExW(0, WC_LISTVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL,
                          0, 0, 1, 1, frame, reinterpret_cast<HMENU>(kListId), instance, nullptr);
    HIMAGELIST pictures = ::ImageList_Create(32, 32, ILC_COLOR24, 4, 0);
    for (int id : {IDB_MENU_BACKGROUND, IDB_MENU_ON_MOUSE, IDB_MENU_SELECTED, IDB_MENU_SELECTING}) {
        HBITMAP picture = static_cast<HBITMAP>(
            ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 32, 32, 0));
        ::ImageList_Add(pictures, picture, nullptr);
        ::DeleteObject(picture);
    }
    ListView_SetImageList(list, pictures, LVSIL_SMALL);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = kMenuPaneWidth - 4;
    ListView_InsertColumn(list, 0, &column);
    int row = 0;
    for (const wchar_t* text : kMenuRows) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = row;
        item.iImage = row % 4;
        item.pszText = const_cast<wchar_t*>(text);
        ListView_InsertItem(list, &item);
        ++row;
    }
    return list;
}

void FillCombo(HWND page, int id, int count) {
    HWND combo = ::GetDlgItem(page, id);
    wchar_t text[32];
    for (int i = 0; i < count; ++i) {
        wsprintfW(text, L"Choice %d", i + 1);
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

HWND MakePage(HWND frame, HINSTANCE instance) {
    HWND page =
        ::CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_PAPER_VIEW), frame, &ChildDialog, 0);
    FillCombo(page, IDC_PAPER_WIDTH, 2);
    FillCombo(page, IDC_PRINT_DENSITY, 9);
    FillCombo(page, IDC_PRINT_SPEED, 4);
    FillCombo(page, IDC_CODE_TABLE, 20);
    FillCombo(page, IDC_CHARACTER_SET, 18);
    ::ShowWindow(page, SW_SHOW);
    return page;
}

HWND MakeStatus(HWND frame, HINSTANCE instance) {
    HWND status =
        ::CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_STATUS_VIEW), frame, &ChildDialog, 0);
    HANDLE picture =
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDB_PRINTER_PICTURE), IMAGE_BITMAP, 0, 0, 0);
    ::SendDlgItemMessageW(status, 1017, STM_SETIMAGE, IMAGE_BITMAP,
                          reinterpret_cast<LPARAM>(picture));
    ::SetDlgItemTextW(status, 1021, L"QK-R40");
    ::SetDlgItemTextW(status, 1022, L"COM1");
    ::SetDlgItemTextW(status, 1025, L"Online");
    ::ShowWindow(status, SW_SHOW);
    return status;
}

void Layout(HWND frame, const Panes& panes) {
    RECT client;
    ::GetClientRect(frame, &client);
    RECT strip;
    ::GetWindowRect(panes.status, &strip);
    const int stripHeight = strip.bottom - strip.top;
    const int top = client.bottom - stripHeight;
    ::MoveWindow(panes.menu, 0, 0, kMenuPaneWidth, top, TRUE);
    ::MoveWindow(panes.splitter, kMenuPaneWidth, 0, kSplitterWidth, top, TRUE);
    const int pageLeft = kMenuPaneWidth + kSplitterWidth;
    ::MoveWindow(panes.page, pageLeft, 0, client.right - pageLeft, top, TRUE);
    ::MoveWindow(panes.status, 0, top, client.right, stripHeight, TRUE);
}

LRESULT CALLBACK FrameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    static Panes panes;
    switch (message) {
    case WM_CREATE: {
        HINSTANCE instance = reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance;
        panes.menu = MakeMenuList(frame, instance);
        panes.splitter = ::CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_ETCHEDVERT,
                                           0, 0, 1, 1, frame, nullptr, instance, nullptr);
        panes.page = MakePage(frame, instance);
        panes.status = MakeStatus(frame, instance);
        Layout(frame, panes);
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(frame, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    WNDCLASSW type{};
    type.lpfnWndProc = &FrameProcedure;
    type.hInstance = instance;
    type.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"QkBenchSkeletonMain";
    ::RegisterClassW(&type);
    HWND frame = ::CreateWindowExW(0, type.lpszClassName, L"Skeleton main window",
                                   WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, qk::app::kFrameWidth,
                                   qk::app::kFrameHeight, nullptr, nullptr, instance, nullptr);
    ::ShowWindow(frame, SW_SHOW);
    ::UpdateWindow(frame);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!::IsDialogMessageW(frame, &message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return 0;
}
