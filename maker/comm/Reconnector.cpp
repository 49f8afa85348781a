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
    if (stop_)
        return;
    // A request while a round runs is served by that round once its try ends: the try may
    // have looked at the connection before it was lost.
    pending_ = true;
    if (trying_)
        return;
    // The thread of an earlier round may still be leaving (it cleared trying_ as its last
    // work here): the new round's thread starts beside it.
    trying_ = thread_.StartBeside([this] { Loop(); });
}

void Reconnector::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        pending_ = false;
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
            pending_ = false; // this try serves every request made so far
        }
        if (attempt_()) {
            std::lock_guard lock(mutex_);
            if (stop_ || !pending_) {
                trying_ = false;
                return;
            }
            attempt = -1; // lost again while the try ran: start over with the shortest pause
        }
    }
}

} // namespace qk::comm
