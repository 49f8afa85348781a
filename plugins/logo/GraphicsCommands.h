// The printer's graphics commands (1D 28 4C / 1D 38 4C, m = 30) and logo commands
// (1C 28 45) that the logo page sends, the answers it reads, and the choice of key codes.
// Portable: bytes in, bytes out.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>
#include "plugins/logo/LogoRaster.h"

namespace qk::logo {

// A stored graphic's name: two printable characters (0x20..0x7E).
struct KeyCode {
    uint8_t first = 0;
    uint8_t second = 0;
    bool operator==(const KeyCode&) const = default;
    auto operator<=>(const KeyCode&) const = default;
};
bool IsKeyCode(const KeyCode& code);

// The printer's graphics memory: each stored graphic takes its dots and 10 bytes naming it;
// a define command that would not fit beside the graphics already stored is not kept.
inline constexpr uint32_t kGraphicsMemoryBytes = 256 * 1024;
// The define command's parameter bytes for a raster (its dots and the 11 bytes before them).
uint32_t DefineDataBytes(const Raster& raster);
// Whether the raster fits the graphics memory when nothing else is stored.
bool FitsGraphicsMemory(const Raster& raster);

// fn 43: stores the raster under the key code, replacing a graphic of that key code. The
// short form 1D 28 4C when its parameters fit 16 bits, else 1D 38 4C with 32-bit length.
Bytes DefineGraphics(const KeyCode& code, const Raster& raster);
// fn 42: deletes one stored graphic.
Bytes DeleteGraphics(const KeyCode& code);
// fn 41 "CLR": deletes every stored graphic.
Bytes DeleteAllGraphics();
// fn 40 "KC": asks for the key codes; answer 37 72, the pairs, 00.
Bytes AskKeyCodes();

enum class LogoPlace : uint8_t { Top = 0, Bottom = 1 };
// Alignment of a printed logo (block 0x10007 keeps the number, the command '0' + number).
inline constexpr uint8_t kAlignLeft = 0;
inline constexpr uint8_t kAlignCenter = 1;
inline constexpr uint8_t kAlignRight = 2;

// fn 3E (top: kc1 kc2 '0'+alignment 00) / 3F (bottom: kc1 kc2 '0'+alignment), the rows the
// settings command file writes as well.
Bytes SetLogo(LogoPlace place, const KeyCode& code, uint8_t alignment);
// fn 3C '0'/'1' "CLR": no logo at that place.
Bytes CancelLogo(LogoPlace place);
// fn 40: one logo option a to '1' (on) or '0'.
Bytes SetLogoOption(uint8_t option, bool on);
// fn 3D '0'/'1': asks the logo at a place; answer 37 3D '0'/'1', then kc1 kc2 '0'+alignment
// when one is set, then 00.
Bytes AskLogo(LogoPlace place);
// fn 41 a: asks a logo option; answer 37 41 a '0'/'1' 00.
Bytes AskLogoOption(uint8_t option);

// The logo options of block 0x10007 (words at 56, 52 and 48).
inline constexpr uint8_t kLogoOptions[] = {0x30, 0x40, 0x41};

struct LogoPlacement {
    KeyCode code; // both 0: no logo at that place
    uint8_t alignment = kAlignLeft;
    bool operator==(const LogoPlacement&) const = default;
};

// One answer of the printer, collected byte by byte: 37, a kind byte, ..., 00.
class GraphicsAnswer {
public:
    bool Add(uint8_t byte); // true once the answer is complete
    bool Complete() const { return complete_; }
    // None for an answer that is not a key code list, or lists a code twice.
    std::optional<std::vector<KeyCode>> KeyCodes() const;
    std::optional<LogoPlacement> Logo(LogoPlace place) const;
    std::optional<bool> LogoOption(uint8_t option) const;

    // Room for every printable pair and then some.
    static constexpr std::size_t kMaxAnswer = 2 * 95 * 95 + 8;

private:
    Bytes bytes_;
    bool complete_ = false;
    bool broken_ = false;
};

// The key code a new graphic is stored under. With automatic numbering the first pair from
// "01" on ('0'..'~' for each character, "00" left for the operator) that is not stored yet;
// without it the operator's code, when it is one. None when no pair is left or the
// operator's code is not two printable characters.
std::optional<KeyCode> ChooseKeyCode(bool autoNumbering, const KeyCode& typed,
                                     const std::vector<KeyCode>& stored);

} // namespace qk::logo
