// IProcessWindows over the window manager; a ProcessId is the process handle.
#pragma once
#include "platform/os/ProcessWindows.h"

namespace qk::os {

class Win32ProcessWindows : public IProcessWindows {
public:
    bool CanNameProcessIds() override;
    WindowId RootWindow(WindowId window) override;
    bool IsEnabled(WindowId window) override;
    void Enable(WindowId window, bool enable) override;
    std::vector<WindowId> VisibleTopLevelWindows(uint32_t systemProcessId) override;
    PingResult Ping(WindowId window, uint32_t timeoutMs) override;
    void YieldSlice() override;
    void BringToForeground(WindowId window) override;
    bool HoldsKeyboardFocus() override;
    bool PumpPaintOnly(ProcessId process, uint32_t timeoutMs) override;
};

} // namespace qk::os
