#include "tests/view/ViewTestSupport.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace qk::test {
namespace {

unsigned __stdcall TryLockOnce(void* lock) {
    auto* section = static_cast<CRITICAL_SECTION*>(lock);
    if (!::TryEnterCriticalSection(section))
        return 0;
    ::LeaveCriticalSection(section);
    return 1;
}

} // namespace

ScratchFolder::ScratchFolder() {
    wchar_t base[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    path_ = std::wstring(base) + L"qkview_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
            std::to_wstring(++counter);
    ::CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((path_ + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileW((path_ + L"\\" + data.cFileName).c_str());
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(path_.c_str());
}

void ScratchFolder::WriteLangFile(int language, const std::wstring& text) const {
    wchar_t name[16];
    swprintf(name, 16, L"\\%04X.DAT", language);
    std::wstring body;
    for (wchar_t c : text) {
        if (c == L'\n')
            body += L'\r';
        body += c;
    }
    HANDLE file = ::CreateFileW((path_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    const unsigned char bom[2] = {0xFF, 0xFE};
    ::WriteFile(file, bom, 2, &written, nullptr);
    ::WriteFile(file, body.data(), static_cast<DWORD>(body.size() * sizeof(wchar_t)), &written,
                nullptr);
    ::CloseHandle(file);
}

TestContext::TestContext(const std::wstring& languageFolder, int language) {
    std::memset(context.get(), 0, sizeof(UtilContext));
    languageFolder.copy(reinterpret_cast<wchar_t*>(context->languageFolder), kTextSlot - 1);
    context->languageId = language;
    context->applicationLock = lock.Get();
}

void TestContext::SetPortDeviceText(const std::u16string& text) {
    auto* bytes = reinterpret_cast<unsigned char*>(&context->portRecord);
    std::memset(bytes + 3160, 0, 520);
    std::memcpy(bytes + 3160, text.data(), text.size() * sizeof(char16_t));
}

EngineHandle CountingEngine::Create(comm::QkcBinding* binding) {
    ++creates;
    lastBinding = binding;
    return fail ? nullptr : reinterpret_cast<EngineHandle>(0x1234);
}

void CountingEngine::Release(EngineHandle* handle) {
    ++releases;
    if (handle)
        *handle = nullptr;
}

bool RecordingDialog::Make(HWND owner) {
    return CreateEx(0, nullptr, L"progress", WS_POPUP, 0, 0, 100, 50, owner, nullptr);
}

bool RecordingDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_UTIL_SETPROGRESS) {
        positions.push_back(static_cast<int32_t>(wp));
        result = 0;
        return true;
    }
    return CWnd::OnMessage(msg, wp, lp, result);
}

bool FakeFrame::Make() {
    return CreateEx(0, nullptr, L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                    nullptr);
}

bool FakeFrame::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_CLOSE:
        ++closes;
        return true;
    case WM_UTIL_GETSTATUS:
        if (wp)
            *reinterpret_cast<int32_t*>(wp) = status;
        result = 0;
        return true;
    case WM_UTIL_CREATECOMMSTATE:
        ++creates;
        result = 0;
        if (!refuseDialog) {
            dialog = std::make_unique<RecordingDialog>();
            if (dialog->Make(m_hWnd))
                result = reinterpret_cast<LRESULT>(dialog->m_hWnd);
        }
        return true;
    case WM_UTIL_RUNCOMMSTATE: {
        ++runs;
        lastRequest = *reinterpret_cast<const CommStateRequest*>(wp);
        if (watchLock) {
            // Another thread must not get the lock while the exchange runs.
            HANDLE probe = StartWorkerThread(&TryLockOnce, watchLock);
            ::WaitForSingleObject(probe, 5000);
            DWORD got = 1;
            ::GetExitCodeThread(probe, &got);
            ::CloseHandle(probe);
            lockHeldDuringRun = got == 0;
        }
        if (runReturnsAtOnce) {
            result = 0;
            return true;
        }
        HANDLE worker = *lastRequest.workerThread;
        DWORD start = ::GetTickCount();
        while (::MsgWaitForMultipleObjects(1, &worker, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0 &&
               ::GetTickCount() - start < 20000) {
            MSG m;
            while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&m);
                ::DispatchMessageW(&m);
            }
        }
        result = 0;
        return true;
    }
    default:
        return CWnd::OnMessage(msg, wp, lp, result);
    }
}

HostWindows::HostWindows() {
    frame.Make();
    pane = ::CreateWindowExW(0, L"STATIC", L"pane", WS_CHILD | WS_VISIBLE, 10, 10, 500, 380, frame,
                             nullptr, nullptr, nullptr);
}

} // namespace qk::test
