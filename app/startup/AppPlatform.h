// What start-up and exit need from the platform beyond the OS seams: the single-instance
// mutex, the running instance's window, the administrator check and the printer information
// library. The real one calls Win32; tests substitute a fake.
#pragma once
#include <cstdint>
#include <string>
#include "framework/comm/QkcBinding.h"

namespace qk::app {

class IAppPlatform {
public:
    virtual ~IAppPlatform() = default;

    enum class MutexResult { Created, AlreadyExists, Failed };
    // Creates the named mutex owned by the caller; the handle is kept until CloseMutex.
    virtual MutexResult CreateInstanceMutex(const std::u16string& name) = 0;
    virtual void CloseMutex() = 0;
    // Brings to the foreground the first top-level window carrying the property; false when
    // there is none.
    virtual bool BringWindowWithPropertyToFront(const std::u16string& property) = 0;
    // Membership of the thread token (or else the process token) in Administrators.
    virtual bool IsAdministrator() = 0;
    // The printer information library's device identifier for the bound printer; false when
    // the library or one of its three entry points is missing, or the number is not valid.
    virtual bool ReadDeviceIdNumber(const std::u16string& programFolder,
                                    const comm::QkcBinding* binding, int32_t& number) = 0;
};

} // namespace qk::app
