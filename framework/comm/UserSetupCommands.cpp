#include "framework/comm/UserSetupCommands.h"

namespace qk::comm {
namespace {

constexpr uint8_t kAnswerHeader = 0x37;
constexpr uint8_t kEnteredMode = 0x20;
constexpr uint8_t kSwitchAnswer = 0x21;
constexpr uint8_t kValueAnswer = 0x27;
constexpr uint8_t kSeparator = 0x1F;

// 1D 28 45 pL pH, then the function's bytes.
Bytes UserSetup(const Bytes& body) {
    Bytes command;
    command.reserve(5 + body.size());
    for (uint8_t byte :
         {uint8_t{0x1D}, uint8_t{0x28}, uint8_t{0x45}, static_cast<uint8_t>(body.size() & 0xFF),
          static_cast<uint8_t>(body.size() >> 8)})
        command.push_back(byte);
    for (uint8_t byte : body)
        command.push_back(byte);
    return command;
}

// Decimal text without sign or leading junk, at most 65535.
std::optional<uint32_t> Decimal(const Bytes& bytes, std::size_t from, std::size_t to) {
    if (from >= to || to - from > 5)
        return std::nullopt;
    uint32_t value = 0;
    for (std::size_t i = from; i < to; ++i) {
        if (bytes[i] < '0' || bytes[i] > '9')
            return std::nullopt;
        value = value * 10 + (bytes[i] - '0');
    }
    return value <= 0xFFFF ? std::optional<uint32_t>(value) : std::nullopt;
}

} // namespace

Bytes EnterUserSettingMode() {
    return UserSetup({0x01, 'I', 'N'});
}

Bytes LeaveUserSettingMode() {
    return UserSetup({0x02, 'O', 'U', 'T'});
}

Bytes AskCustomValue(uint8_t number) {
    return UserSetup({0x06, number});
}

Bytes SetCustomValue(uint8_t number, uint16_t value) {
    return UserSetup(
        {0x05, number, static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)});
}

Bytes AskMemorySwitch(uint8_t number) {
    return UserSetup({0x04, number});
}

Bytes SetMemorySwitch(uint8_t number, const char bits[8]) {
    Bytes body = {0x03, number};
    body.insert(body.end(), bits, bits + 8);
    return UserSetup(body);
}

Bytes AskRealTimeStatus() {
    return {0x10, 0x04, 0x01};
}

bool SetupAnswer::Add(uint8_t byte) {
    if (complete_)
        return true;
    if (bytes_.empty() && byte != kAnswerHeader)
        broken_ = true; // still read to its end, so the next answer starts clean
    bytes_.push_back(byte);
    if (bytes_.size() >= 2 && byte == 0x00)
        complete_ = true;
    if (bytes_.size() > kMaxAnswer) {
        broken_ = true;
        complete_ = true;
    }
    return complete_;
}

std::optional<uint16_t> SetupAnswer::CustomValue(uint8_t number) const {
    if (!complete_ || broken_ || bytes_.size() < 6 || bytes_[1] != kValueAnswer)
        return std::nullopt;
    const std::size_t end = bytes_.size() - 1; // the NUL
    std::size_t separator = 2;
    while (separator < end && bytes_[separator] != kSeparator)
        ++separator;
    if (separator == end)
        return std::nullopt;
    auto named = Decimal(bytes_, 2, separator);
    auto value = Decimal(bytes_, separator + 1, end);
    if (!named || !value || *named != number)
        return std::nullopt;
    return static_cast<uint16_t>(*value);
}

std::optional<std::string> SetupAnswer::MemorySwitch() const {
    if (!complete_ || broken_ || bytes_.size() != 11 || bytes_[1] != kSwitchAnswer)
        return std::nullopt;
    std::string bits(bytes_.begin() + 2, bytes_.begin() + 10);
    for (char c : bits)
        if (c != '0' && c != '1')
            return std::nullopt;
    return bits;
}

bool SetupAnswer::EnteredUserSettingMode() const {
    return complete_ && !broken_ && bytes_.size() == 3 && bytes_[1] == kEnteredMode;
}

} // namespace qk::comm
