// Synchronisation objects and worker threads: thin owners of the Win32 handles.
#pragma once
#include <windows.h>

namespace qk {

class CCriticalSection {
public:
    CCriticalSection() { ::InitializeCriticalSection(&m_sect); }
    ~CCriticalSection() { ::DeleteCriticalSection(&m_sect); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Lock() { ::EnterCriticalSection(&m_sect); }
    bool TryLock() { return ::TryEnterCriticalSection(&m_sect) != FALSE; }
    void Unlock() { ::LeaveCriticalSection(&m_sect); }
    CRITICAL_SECTION* Get() { return &m_sect; }

private:
    CRITICAL_SECTION m_sect;
};

// Holds a critical section for a scope.
class CSingleLock {
public:
    explicit CSingleLock(CRITICAL_SECTION* section) : m_section(section) {
        ::EnterCriticalSection(m_section);
    }
    ~CSingleLock() { ::LeaveCriticalSection(m_section); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

private:
    CRITICAL_SECTION* m_section;
};

class CEvent {
public:
    CEvent(bool manualReset, bool initialState, const wchar_t* name = nullptr)
        : m_hObject(::CreateEventW(nullptr, manualReset, initialState, name)) {}
    ~CEvent() {
        if (m_hObject)
            ::CloseHandle(m_hObject);
    }
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    bool SetEvent() { return ::SetEvent(m_hObject) != FALSE; }
    bool ResetEvent() { return ::ResetEvent(m_hObject) != FALSE; }
    // True when signalled within the time-out.
    bool Wait(DWORD timeoutMs) {
        return ::WaitForSingleObject(m_hObject, timeoutMs) == WAIT_OBJECT_0;
    }
    HANDLE Get() const { return m_hObject; }

private:
    HANDLE m_hObject;
};

using WorkerProc = unsigned(__stdcall*)(void* argument);

// Starts a worker thread (with the C runtime set up for it). Answers the thread handle,
// which the caller owns and closes, or null.
HANDLE StartWorkerThread(WorkerProc proc, void* argument, DWORD* threadId = nullptr);

} // namespace qk
