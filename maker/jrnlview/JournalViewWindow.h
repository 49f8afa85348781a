// The journal viewer's one window: the journal kept for one section of the command emulator's
// settings, a line per row, with a line telling whose journal it is and a Close button. It
// reads the journal again when the file changes, so lines printed meanwhile appear.
#pragma once
#include <windows.h>
#include <string>

namespace qk::jrnlview {

class JournalViewWindow {
public:
    static constexpr wchar_t kClassName[] = L"QKJrnlView";
    static constexpr int kListId = 100;
    static constexpr int kSummaryId = 101;

    explicit JournalViewWindow(std::wstring section) : section_(std::move(section)) {}

    // Creates and shows the window; false when it could not be created.
    bool Create(HINSTANCE instance, int show);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void OnCreate();
    void OnSize(int width, int height);
    void OnTimer();
    void OnCommand(int id);
    void OnDestroy();
    void Reload();

    HWND hwnd_ = nullptr;
    HWND summary_ = nullptr;
    HWND list_ = nullptr;
    HWND close_ = nullptr;
    HFONT listFont_ = nullptr;
    std::wstring section_;
    std::wstring path_;
    ULONGLONG shownSize_ = ~0ULL;
    FILETIME shownTime_{};
};

} // namespace qk::jrnlview
