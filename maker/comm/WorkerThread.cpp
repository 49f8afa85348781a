#include "maker/comm/WorkerThread.h"

namespace qk::comm {

namespace {
struct Launch {
    std::function<void()> body;
    HMODULE module = nullptr;
};

DWORD WINAPI ThreadProc(void* parameter) {
    Launch* launch = static_cast<Launch*>(parameter);
    try {
        launch->body();
    } catch (...) {
        // Nothing may leave a thread procedure.
    }
    HMODULE module = launch->module;
    delete launch;
    if (module)
        FreeLibraryAndExitThread(module, 0);
    return 0;
}
} // namespace

WorkerThread::~WorkerThread() {
    Join(5000);
    if (handle_)
        CloseHandle(handle_);
}

bool WorkerThread::Running() const {
    return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

bool WorkerThread::Start(std::function<void()> body) {
    if (Running())
        return false;
    return StartBeside(std::move(body));
}

bool WorkerThread::StartBeside(std::function<void()> body) {
    if (handle_) {
        CloseHandle(handle_);
        handle_ = nullptr;
    }
    Launch* launch = new Launch{std::move(body), nullptr};
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(&ThreadProc), &launch->module);
    handle_ = CreateThread(nullptr, 0, ThreadProc, launch, 0, &id_);
    if (!handle_) {
        if (launch->module)
            FreeLibrary(launch->module);
        delete launch;
        return false;
    }
    return true;
}

bool WorkerThread::Join(DWORD timeoutMs) {
    if (!handle_ || IsCurrent())
        return !handle_;
    return WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
}

} // namespace qk::comm
