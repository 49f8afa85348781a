#include "tests/support/fakes/FakeProcessWindows.h"

namespace qk::test {

void FakeProcessWindows::AddWindow(os::WindowId window, os::WindowId root, bool enabled) {
    windows_[window] = Window{root, enabled};
    if (windows_.find(root) == windows_.end()) {
        windows_[root] = Window{root, enabled};
    }
}

void FakeProcessWindows::SetProcessWindows(uint32_t systemProcessId,
                                           std::vector<os::WindowId> windows) {
    processWindows_[systemProcessId] = std::move(windows);
}

os::WindowId FakeProcessWindows::RootWindow(os::WindowId window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? 0 : it->second.root;
}

bool FakeProcessWindows::IsEnabled(os::WindowId window) {
    auto it = windows_.find(window);
    return it != windows_.end() && it->second.enabled;
}

void FakeProcessWindows::Enable(os::WindowId window, bool enable) {
    enables_.push_back({window, enable});
    auto it = windows_.find(window);
    if (it != windows_.end()) {
        it->second.enabled = enable;
    }
}

std::vector<os::WindowId> FakeProcessWindows::VisibleTopLevelWindows(uint32_t systemProcessId) {
    auto it = processWindows_.find(systemProcessId);
    return it == processWindows_.end() ? std::vector<os::WindowId>{} : it->second;
}

os::PingResult FakeProcessWindows::Ping(os::WindowId, uint32_t timeoutMs) {
    ++pings_;
    if (pingAnswer == os::PingResult::TimedOut && clock_) {
        clock_->Advance(timeoutMs);
    }
    return pingAnswer;
}

void FakeProcessWindows::YieldSlice() {
    if (clock_) {
        clock_->Advance(yieldMs);
    }
}

bool FakeProcessWindows::PumpPaintOnly(os::ProcessId process, uint32_t timeoutMs) {
    const bool click = pumps_ == frameClickOnPump;
    ++pumps_;
    if (launcher_) {
        launcher_->Wait(process, timeoutMs);
    } else if (clock_) {
        clock_->Advance(timeoutMs);
    }
    return click;
}

} // namespace qk::test
