// The printer's answer to an information request (1D 49 n): 5F, the text, 00. Taken one byte
// at a time as the bytes arrive.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace qk::comm {

class InformationAnswer {
public:
    enum class Step { More, Done, Bad };
    // The longest text a printer answers.
    static constexpr std::size_t kMaxText = 80;

    // `text` is emptied and receives the answer's text.
    explicit InformationAnswer(std::string& text) : text_(text) { text_.clear(); }
    // Done at the terminator; Bad for a wrong header, a control byte or a text too long.
    Step Take(uint8_t byte);

private:
    std::string& text_;
    bool header_ = false;
};

} // namespace qk::comm
