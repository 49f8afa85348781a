// One exchange's way to the printer: the page's link with a limit on the time the whole
// exchange waits for answers, and the page's stop request. A printer that trickles its answers
// a byte at a time, each within its own wait, would otherwise hold one exchange for hours.
// Once the time is spent or a stop was asked, no answer is waited for any more and the
// exchange ends as one the printer did not answer; commands still go out, so that user
// setting mode is left. Portable.
#pragma once
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include "framework/comm/PrinterLink.h"

namespace qk::comm {

// The time one exchange may wait for answers in all.
inline constexpr int64_t kExchangeAnswerLimitMs = 60000;

class CBoundedLink final : public IPrinterLink {
public:
    using NowMs = std::function<int64_t()>;
    using StopRequested = std::function<bool()>;

    // link: not owned. stopRequested may be empty; nowMs defaults to the steady clock.
    CBoundedLink(IPrinterLink& link, int64_t limitMs, StopRequested stopRequested = {},
                 NowMs nowMs = {})
        : m_link(link), m_leftMs(limitMs), m_stopRequested(std::move(stopRequested)),
          m_nowMs(nowMs ? std::move(nowMs) : NowMs(&SteadyNowMs)) {}

    bool Send(const Bytes& bytes) override { return m_link.Send(bytes); }
    bool Receive(uint8_t& byte, int32_t timeoutMs) override {
        if (Ended())
            return false;
        const int64_t start = m_nowMs();
        const bool got =
            m_link.Receive(byte, static_cast<int32_t>(std::min<int64_t>(timeoutMs, m_leftMs)));
        m_leftMs -= std::max<int64_t>(0, m_nowMs() - start);
        return got;
    }
    void DiscardAnswers() override { m_link.DiscardAnswers(); }

    // The answer time is spent, or a stop was asked.
    bool Ended() const { return m_leftMs <= 0 || (m_stopRequested && m_stopRequested()); }

private:
    static int64_t SteadyNowMs() {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    IPrinterLink& m_link;
    int64_t m_leftMs;
    StopRequested m_stopRequested;
    NowMs m_nowMs;
};

} // namespace qk::comm
