// Reads and writes the page's values in the printer's user setting mode: enter with "IN",
// ask each customized value (fn 6) and memory switch 6 (fn 4), or set them (fn 5 / fn 3) and
// ask them back, then leave with "OUT" (on every way out, once "IN" was sent). A value the printer
// does not answer keeps what it held and is reported; a printer that stops answering altogether
// ends the exchange. Portable.
#pragma once
#include <cstdint>
#include <vector>
#include "plugins/paper/PaperSettings.h"
#include "framework/comm/PrinterLink.h"

namespace qk::paper {

// Results besides 1 (everything read or written).
inline constexpr int32_t kExchangeIncomplete = -1; // some values were not read / not taken
inline constexpr int32_t kExchangeNoAnswer = -64;  // the printer did not answer

struct ExchangeReport {
    int32_t result = 1;
    // Customized value numbers that could not be read, or that do not hold what was written.
    std::vector<uint8_t> missed;
    bool switchMissed = false; // memory switch 6 likewise
    // Nothing at all reached the printer's user setting mode.
    bool notEntered = false;
};

class SettingsExchange {
public:
    // waitMs: how long one answer is waited for.
    SettingsExchange(comm::IPrinterLink& link, int32_t waitMs) : m_link(link), m_waitMs(waitMs) {}

    // Reads every value of the page into `settings`.
    ExchangeReport ReadAll(PaperSettings& settings);
    // Sends the values in which `wanted` differs from `held`, asks them back and puts what
    // the printer now holds into `held`.
    ExchangeReport WriteChanges(const PaperSettings& wanted, PaperSettings& held);

private:
    // The value as the printer answers it, or none.
    std::optional<uint16_t> AskValue(uint8_t number);
    std::optional<std::string> AskSwitch6();
    bool Answer(comm::SetupAnswer& answer);
    // After a missing answer: true when the printer still answers a status request.
    bool StillThere();
    // Marks every value from `next` on as missed and ends with "no answer".
    void GiveUp(ExchangeReport& report, std::size_t next, bool withSwitch,
                const std::vector<uint8_t>& numbers);

    comm::IPrinterLink& m_link;
    int32_t m_waitMs;
};

} // namespace qk::paper
