#include "tests/support/WindowDriver.h"

#include <cstdio>
#include <initializer_list>

namespace qk::test {

void PumpMessages(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return done();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool PumpPending(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (GetTickCount() - start >= timeoutMs)
            return false;
    }
    return true;
}

bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= timeoutMs)
            return done();
        Sleep(10);
    }
    return true;
}

std::wstring WindowText(HWND hwnd) {
    wchar_t buffer[1024] = {};
    // WM_GETTEXT works across processes, GetWindowText does not for controls.
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK, 2000,
                        nullptr);
    return buffer;
}

std::wstring ClassName(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

std::wstring ChildText(HWND parent, int id) {
    HWND child = GetDlgItem(parent, id);
    return child ? WindowText(child) : std::wstring();
}

namespace {
struct DescendantQuery {
    int id;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK MatchDescendant(HWND child, LPARAM lp) {
    auto* query = reinterpret_cast<DescendantQuery*>(lp);
    if ((query->id && GetDlgCtrlID(child) != query->id) ||
        (query->className && ClassName(child) != query->className))
        return TRUE;
    query->found = child;
    return FALSE;
}
} // namespace

HWND Descendant(HWND root, int id, const wchar_t* className) {
    DescendantQuery query{id, className, nullptr};
    EnumChildWindows(root, MatchDescendant, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

std::wstring DescendantText(HWND root, int id) {
    HWND child = Descendant(root, id);
    return child ? WindowText(child) : std::wstring();
}

bool WaitForDescendantText(HWND root, int id, const std::wstring& text, DWORD timeoutMs) {
    return PumpUntil([&] { return DescendantText(root, id) == text; }, timeoutMs);
}

namespace {
struct EnumQuery {
    DWORD processId;
    std::wstring className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param) {
    auto* query = reinterpret_cast<EnumQuery*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (query->processId && pid != query->processId)
        return TRUE;
    if (!IsWindowVisible(hwnd))
        return TRUE;
    if (!query->className.empty() && ClassName(hwnd) != query->className)
        return TRUE;
    query->found.push_back(hwnd);
    return TRUE;
}
} // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, const std::wstring& className) {
    EnumQuery query{processId, className, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

HWND WaitForTopLevel(DWORD processId, const std::wstring& className, const std::wstring& title,
                     DWORD timeoutMs) {
    HWND result = nullptr;
    PumpUntil(
        [&] {
            for (HWND hwnd : TopLevelWindows(processId, className)) {
                if (title.empty() || WindowText(hwnd) == title) {
                    result = hwnd;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return result;
}

MessageBoxView WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
    MessageBoxView view;
    PumpUntil(
        [&] {
            for (HWND hwnd : TopLevelWindows(processId, L"#32770")) {
                // A message box's text is the static control with identifier 0xFFFF.
                HWND text = GetDlgItem(hwnd, 0xFFFF);
                if (!text)
                    continue;
                view.hwnd = hwnd;
                view.caption = WindowText(hwnd);
                view.text = WindowText(text);
                return true;
            }
            return false;
        },
        timeoutMs);
    return view;
}

MessageBoxView MessageBoxWithin(DWORD processId, DWORD watchMs) {
    // A message sent to each of its windows is answered only once the thread has handled
    // what came before it: the action the test saw has then been processed, and a box it
    // raised is up or on its way.
    for (HWND hwnd : TopLevelWindows(processId, L"")) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
    }
    return WaitForMessageBox(processId, watchMs);
}

void PressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

bool BringToForeground(HWND window, DWORD timeoutMs) {
    HWND root = ::GetAncestor(window, GA_ROOT);
    return PumpUntil(
        [&] {
            if (::GetForegroundWindow() == root)
                return true;
            ::SetForegroundWindow(root);
            return false;
        },
        timeoutMs);
}

namespace {

void SendMouse(HWND window, POINT client, std::initializer_list<DWORD> actions) {
    ::ClientToScreen(window, &client);
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> input;
    for (DWORD action : actions) {
        INPUT one{};
        one.type = INPUT_MOUSE;
        one.mi.dx = MulDiv(client.x, 65535, width - 1);
        one.mi.dy = MulDiv(client.y, 65535, height - 1);
        one.mi.dwFlags = action | MOUSEEVENTF_ABSOLUTE;
        input.push_back(one);
    }
    ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

GUITHREADINFO ThreadInfo(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    if (!thread || !::GetGUIThreadInfo(thread, &info))
        info = GUITHREADINFO{};
    return info;
}

} // namespace

void MoveMouse(HWND window, POINT client) {
    SendMouse(window, client, {MOUSEEVENTF_MOVE});
}

bool HoverUntilCaptured(HWND window, POINT client, DWORD timeoutMs) {
    int nudge = 1;
    return PumpUntil(
        [&] {
            MoveMouse(window, POINT{client.x + (nudge = -nudge), client.y});
            PumpMessages(50);
            return ThreadInfo(window).hwndCapture == window;
        },
        timeoutMs);
}

void ClickWithMouse(HWND window, POINT client) {
    SendMouse(window, client, {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
}

void PressKey(WORD key, bool withShift) {
    std::vector<INPUT> input;
    auto add = [&](WORD vk, DWORD flags) {
        INPUT one{};
        one.type = INPUT_KEYBOARD;
        one.ki.wVk = vk;
        one.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        one.ki.dwFlags = flags;
        input.push_back(one);
    };
    if (withShift)
        add(VK_SHIFT, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (withShift)
        add(VK_SHIFT, KEYEVENTF_KEYUP);
    ::SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

HWND FocusOfThread(HWND window) {
    return ThreadInfo(window).hwndFocus;
}

HWND CaptureOfThread(HWND window) {
    return ThreadInfo(window).hwndCapture;
}

std::wstring StageDir() {
    std::string narrow = QK_TEST_STAGE_DIR;
    std::wstring path(narrow.begin(), narrow.end());
    for (auto& c : path)
        if (c == L'/')
            c = L'\\';
    if (path.empty() || path.back() != L'\\')
        path += L'\\';
    return path;
}

ProcessRunner::~ProcessRunner() {
    if (info_.hProcess) {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(info_.hProcess, 255);
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
}

namespace {
// This process's environment block with the entries replaced or added.
std::wstring EnvironmentBlock(const std::vector<std::wstring>& entries) {
    auto nameOf = [](const std::wstring& entry) {
        return entry.substr(0, entry.find(L'=', 1)); // "=C:" entries start with '='
    };
    std::wstring block;
    if (wchar_t* own = GetEnvironmentStringsW()) {
        for (const wchar_t* p = own; *p; p += wcslen(p) + 1) {
            std::wstring entry = p, name = nameOf(entry);
            bool replaced = false;
            for (const auto& e : entries)
                replaced = replaced || _wcsicmp(nameOf(e).c_str(), name.c_str()) == 0;
            if (!replaced)
                block += entry + L'\0';
        }
        FreeEnvironmentStringsW(own);
    }
    for (const auto& e : entries)
        block += e + L'\0';
    return block + L'\0';
}
} // namespace

bool ProcessRunner::Start(const std::wstring& exePath, const std::wstring& arguments,
                          const std::wstring& directory,
                          const std::vector<std::wstring>& environment) {
    std::wstring commandLine = L"\"" + exePath + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring block = environment.empty() ? L"" : EnvironmentBlock(environment);
    // A loaded Wine now and then fails to start a program that is there; a missing one is
    // not tried again.
    for (int attempt = 0;; ++attempt) {
        if (CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                           environment.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT,
                           environment.empty() ? nullptr : block.data(),
                           directory.empty() ? nullptr : directory.c_str(), &startup, &info_))
            return true;
        const DWORD error = GetLastError();
        if (attempt == 2 || error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            std::fprintf(stderr, "ProcessRunner: %ls did not start (error %lu)\n", exePath.c_str(),
                         error);
            return false;
        }
        Sleep(250);
    }
}

bool ProcessRunner::Wait(DWORD timeoutMs) {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ProcessRunner::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess)
        GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void ProcessRunner::Kill() {
    if (info_.hProcess)
        TerminateProcess(info_.hProcess, 255);
}

} // namespace qk::test
