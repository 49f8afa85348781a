// The status strip's rules, free of windows: which text a status code shows, how the ink
// conditions overlay the printer's own status, when a settings read is due, and how the
// name and port lines are made.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include "platform/os/Registry.h"

namespace qk::app {

// A status text: its entry in the screen strings of "PRT_STATUS" and the English text.
struct StatusTextEntry {
    int32_t index;
    const char16_t* english;
};

// The code shown for anything outside the table.
inline constexpr int32_t kStatusUnknown = -1;
inline constexpr int32_t kStatusOnline = 0;
// Clears the ink overlay; never shown itself.
inline constexpr int32_t kInkOverlayNone = 100;

// Entries of "PRT_STATUS" besides the status texts.
inline constexpr int32_t kPortLabelEntry = 22;
inline constexpr int32_t kStatusLabelEntry = 24;
inline constexpr int32_t kUnknownPortEntry = 28;
inline constexpr int32_t kNameLabelEntry = 100;
inline constexpr int32_t kUnknownStatusEntry = 21;

// Text of a code to show (0..22, anything else is "Unknown").
StatusTextEntry StatusTextOf(int32_t code);
// Ink cartridge, ink level and cleaning conditions, and 100 that clears them.
bool IsInkOverlayCode(int32_t code);
// Online and the near-end warnings: the printer can be read.
bool IsReadableStatus(int32_t code);

// Follows the reported codes: the printer's own condition and the ink overlay apart.
class CStatusTracker {
public:
    // The code to show for a report, or nothing when the report changes nothing.
    std::optional<int32_t> Take(int32_t code);
    // Starts online (the printer answered when it was chosen).
    void StartOnline() { m_lastRaw = kStatusOnline; }

    int32_t LastRaw() const { return m_lastRaw; }
    int32_t Overlay() const { return m_overlay; }
    bool ReadNeeded() const { return m_readNeeded; }
    void SetReadNeeded(bool needed) { m_readNeeded = needed; }

private:
    int32_t m_lastRaw = -1;
    int32_t m_overlay = kInkOverlayNone;
    bool m_readNeeded = true;
};

// What the port line is made of.
struct PortLineInput {
    int32_t interfaceKind;
    int32_t startMode;
    std::u16string_view portName;
    std::u16string_view devicePath;
};

// Answers the "Port" value of a point-of-sale printer registered for the suffix, or an empty
// text when none matches.
using PosPrinterLookup = std::function<std::u16string(std::u16string_view suffix)>;

// The port text (without its label).
std::u16string MakePortText(const PortLineInput& input, std::u16string_view unknown,
                            const PosPrinterLookup& lookup);
// The decimal number that follows the first six characters of a port text ("RSDPRT12" gives
// 12); 0 when there is none.
int32_t PortNumberAfterPrefix(std::u16string_view text);
// A registered "Port" value belongs to the suffix when both carry the same number above 0.
bool PosPortMatches(std::u16string_view registeredPort, std::u16string_view suffix);
// The "Port" value of the first point-of-sale printer registered on the machine that belongs
// to the suffix; empty when none does.
std::u16string FindPosPrinterPort(os::IRegistry& registry, std::u16string_view suffix);

// The printer name shown: the block's name, "QK-R40" in the file mode, else `unknown`.
std::u16string MakePrinterName(std::u16string_view blockName, int32_t startMode,
                               std::u16string_view unknown);

// "%s %s" of a label and a text.
std::u16string JoinLabel(std::u16string_view label, std::u16string_view text);

// The bitmap of an icon code, or 0 when the picture stays as it is.
int32_t IconBitmapFor(uint16_t iconCode, bool shifted);

} // namespace qk::app
