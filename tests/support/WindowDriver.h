// Helpers that drive real windows from a test, the way UI automation does: find windows,
// pump messages while waiting, read texts, press buttons, run the real program.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace qk::test {

// Processes this thread's messages for about `ms` milliseconds.
void PumpMessages(DWORD ms);
// Processes messages until `done` answers true or `timeoutMs` passes; answers `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
// Processes the messages already in this thread's queue and those they post in turn, until the
// queue is empty (false if it is not within `timeoutMs`). For a notice that is posted before
// the call that the test made returns.
bool PumpPending(DWORD timeoutMs = 5000);
// Asks `done` every 10 ms until it answers true or `timeoutMs` passes, leaving this thread's
// messages alone (for worker threads); answers `done()`.
bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs);

std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);
std::wstring ChildText(HWND parent, int id);
// The first descendant of `root` with the control identifier (0: any) and class (null: any).
HWND Descendant(HWND root, int id, const wchar_t* className = nullptr);
std::wstring DescendantText(HWND root, int id);
// Waits (pumping) until the descendant with the identifier shows the text.
bool WaitForDescendantText(HWND root, int id, const std::wstring& text, DWORD timeoutMs = 20000);

// Visible top-level windows of a process (0: any process) matching the class (empty: any).
std::vector<HWND> TopLevelWindows(DWORD processId, const std::wstring& className);
// Waits (pumping this thread's messages) for a visible top-level window of the process with
// the given class and, when not empty, the given title.
HWND WaitForTopLevel(DWORD processId, const std::wstring& className, const std::wstring& title,
                     DWORD timeoutMs);

// A standard message box of another window or process, as a test reads it.
struct MessageBoxView {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text;
};
MessageBoxView WaitForMessageBox(DWORD processId, DWORD timeoutMs);
// How long a check that no message box came watches for one, once the process has handled
// what the test saw: a box follows what it reports at once.
constexpr DWORD kNoMessageBoxWatchMs = 1000;
// The message box of the process once each of its windows has answered a message sent after
// what came before, or shown within the watch that follows (empty hwnd: none came).
MessageBoxView MessageBoxWithin(DWORD processId, DWORD watchMs = kNoMessageBoxWatchMs);
// Presses a button of a dialog by identifier (IDOK, IDYES ...).
void PressButton(HWND dialog, int id);

// Real input, as a user gives it: it goes to the foreground window and its thread's focus.
// Brings the window's top-level window to the foreground; true once it is there.
bool BringToForeground(HWND window, DWORD timeoutMs = 10000);
// The mouse moved to a point of the window's client area.
void MoveMouse(HWND window, POINT client);
// Moves the mouse to the point again and again (nudged by a pixel: a move to where the pointer
// is would be no move) until the window, one that takes the mouse capture when the pointer
// comes over it, holds the capture; false after `timeoutMs`. The first input after another
// window closed may go before the window takes it on a bare display.
bool HoverUntilCaptured(HWND window, POINT client, DWORD timeoutMs = 10000);
// A left click of the mouse at a point of the window's client area.
void ClickWithMouse(HWND window, POINT client);
// A key pressed and released, with Shift held around it when asked.
void PressKey(WORD key, bool withShift = false);
// The window that holds the keyboard focus in the thread of `window` (of any process).
HWND FocusOfThread(HWND window);
// The window that holds the mouse capture in the thread of `window` (of any process).
HWND CaptureOfThread(HWND window);

// The program folder of the build (Windows path, with a trailing backslash).
std::wstring StageDir();

// Runs a program of the build and lets the test watch and end it.
class ProcessRunner {
public:
    ProcessRunner() = default;
    ~ProcessRunner();
    ProcessRunner(const ProcessRunner&) = delete;
    ProcessRunner& operator=(const ProcessRunner&) = delete;

    // `environment`: "NAME=value" entries that the program sees on top of this process's.
    bool Start(const std::wstring& exePath, const std::wstring& arguments,
               const std::wstring& directory = L"",
               const std::vector<std::wstring>& environment = {});
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    DWORD ThreadId() const { return info_.dwThreadId; }
    // Waits for the end; false on time-out.
    bool Wait(DWORD timeoutMs);
    DWORD ExitCode() const;
    void Kill();

private:
    PROCESS_INFORMATION info_{};
};

} // namespace qk::test
