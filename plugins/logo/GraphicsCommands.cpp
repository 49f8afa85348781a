#include "plugins/logo/GraphicsCommands.h"

#include <algorithm>

namespace qk::logo {
namespace {

constexpr uint8_t kAnswerHeader = 0x37;
constexpr uint8_t kKeyCodeAnswer = 0x72;
constexpr uint8_t kLogoAnswer = 0x3D;
constexpr uint8_t kOptionAnswer = 0x41;
constexpr uint8_t kFunctionGroup = 0x30;  // m of the graphics commands
constexpr std::size_t kDefineHeader = 11; // m fn a kc1 kc2 b xL xH yL yH c
constexpr std::size_t kStoredName = 10;   // what the printer keeps beside the dots

void Append16(Bytes& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

Bytes Graphics(const Bytes& body) {
    Bytes command = {0x1D, 0x28, 0x4C};
    Append16(command, static_cast<uint32_t>(body.size()));
    command.insert(command.end(), body.begin(), body.end());
    return command;
}

Bytes Logo(const Bytes& body) {
    Bytes command = {0x1C, 0x28, 0x45};
    Append16(command, static_cast<uint32_t>(body.size()));
    command.insert(command.end(), body.begin(), body.end());
    return command;
}

uint8_t PlaceByte(LogoPlace place) {
    return place == LogoPlace::Top ? '0' : '1';
}

} // namespace

bool IsKeyCode(const KeyCode& code) {
    return code.first >= 0x20 && code.first <= 0x7E && code.second >= 0x20 && code.second <= 0x7E;
}

uint32_t DefineDataBytes(const Raster& raster) {
    return static_cast<uint32_t>(kDefineHeader + raster.bits.size());
}

bool FitsGraphicsMemory(const Raster& raster) {
    return raster.width > 0 && raster.height > 0 && raster.width <= 0xFFFF &&
           raster.height <= 0xFFFF && kStoredName + raster.bits.size() <= kGraphicsMemoryBytes;
}

Bytes DefineGraphics(const KeyCode& code, const Raster& raster) {
    const std::size_t length = kDefineHeader + raster.bits.size();
    Bytes command;
    command.reserve(7 + length);
    if (length <= 0xFFFF) {
        command = {0x1D, 0x28, 0x4C};
        Append16(command, static_cast<uint32_t>(length));
    } else {
        command = {0x1D, 0x38, 0x4C};
        Append16(command, static_cast<uint32_t>(length & 0xFFFF));
        Append16(command, static_cast<uint32_t>(length >> 16));
    }
    // a = 30 (monochrome), b = 01 (one color).
    for (uint8_t byte :
         {kFunctionGroup, uint8_t{0x43}, uint8_t{0x30}, code.first, code.second, uint8_t{0x01}})
        command.push_back(byte);
    Append16(command, static_cast<uint32_t>(raster.width));
    Append16(command, static_cast<uint32_t>(raster.height));
    command.push_back('1'); // the one colour
    command.insert(command.end(), raster.bits.begin(), raster.bits.end());
    return command;
}

Bytes DeleteGraphics(const KeyCode& code) {
    return Graphics({kFunctionGroup, 0x42, code.first, code.second});
}

Bytes DeleteAllGraphics() {
    return Graphics({kFunctionGroup, 0x41, 'C', 'L', 'R'});
}

Bytes AskKeyCodes() {
    return Graphics({kFunctionGroup, 0x40, 'K', 'C'});
}

Bytes SetLogo(LogoPlace place, const KeyCode& code, uint8_t alignment) {
    const uint8_t aligned = static_cast<uint8_t>('0' + alignment);
    if (place == LogoPlace::Top)
        return Logo({0x3E, 0x02, code.first, code.second, aligned, 0x00});
    return Logo({0x3F, 0x02, code.first, code.second, aligned});
}

Bytes CancelLogo(LogoPlace place) {
    return Logo({0x3C, 0x02, PlaceByte(place), 'C', 'L', 'R'});
}

Bytes SetLogoOption(uint8_t option, bool on) {
    return Logo({0x40, 0x02, option, static_cast<uint8_t>(on ? '1' : '0')});
}

Bytes AskLogo(LogoPlace place) {
    return Logo({0x3D, 0x02, PlaceByte(place)});
}

Bytes AskLogoOption(uint8_t option) {
    return Logo({0x41, 0x02, option});
}

bool GraphicsAnswer::Add(uint8_t byte) {
    if (complete_)
        return true;
    if (bytes_.empty() && byte != kAnswerHeader)
        broken_ = true; // still read to its end, so the next answer starts clean
    bytes_.push_back(byte);
    if (bytes_.size() >= 3 && byte == 0x00)
        complete_ = true;
    if (bytes_.size() > kMaxAnswer) {
        broken_ = true;
        complete_ = true;
    }
    return complete_;
}

std::optional<std::vector<KeyCode>> GraphicsAnswer::KeyCodes() const {
    if (!complete_ || broken_ || bytes_[1] != kKeyCodeAnswer || bytes_.size() % 2 != 1)
        return std::nullopt;
    std::vector<KeyCode> codes;
    // The printer lists each stored graphic once: a code listed twice is an answer gone
    // wrong (noise or bytes too many), not graphics it holds.
    std::vector<bool> listed(0x10000, false);
    for (std::size_t i = 2; i + 1 < bytes_.size() - 1; i += 2) {
        KeyCode code{bytes_[i], bytes_[i + 1]};
        const std::size_t at = static_cast<std::size_t>(code.first) << 8 | code.second;
        if (!IsKeyCode(code) || listed[at])
            return std::nullopt;
        listed[at] = true;
        codes.push_back(code);
    }
    return codes;
}

std::optional<LogoPlacement> GraphicsAnswer::Logo(LogoPlace place) const {
    if (!complete_ || broken_ || bytes_[1] != kLogoAnswer || bytes_[2] != PlaceByte(place))
        return std::nullopt;
    if (bytes_.size() == 4)
        return LogoPlacement{}; // none set
    if (bytes_.size() != 7)
        return std::nullopt;
    LogoPlacement placement{{bytes_[3], bytes_[4]}, static_cast<uint8_t>(bytes_[5] - '0')};
    if (!IsKeyCode(placement.code) || placement.alignment > kAlignRight)
        return std::nullopt;
    return placement;
}

std::optional<bool> GraphicsAnswer::LogoOption(uint8_t option) const {
    if (!complete_ || broken_ || bytes_.size() != 5 || bytes_[1] != kOptionAnswer ||
        bytes_[2] != option || (bytes_[3] != '0' && bytes_[3] != '1'))
        return std::nullopt;
    return bytes_[3] == '1';
}

std::optional<KeyCode> ChooseKeyCode(bool autoNumbering, const KeyCode& typed,
                                     const std::vector<KeyCode>& stored) {
    if (!autoNumbering)
        return IsKeyCode(typed) ? std::optional<KeyCode>(typed) : std::nullopt;
    for (uint8_t first = '0'; first <= '~'; ++first) {
        for (uint8_t second = '0'; second <= '~'; ++second) {
            const KeyCode code{first, second};
            if (code == KeyCode{'0', '0'})
                continue;
            if (std::find(stored.begin(), stored.end(), code) == stored.end())
                return code;
        }
    }
    return std::nullopt;
}

} // namespace qk::logo
