#include "maker/comm/StatusNotifier.h"
#include "framework/comm/CommResult.h"

namespace qk::comm {

namespace {
constexpr auto kCallWait = std::chrono::milliseconds(5000);
}

void StatusNotifier::EnsureThread() {
    if (!thread_.Running()) {
        stop_ = false;
        thread_.Start([this] { Loop(); });
    }
}

void StatusNotifier::WaitIdle(std::unique_lock<std::mutex>& lock) {
    // A procedure that unregisters itself must not wait for its own call.
    if (!thread_.IsCurrent())
        idle_.wait_for(lock, kCallWait, [this] { return !calling_; });
}

void StatusNotifier::SetStatusProc(QkcStatusProc proc, void* context) {
    std::unique_lock lock(mutex_);
    statusProc_ = proc;
    statusContext_ = context;
    // Events queued for an earlier procedure are not the new one's business.
    std::erase_if(events_, [](const Event& e) { return !e.device; });
    if (proc) {
        EnsureThread();
        if (lastMain_ >= 0)
            Post(false, lastMain_);
        if (lastInk_ != kStatusInkCleared)
            Post(false, lastInk_);
    } else {
        WaitIdle(lock);
    }
}

void StatusNotifier::SetDeviceStateProc(QkcDeviceStateProc proc, void* context) {
    std::unique_lock lock(mutex_);
    deviceProc_ = proc;
    deviceContext_ = context;
    if (proc)
        EnsureThread();
    else
        WaitIdle(lock);
}

void StatusNotifier::SetSuppressOffline(bool suppress) {
    std::lock_guard lock(mutex_);
    suppressOffline_ = suppress;
}

void StatusNotifier::Post(bool device, int32_t code) {
    events_.push_back(Event{device, code});
    wake_.notify_one();
}

void StatusNotifier::ReportStatus(int32_t main, int32_t ink) {
    std::lock_guard lock(mutex_);
    if (main != lastMain_) {
        lastMain_ = main;
        if (!(suppressOffline_ && main == kStatusOffline))
            Post(false, main);
    }
    if (ink != lastInk_) {
        lastInk_ = ink;
        Post(false, ink);
    }
}

void StatusNotifier::ReportNoStatus() {
    std::lock_guard lock(mutex_);
    if (lastMain_ != kStatusNoStatus) {
        lastMain_ = kStatusNoStatus;
        Post(false, kStatusNoStatus);
    }
}

void StatusNotifier::ReportConnection(bool connected) {
    std::lock_guard lock(mutex_);
    Post(true, connected ? 1 : 0);
}

void StatusNotifier::Forget() {
    std::lock_guard lock(mutex_);
    lastMain_ = -1;
    lastInk_ = kStatusInkCleared;
}

int32_t StatusNotifier::Current() const {
    std::lock_guard lock(mutex_);
    return lastMain_;
}

void StatusNotifier::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        statusProc_ = nullptr;
        deviceProc_ = nullptr;
        events_.clear();
        wake_.notify_all();
    }
    thread_.Join(kCallWait.count() + 1000);
}

void StatusNotifier::Loop() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        if (events_.empty()) {
            wake_.wait_for(lock, std::chrono::milliseconds(1000));
            continue;
        }
        Event event = events_.front();
        events_.pop_front();
        QkcStatusProc statusProc = statusProc_;
        QkcDeviceStateProc deviceProc = deviceProc_;
        void* context = event.device ? deviceContext_ : statusContext_;
        if (event.device ? !deviceProc : !statusProc)
            continue;
        calling_ = true;
        lock.unlock();
        if (event.device)
            deviceProc(event.code, context);
        else
            statusProc(event.code, context);
        lock.lock();
        calling_ = false;
        idle_.notify_all();
    }
}

} // namespace qk::comm
