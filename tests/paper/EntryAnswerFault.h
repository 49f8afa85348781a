// A link on which the printer's answer to "IN" goes wrong the ways a real line can: it is
// lost, it comes after its wait ran out, or it arrives with noise in it. The printer behind
// the link has taken the entry all the same. Portable.
#pragma once
#include <deque>
#include "framework/comm/PrinterLink.h"

namespace qk::test {

enum class EntryFault { Lost, Late, Noisy };

inline const char* EntryFaultName(EntryFault fault) {
    switch (fault) {
    case EntryFault::Lost:
        return "lost";
    case EntryFault::Late:
        return "late";
    case EntryFault::Noisy:
        return "noisy";
    }
    return "?";
}

class EntryAnswerFault : public comm::IPrinterLink {
public:
    EntryAnswerFault(comm::IPrinterLink& printer, EntryFault fault)
        : printer_(printer), fault_(fault) {}

    bool Send(const comm::Bytes& bytes) override {
        const bool sent = printer_.Send(bytes);
        if (bytes != comm::EnterUserSettingMode())
            return sent;
        // The printer's answer is taken off the line and handed on as the fault has it.
        std::deque<uint8_t> answer;
        uint8_t byte = 0;
        while (printer_.Receive(byte, 0))
            answer.push_back(byte);
        front_.clear();
        late_.clear();
        waitRunsOut_ = fault_ != EntryFault::Noisy;
        if (fault_ == EntryFault::Late)
            late_ = answer;
        if (fault_ == EntryFault::Noisy && !answer.empty()) {
            front_ = answer;
            front_.insert(front_.begin() + 1, 0x5A);
        }
        return sent;
    }
    bool Receive(uint8_t& byte, int32_t timeoutMs) override {
        if (waitRunsOut_) {
            waitRunsOut_ = false;
            front_ = late_;
            return false;
        }
        if (front_.empty())
            return printer_.Receive(byte, timeoutMs);
        byte = front_.front();
        front_.pop_front();
        return true;
    }
    void DiscardAnswers() override {
        front_.clear();
        printer_.DiscardAnswers();
    }

private:
    comm::IPrinterLink& printer_;
    EntryFault fault_;
    bool waitRunsOut_ = false;
    std::deque<uint8_t> late_;  // comes once the wait for it ran out
    std::deque<uint8_t> front_; // handed on before anything the printer sends next
};

} // namespace qk::test
