// JrnlView.exe: the command emulator's journal viewer, reduced to what the utility relies on:
// started with a section name of the emulator's settings file as its argument, it shows that
// section's journal in a window and ends when the window is closed. Each start appends one
// line, name, time and section, to the tools' runs.log. Exit code 0; 1 when no window could be
// made.
#include <windows.h>
#include <string>
#include "maker/common/ToolRunLog.h"
#include "maker/jrnlview/JournalViewWindow.h"

namespace {

// Everything after the program's own name, without surrounding blanks and quotes: the shell
// hands the section over as it stands, blanks included.
std::wstring SectionArgument() {
    std::wstring line = GetCommandLineW();
    std::size_t at = 0;
    if (!line.empty() && line[0] == L'"') {
        at = line.find(L'"', 1);
        at = at == std::wstring::npos ? line.size() : at + 1;
    } else {
        at = line.find_first_of(L" \t");
        at = at == std::wstring::npos ? line.size() : at;
    }
    std::wstring rest = line.substr(at);
    const std::size_t first = rest.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return {};
    rest = rest.substr(first, rest.find_last_not_of(L" \t") - first + 1);
    if (rest.size() >= 2 && rest.front() == L'"' && rest.back() == L'"')
        rest = rest.substr(1, rest.size() - 2);
    return rest;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    const std::wstring section = SectionArgument();
    qk::tools::RecordRun(qk::win::ToUtf8(section.empty() ? L"-" : section));
    qk::jrnlview::JournalViewWindow window(section);
    if (!window.Create(instance, show))
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        HWND top = GetAncestor(msg.hwnd, GA_ROOT);
        if (top && IsDialogMessageW(top, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
