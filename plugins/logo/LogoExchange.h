// The logo page's exchanges with the printer: read what it stores (the key code list, the
// top and bottom logo, the logo options, customized value 100), store a graphic and set the
// logos, delete graphics. Every write is read back: what the printer answers afterwards
// decides whether it took it. A printer that stops answering ends the exchange. Portable.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>
#include "plugins/logo/LogoSettings.h"
#include "framework/comm/PrinterLink.h"

namespace qk::logo {

// Results besides 1 (everything read or taken).
inline constexpr int32_t kLogoIncomplete = -1; // some items were not read / not taken
inline constexpr int32_t kLogoNoAnswer = -64;  // the printer did not answer

// What the printer holds, as last read.
struct PrinterLogos {
    std::vector<KeyCode> stored;
    LogoSettings settings;
};

// Items of an exchange, as bits of LogoReport::missed.
enum LogoItem : uint32_t {
    kItemKeyCodes = 1u << 0,
    kItemGraphic = 1u << 1, // the graphic is not stored (or still stored, after a delete)
    kItemTopLogo = 1u << 2,
    kItemBottomLogo = 1u << 3,
    kItemOptions = 1u << 4,
    kItemValue100 = 1u << 5,
};

struct LogoReport {
    int32_t result = 1;
    uint32_t missed = 0; // LogoItem bits that were not read or not taken
};

class LogoExchange {
public:
    // waitMs: how long one answer is waited for.
    LogoExchange(comm::IPrinterLink& link, int32_t waitMs) : m_link(link), m_waitMs(waitMs) {}

    // Everything into `held`; items the printer does not answer keep what `held` had.
    LogoReport Read(PrinterLogos& held);
    // Stores `graphic` (when given) under `code`, then sets the logos, the options and value
    // 100 where `wanted` differs from `held.settings`; reads it all back into `held`.
    LogoReport Write(const Raster* graphic, const KeyCode& code, const LogoSettings& wanted,
                     PrinterLogos& held);
    // Deletes one graphic, or all of them without a code; reads the key code list back.
    LogoReport Delete(const std::optional<KeyCode>& code, PrinterLogos& held);

private:
    bool Ask(const comm::Bytes& question, GraphicsAnswer& answer);
    std::optional<std::vector<KeyCode>> AskKeyCodes();
    bool ReadLogos(LogoSettings& settings, LogoReport& report);
    std::optional<uint16_t> AskValue100();
    bool WriteValue100(uint16_t value);
    bool StillThere();
    void Missed(LogoReport& report, uint32_t items);

    comm::IPrinterLink& m_link;
    int32_t m_waitMs;
};

} // namespace qk::logo
