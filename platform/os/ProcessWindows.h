// The windows a wait for another program needs, behind a seam: the top-level windows of a
// process, the owner window to keep disabled, and a message pump that serves painting only.
#pragma once
#include <cstdint>
#include <vector>
#include "platform/os/Process.h"

namespace qk::os {

// Opaque window handle; 0 is none.
using WindowId = std::uintptr_t;

enum class PingResult { Answered, Gone, TimedOut };

class IProcessWindows {
public:
    virtual ~IProcessWindows() = default;

    // Whether a process handle can be turned into the system's process identifier, which
    // finding the windows of a started program needs.
    virtual bool CanNameProcessIds() = 0;
    // The root ancestor of a window; 0 when it is not a window.
    virtual WindowId RootWindow(WindowId window) = 0;
    virtual bool IsEnabled(WindowId window) = 0;
    virtual void Enable(WindowId window, bool enable) = 0;
    // The visible top-level windows of the process with that system identifier, in the
    // platform's Z order.
    virtual std::vector<WindowId> VisibleTopLevelWindows(uint32_t systemProcessId) = 0;
    // A no-op message sent with a time limit: whether the window's thread answered.
    virtual PingResult Ping(WindowId window, uint32_t timeoutMs) = 0;
    // Gives up the rest of the time slice.
    virtual void YieldSlice() = 0;
    virtual void BringToForeground(WindowId window) = 0;
    // Whether a window of this process holds the keyboard focus.
    virtual bool HoldsKeyboardFocus() = 0;
    // Waits at most timeoutMs for the end of the process or for input, painting or a sent
    // message to this thread, then dispatches the waiting paint messages and drops the
    // waiting keyboard and mouse input; posted messages stay queued for the thread's own
    // loop. True when the input held a click on a window frame (a non-client button press or
    // double click).
    virtual bool PumpPaintOnly(ProcessId process, uint32_t timeoutMs) = 0;
};

} // namespace qk::os
