// Holds a port for this process against every other process: a named kernel object exists for
// as long as the holder keeps it, and ends with the holder's process.
#pragma once
#include <windows.h>
#include <string>

namespace qk::comm {

class PortLock {
public:
    PortLock() = default;
    ~PortLock() { Release(); }
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;

    // False when another holder has the port.
    bool Acquire(const std::wstring& keyword, const std::wstring& portName);
    void Release();
    bool Held() const { return handle_ != nullptr; }

private:
    HANDLE handle_ = nullptr;
};

} // namespace qk::comm
