// Helpers of the fuzz targets: a property check that stops the run (libFuzzer keeps the input
// as a crash artifact), text from bytes, and a reader that takes the input apart.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#define QK_FUZZ_CHECK(condition)                                                                   \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "property does not hold: %s (%s:%d)\n", #condition, __FILE__,     \
                         __LINE__);                                                                \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace qk::fuzz {

// Each byte as one character (Latin-1): every encoding the profile reads keeps it.
inline std::u16string Latin1(const uint8_t* data, std::size_t size) {
    return std::u16string(data, data + size);
}

// Takes an input apart from the front.
class Input {
public:
    Input(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Left() const { return size_ - pos_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint32_t U32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<uint32_t>(Byte()) << (8 * i);
        return value;
    }
    std::vector<uint8_t> Bytes(std::size_t count) {
        count = std::min(count, Left());
        std::vector<uint8_t> out(data_ + pos_, data_ + pos_ + count);
        pos_ += count;
        return out;
    }
    std::vector<uint8_t> Rest() { return Bytes(Left()); }
    // Text up to a separator byte (or the end), each byte one character.
    std::u16string Text(uint8_t separator) {
        std::u16string out;
        while (pos_ < size_ && data_[pos_] != separator)
            out += static_cast<char16_t>(data_[pos_++]);
        if (pos_ < size_)
            ++pos_;
        return out;
    }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace qk::fuzz
