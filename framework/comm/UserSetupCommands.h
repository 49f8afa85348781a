// The printer's user setting commands (1D 28 45 pL pH fn ...) that the settings pages
// send, and the answers they read back. Portable: bytes in, bytes out.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qk::comm {

using Bytes = std::vector<uint8_t>;

// fn 1 "IN": enter user setting mode; the printer answers 37 20 00.
Bytes EnterUserSettingMode();
// fn 2 "OUT": leave it (the printer keeps what it was sent).
Bytes LeaveUserSettingMode();
// fn 6 a: ask customized value a; answer 37 27 "a" 1F "n" 00 in decimal text.
Bytes AskCustomValue(uint8_t number);
// fn 5 a nL nH: set customized value a.
Bytes SetCustomValue(uint8_t number, uint16_t value);
// fn 4 a: ask memory switch a; answer 37 21, eight '0'/'1' (most significant bit first), 00.
Bytes AskMemorySwitch(uint8_t number);
// fn 3 a b1..b8: '0' clears, '1' sets, '2' keeps a bit, most significant first.
Bytes SetMemorySwitch(uint8_t number, const char bits[8]);
// A real-time status request (10 04 1): the printer answers one byte while it is there.
Bytes AskRealTimeStatus();

// Answers are collected byte by byte: Add answers true once an answer is complete.
class SetupAnswer {
public:
    // Takes one received byte; true when the answer is complete (its NUL arrived).
    bool Add(uint8_t byte);
    bool Complete() const { return complete_; }
    // The customized value of a complete 37 27 answer for `number`; none when the answer is
    // another one, names another value, or is not a number in 0..65535.
    std::optional<uint16_t> CustomValue(uint8_t number) const;
    // The eight switch characters of a complete 37 21 answer.
    std::optional<std::string> MemorySwitch() const;
    // The complete 37 20 answer to entering user setting mode.
    bool EnteredUserSettingMode() const;

    // An answer longer than this is not one the page asked for.
    static constexpr std::size_t kMaxAnswer = 64;

private:
    Bytes bytes_;
    bool complete_ = false;
    bool broken_ = false;
};

} // namespace qk::comm
