// Reads the byte stream of one connection as the printer does: real-time requests, identity
// requests, automatic status back, user setup, logo and graphics commands, maintenance
// counters, and the print commands of a receipt (laid out on the paper); everything else is
// print data, counted and printed. Commands may arrive split over any number of reads.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>
#include "maker/printer/PrinterState.h"
#include "maker/printer/ReceiptPaper.h"
#include "maker/printer/SetupMemory.h"

namespace qk::sim {

class CommandInterpreter {
public:
    CommandInterpreter(PrinterState& state, SetupMemory& memory);

    // Takes received bytes; appends what the printer answers to `answers`.
    void Feed(const uint8_t* data, std::size_t size, std::vector<uint8_t>& answers);

    // Automatic status back: the enabled mask (0 = off). Enabling it is answered with the
    // status at once, as the answer of that command (so that a question fault on 1D 61 spoils
    // it); the status so answered by the last Feed, which the server need not send again.
    uint8_t AutomaticStatusMask() const { return asbMask_; }
    std::optional<std::array<uint8_t, 4>> TakeAnsweredStatus();

    std::size_t Pending() const { return buffer_.size(); }
    // Whether the last Feed answered the question of a Late or Trickle fault.
    bool TakeTimedFault();

private:
    // Each answers the number of bytes used from the front of the buffer, or 0 when the
    // command is still incomplete.
    // kPrintData when the first byte is print data.
    std::size_t ParseOne(const uint8_t* p, std::size_t size, std::vector<uint8_t>& answers);
    std::size_t ParseRealTime(const uint8_t* p, std::size_t size, std::vector<uint8_t>& answers);
    std::size_t ParseGs(const uint8_t* p, std::size_t size, std::vector<uint8_t>& answers);
    std::size_t ParseEsc(const uint8_t* p, std::size_t size);
    std::size_t ParseBarCode(const uint8_t* p, std::size_t size);
    void Counter(const uint8_t* p, std::vector<uint8_t>& answers);
    std::size_t ParseFs(const uint8_t* p, std::size_t size, std::vector<uint8_t>& answers);
    std::size_t ParseBitImages(const uint8_t* p, std::size_t size);
    void Identify(uint8_t n, std::vector<uint8_t>& answers);
    void UserSetup(const uint8_t* p, std::size_t size, std::vector<uint8_t>& answers);
    // False once the printer is to fall silent before this setup read (silent after N).
    bool MayAnswerSetupRead();
    void LogoSetup(const uint8_t* p, std::size_t size, std::vector<uint8_t>& answers);
    void GraphicsCommand(const uint8_t* p, std::size_t size, std::vector<uint8_t>& answers);
    void DefineGraphics(const uint8_t* p, std::size_t size);
    // The fault of the question whose answer starts at `from` of `answers`, when it is hit.
    void ApplyFault(const uint8_t* command, std::size_t size, std::size_t from,
                    std::vector<uint8_t>& answers);
    void PutText(uint8_t header, uint8_t kind, const std::string& text,
                 std::vector<uint8_t>& answers) const;

    PrinterState& state_;
    SetupMemory& memory_;
    ReceiptPaper paper_;
    std::vector<uint8_t> buffer_;
    uint64_t skip_ = 0; // bytes of an oversized command still to be thrown away
    uint8_t asbMask_ = 0;
    std::optional<std::array<uint8_t, 4>> asbAnswered_;
    bool timedFault_ = false;
};

} // namespace qk::sim
