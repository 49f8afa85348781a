// Splits what the printer sends into the host's answers and automatic status packets. At a
// message boundary a byte with bits 0, 1 and 7 clear and bit 4 set opens a 4-byte status
// packet (whose other bytes have bits 4 and 7 clear); 5F and 37 open a text block that runs
// to its NUL; any other byte is a one-byte answer (real-time status, ID).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qk::comm {

class StreamDemux {
public:
    struct Output {
        std::vector<uint8_t> answers;
        std::vector<std::array<uint8_t, 4>> statusPackets;
    };

    void Feed(const uint8_t* data, std::size_t size, Output& out);
    // Nothing arrived for a while: an unfinished block or packet ends here (truncated answers
    // must not swallow later status packets). A partial packet goes to the answers.
    void Idle(Output& out);

private:
    void AtBoundary(uint8_t b, Output& out);

    enum class State { Boundary, Block, Packet };
    State state_ = State::Boundary;
    std::array<uint8_t, 4> packet_{};
    std::size_t packetLength_ = 0;
    std::size_t blockLength_ = 0;
};

} // namespace qk::comm
