// The printer simulator's interpreter at the end of the page's link, in-process: answers
// arrive at once, a silent printer's never. A connection can be set to drop after a number of
// bytes; like the simulator's server, the next connection starts a fresh interpreter, so a
// command cut off by the drop is lost.
#pragma once
#include <deque>
#include <memory>
#include <string>
#include "maker/printer/CommandInterpreter.h"
#include "maker/printer/ControlCommand.h"
#include "framework/comm/PrinterLink.h"

namespace qk::test {

class SimulatedPrinter : public comm::IPrinterLink {
public:
    bool Send(const comm::Bytes& bytes) override {
        std::size_t take = bytes.size();
        const bool drops = dropAfter_ >= 0 && static_cast<std::size_t>(dropAfter_) < take;
        if (drops)
            take = static_cast<std::size_t>(dropAfter_);
        else if (dropAfter_ >= 0)
            dropAfter_ -= static_cast<long>(take);
        std::vector<uint8_t> out;
        interpreter_->Feed(bytes.data(), take, out);
        if (!state_.Behaviour().silent)
            answers_.insert(answers_.end(), out.begin(), out.end());
        if (drops) {
            dropAfter_ = -1;
            Reconnect();
        }
        return !drops;
    }
    bool Receive(uint8_t& byte, int32_t) override {
        if (answers_.empty())
            return false;
        byte = answers_.front();
        answers_.pop_front();
        return true;
    }
    void DiscardAnswers() override { answers_.clear(); }

    std::string Control(const std::string& line) { return control_.Execute(line); }
    // The connection ends once `bytes` more bytes have arrived.
    void DropAfter(long bytes) { dropAfter_ = bytes; }
    const sim::SetupMemory& Memory() const { return memory_; }

private:
    void Reconnect() {
        answers_.clear();
        interpreter_ = std::make_unique<sim::CommandInterpreter>(state_, memory_);
    }

    sim::PrinterState state_;
    sim::SetupMemory memory_;
    std::unique_ptr<sim::CommandInterpreter> interpreter_ =
        std::make_unique<sim::CommandInterpreter>(state_, memory_);
    sim::ControlCommand control_{state_, memory_};
    std::deque<uint8_t> answers_;
    long dropAfter_ = -1;
};

} // namespace qk::test
