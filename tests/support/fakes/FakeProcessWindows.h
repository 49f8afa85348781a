// Windows of started programs in memory: which process shows which windows, whether they
// answer, whether the utility holds the focus, and a paint-only pump that lets the program's
// time pass through the FakeProcessLauncher. Enabling, foreground requests and pumps are
// recorded.
#pragma once
#include <map>
#include <set>
#include <vector>
#include "platform/os/ProcessWindows.h"
#include "tests/support/fakes/FakeProcessLauncher.h"

namespace qk::test {

class FakeProcessWindows : public os::IProcessWindows {
public:
    explicit FakeProcessWindows(FakeProcessLauncher* launcher = nullptr, FakeClock* clock = nullptr)
        : launcher_(launcher), clock_(clock) {}

    bool canNameProcessIds = true;
    os::PingResult pingAnswer = os::PingResult::Answered;
    bool utilityHoldsFocus = false;
    int frameClickOnPump = -1; // the pump (counted from 0) that sees a frame click
    uint32_t yieldMs = 10;

    // A window of the utility: root is its top-level ancestor.
    void AddWindow(os::WindowId window, os::WindowId root, bool enabled = true);
    // Windows shown by the process with that system identifier.
    void SetProcessWindows(uint32_t systemProcessId, std::vector<os::WindowId> windows);

    struct EnableCall {
        os::WindowId window;
        bool enable;
    };
    const std::vector<EnableCall>& EnableCalls() const { return enables_; }
    const std::vector<os::WindowId>& ForegroundCalls() const { return foregrounds_; }
    int Pumps() const { return pumps_; }
    int Pings() const { return pings_; }

    bool CanNameProcessIds() override { return canNameProcessIds; }
    os::WindowId RootWindow(os::WindowId window) override;
    bool IsEnabled(os::WindowId window) override;
    void Enable(os::WindowId window, bool enable) override;
    std::vector<os::WindowId> VisibleTopLevelWindows(uint32_t systemProcessId) override;
    os::PingResult Ping(os::WindowId window, uint32_t timeoutMs) override;
    void YieldSlice() override;
    void BringToForeground(os::WindowId window) override { foregrounds_.push_back(window); }
    bool HoldsKeyboardFocus() override { return utilityHoldsFocus; }
    bool PumpPaintOnly(os::ProcessId process, uint32_t timeoutMs) override;

private:
    struct Window {
        os::WindowId root;
        bool enabled;
    };
    FakeProcessLauncher* launcher_; // not owned; may be null
    FakeClock* clock_;              // not owned; may be null
    std::map<os::WindowId, Window> windows_;
    std::map<uint32_t, std::vector<os::WindowId>> processWindows_;
    std::vector<EnableCall> enables_;
    std::vector<os::WindowId> foregrounds_;
    int pumps_ = 0;
    int pings_ = 0;
};

} // namespace qk::test
