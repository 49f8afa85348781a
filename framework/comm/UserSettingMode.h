// The printer's user setting mode for the length of one scope. Once "IN" has been sent the
// printer may be in the mode whatever came back: its answer may be lost, late or garbled.
// In the mode it prints no receipts, so "OUT" goes on every way out of the scope. Portable.
#pragma once
#include <cstdint>
#include "framework/comm/PrinterLink.h"
#include "framework/comm/UserSetupCommands.h"

namespace qk::comm {

// Collects one user setup answer; false when a byte did not come within waitMs.
inline bool ReceiveSetupAnswer(IPrinterLink& link, SetupAnswer& answer, int32_t waitMs) {
    uint8_t byte = 0;
    while (!answer.Complete()) {
        if (!link.Receive(byte, waitMs))
            return false;
        answer.Add(byte);
    }
    return true;
}

// After a missing answer: true when the printer still answers a real-time status request
// (earlier answers dropped first).
inline bool StillAnswers(IPrinterLink& link, int32_t waitMs) {
    link.DiscardAnswers();
    uint8_t status = 0;
    return link.Send(AskRealTimeStatus()) && link.Receive(status, waitMs);
}

class CUserSettingMode {
public:
    // Sends "IN" and waits for the printer's answer to it.
    CUserSettingMode(IPrinterLink& link, int32_t waitMs) : m_link(link) {
        m_link.DiscardAnswers();
        SetupAnswer answer;
        // A send the link reports failed may still have reached the printer: the mode is left
        // all the same.
        m_entered = m_link.Send(EnterUserSettingMode()) &&
                    ReceiveSetupAnswer(m_link, answer, waitMs) && answer.EnteredUserSettingMode();
    }
    ~CUserSettingMode() { m_link.Send(LeaveUserSettingMode()); }
    CUserSettingMode(const CUserSettingMode&) = delete;
    CUserSettingMode& operator=(const CUserSettingMode&) = delete;

    // The printer answered that it is in the mode.
    bool Entered() const { return m_entered; }

private:
    IPrinterLink& m_link;
    bool m_entered = false;
};

} // namespace qk::comm
