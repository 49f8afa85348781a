#include "maker/jrnlview/JournalViewWindow.h"
#include <string>
#include <vector>
#include "maker/common/WinText.h"
#include "maker/emulator/EmulatorFiles.h"

namespace qk::jrnlview {

namespace {
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMs = 1000;
constexpr int kMargin = 8;
constexpr int kRowHeight = 24;
constexpr int kButtonWidth = 88;

std::vector<std::wstring> SplitLines(const std::string& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(qk::win::FromOem(line));
        start = end + 1;
    }
    return lines;
}

HWND MakeChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
    HWND child = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return child;
}
} // namespace

bool JournalViewWindow::Create(HINSTANCE instance, int show) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc))
        return false;
    const std::wstring title = L"Electronic Journal - " + section_;
    hwnd_ = CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                            CW_USEDEFAULT, 560, 460, nullptr, nullptr, instance, this);
    if (!hwnd_)
        return false;
    ShowWindow(hwnd_, show);
    UpdateWindow(hwnd_);
    return true;
}

LRESULT CALLBACK JournalViewWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<JournalViewWindow*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<JournalViewWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT JournalViewWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_TIMER:
        if (wParam == kRefreshTimer)
            OnTimer();
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    default:
        return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void JournalViewWindow::OnCreate() {
    summary_ = MakeChild(hwnd_, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kSummaryId);
    list_ =
        MakeChild(hwnd_, L"LISTBOX", L"",
                  WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, kListId);
    close_ = MakeChild(hwnd_, L"BUTTON", L"Close", BS_DEFPUSHBUTTON | WS_TABSTOP, IDCANCEL);
    listFont_ = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            FIXED_PITCH | FF_MODERN, L"Courier New");
    if (listFont_)
        SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(listFont_), FALSE);
    path_ = section_.empty() ? L"" : qk::emulator::JournalPath(section_);
    Reload();
    SetTimer(hwnd_, kRefreshTimer, kRefreshMs, nullptr);
    SetFocus(list_);
}

void JournalViewWindow::OnSize(int width, int height) {
    const int listTop = kMargin + kRowHeight;
    const int buttonTop = height - kMargin - kRowHeight;
    MoveWindow(summary_, kMargin, kMargin, width - 2 * kMargin, kRowHeight - 4, TRUE);
    MoveWindow(list_, kMargin, listTop, width - 2 * kMargin, buttonTop - kMargin - listTop, TRUE);
    MoveWindow(close_, width - kMargin - kButtonWidth, buttonTop, kButtonWidth, kRowHeight, TRUE);
}

void JournalViewWindow::OnTimer() {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const bool exists =
        !path_.empty() && GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data);
    const ULONGLONG size =
        exists ? (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow : ~0ULL;
    if (size != shownSize_ || CompareFileTime(&data.ftLastWriteTime, &shownTime_) != 0)
        Reload();
}

void JournalViewWindow::OnCommand(int id) {
    if (id == IDCANCEL || id == IDOK)
        DestroyWindow(hwnd_);
}

void JournalViewWindow::OnDestroy() {
    KillTimer(hwnd_, kRefreshTimer);
    if (listFont_)
        DeleteObject(listFont_);
    listFont_ = nullptr;
    PostQuitMessage(0);
}

void JournalViewWindow::Reload() {
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    std::string text;
    if (path_.empty() || !GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data) ||
        !qk::win::ReadFileText(path_, text)) {
        shownSize_ = ~0ULL;
        shownTime_ = {};
        const std::wstring why = section_.empty()
                                     ? L"No port was given: start the viewer with a port section."
                                     : L"No journal has been kept for " + section_ + L" yet.";
        SetWindowTextW(summary_, why.c_str());
        return;
    }
    shownSize_ = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    shownTime_ = data.ftLastWriteTime;
    const std::vector<std::wstring> lines = SplitLines(text);
    for (const std::wstring& line : lines)
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageW(list_, LB_SETTOPINDEX, lines.empty() ? 0 : lines.size() - 1, 0);
    const std::wstring summary = L"Journal of " + section_ + L": " + std::to_wstring(lines.size()) +
                                 (lines.size() == 1 ? L" line" : L" lines");
    SetWindowTextW(summary_, summary.c_str());
}

} // namespace qk::jrnlview
