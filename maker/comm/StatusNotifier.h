// Reports status changes to the registered procedures from a thread of the library's own, so a
// slow or re-entrant procedure never holds up the connection. After Unregister returns (from
// any other thread) the procedure is not called again.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include "framework/comm/CommResult.h"
#include "framework/comm/QkcEntryPoints.h"
#include "maker/comm/WorkerThread.h"

namespace qk::comm {

class StatusNotifier {
public:
    ~StatusNotifier() { Stop(); }

    // A null procedure unregisters. A new procedure learns the current status at once.
    void SetStatusProc(QkcStatusProc proc, void* context);
    void SetDeviceStateProc(QkcDeviceStateProc proc, void* context);
    // When set, the plain offline code (1) is not reported.
    void SetSuppressOffline(bool suppress);

    // From the connection: the decoded status; only changes go out.
    void ReportStatus(int32_t main, int32_t ink);
    // The printer cannot be asked (silent, gone): "Cannot Get Status".
    void ReportNoStatus();
    void ReportConnection(bool connected);
    // The port was closed on purpose: the next status, whatever it is, is news.
    void Forget();

    // Last reported main status, or -1 when unknown.
    int32_t Current() const;
    void Stop();

private:
    struct Event {
        bool device;
        int32_t code;
    };
    void Post(bool device, int32_t code); // with mutex_ held
    void EnsureThread();                  // with mutex_ held
    void Loop();
    void WaitIdle(std::unique_lock<std::mutex>& lock);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Event> events_;
    QkcStatusProc statusProc_ = nullptr;
    void* statusContext_ = nullptr;
    QkcDeviceStateProc deviceProc_ = nullptr;
    void* deviceContext_ = nullptr;
    bool suppressOffline_ = false;
    int32_t lastMain_ = -1;
    int32_t lastInk_ = kStatusInkCleared;
    bool calling_ = false;
    bool stop_ = false;
    WorkerThread thread_;
};

} // namespace qk::comm
