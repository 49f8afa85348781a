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

// A Bluetooth port is the serial port of the same name: the serial enumeration lists it as "COM"
// while its device path names it "BT". Both names are one port to hold.
std::wstring LockKeyword(const std::wstring& keyword);
bool SameHeldPort(const std::wstring& keyword, const std::wstring& name,
                  const std::wstring& otherKeyword, const std::wstring& otherName);

} // namespace qk::comm
