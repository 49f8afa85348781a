#include "maker/comm/Reconnector.h"
#include <algorithm>
#include <chrono>

namespace qk::comm {

namespace {
constexpr uint32_t kFirstPauseMs = 250;
constexpr uint32_t kLongestPauseMs = 4000;
constexpr DWORD kStopWaitMs = 8000; // one try: a connection attempt and the status request
} // namespace

uint32_t Reconnector::PauseBeforeMs(int attempt) {
    uint32_t pause = kFirstPauseMs;
    for (int i = 0; i < attempt && pause < kLongestPauseMs; ++i)
        pause *= 2;
    return std::min(pause, kLongestPauseMs);
}

void Reconnector::Request() {
    std::lock_guard lock(mutex_);
    if (trying_ || stop_)
        return;
    // The thread of an earlier round has left its loop (trying_ was cleared there); it ends
    // without taking any lock, so a short wait is enough.
    thread_.Join(1000);
    trying_ = thread_.Start([this] { Loop(); });
}

void Reconnector::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        wake_.notify_all();
    }
    thread_.Join(kStopWaitMs);
    std::lock_guard lock(mutex_);
    stop_ = false;
}

void Reconnector::Loop() {
    for (int attempt = 0;; ++attempt) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, std::chrono::milliseconds(PauseBeforeMs(attempt)),
                           [this] { return stop_; });
            if (stop_) {
                trying_ = false;
                return;
            }
        }
        if (attempt_()) {
            std::lock_guard lock(mutex_);
            trying_ = false;
            return;
        }
    }
}

} // namespace qk::comm
