#include "maker/emulator/JournalLines.h"
#include <cstring>

namespace qk::emulator {

namespace {
constexpr char ESC = 0x1B;
constexpr char GS = 0x1D;
constexpr std::size_t kMaxLine = 4096; // a line without LF is cut here

// Commands with one parameter byte; the others used in receipts have none.
constexpr char kEscOneByte[] = "!-23EGJMRUVadeft{";
constexpr char kGsOneByte[] = "!BHVafhrw";
} // namespace

void JournalLines::TakeCommand(char prefix, unsigned char command) {
    const char* oneByte = prefix == ESC ? kEscOneByte : kGsOneByte;
    skip_ = command != 0 && std::strchr(oneByte, command) ? 1 : 0;
}

void JournalLines::Feed(const std::string& data, std::vector<std::string>& lines) {
    for (char c : data) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (prefix_) {
            TakeCommand(prefix_, byte);
            prefix_ = 0;
            continue;
        }
        if (skip_) {
            --skip_;
            continue;
        }
        if (c == ESC || c == GS) {
            prefix_ = c;
        } else if (c == '\n') {
            lines.push_back(current_);
            current_.clear();
        } else if ((byte >= 0x20 && byte != 0x7F) || c == '\t') {
            if (current_.size() < kMaxLine)
                current_ += c;
        }
    }
}

} // namespace qk::emulator
