// Brings a lost connection back: a thread of its own tries again and again, with a pause that
// grows up to a bound between tries, until a try says it is done or the trying is stopped.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include "maker/comm/WorkerThread.h"

namespace qk::comm {

class Reconnector {
public:
    // One try: true when there is nothing more to do (connected, or the port was closed).
    using Attempt = std::function<bool()>;

    explicit Reconnector(Attempt attempt) : attempt_(std::move(attempt)) {}
    ~Reconnector() { Stop(); }
    Reconnector(const Reconnector&) = delete;
    Reconnector& operator=(const Reconnector&) = delete;

    // Starts trying; a round of tries under way serves the request with a try that starts
    // after it. Takes no lock of the caller's, so a connection's reader thread may call it
    // when the connection is lost.
    void Request();
    // Ends the tries and waits for the one under way (at most its own bound).
    void Stop();

    // The pause before try n (0 for the first): 250 ms doubling up to 4 s.
    static uint32_t PauseBeforeMs(int attempt);

private:
    void Loop();

    Attempt attempt_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool trying_ = false;  // a round runs (its thread may still be leaving once cleared)
    bool pending_ = false; // a request that no try has served yet
    bool stop_ = false;
    WorkerThread thread_;
};

} // namespace qk::comm
