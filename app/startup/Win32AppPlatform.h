// The platform services of start-up and exit, through Win32.
#pragma once
#include <windows.h>
#include "app/startup/AppPlatform.h"

namespace qk::app {

class Win32AppPlatform : public IAppPlatform {
public:
    ~Win32AppPlatform() override;

    MutexResult CreateInstanceMutex(const std::u16string& name) override;
    void CloseMutex() override;
    bool BringWindowWithPropertyToFront(const std::u16string& property) override;
    bool IsAdministrator() override;
    bool ReadDeviceIdNumber(const std::u16string& programFolder, const comm::QkcBinding* binding,
                            int32_t& number) override;

private:
    HANDLE m_mutex = nullptr;   // owned
    HMODULE m_prinfo = nullptr; // owned; loaded at the first device ID read
};

} // namespace qk::app
