#include "maker/comm/StreamDemux.h"

namespace qk::comm {

namespace {
constexpr std::size_t kMaxBlock = 1024;
}

void StreamDemux::AtBoundary(uint8_t b, Output& out) {
    if ((b & 0x93) == 0x10) {
        state_ = State::Packet;
        packet_[0] = b;
        packetLength_ = 1;
    } else if (b == 0x5F || b == 0x37) {
        state_ = State::Block;
        blockLength_ = 1;
        out.answers.push_back(b);
    } else {
        out.answers.push_back(b);
    }
}

void StreamDemux::Feed(const uint8_t* data, std::size_t size, Output& out) {
    for (std::size_t i = 0; i < size; ++i) {
        uint8_t b = data[i];
        switch (state_) {
        case State::Boundary:
            AtBoundary(b, out);
            break;
        case State::Block:
            out.answers.push_back(b);
            if (b == 0x00 || ++blockLength_ >= kMaxBlock)
                state_ = State::Boundary;
            break;
        case State::Packet:
            if ((b & 0x90) != 0) {
                // Not a status packet after all: its bytes were answers.
                out.answers.insert(out.answers.end(), packet_.begin(),
                                   packet_.begin() + static_cast<std::ptrdiff_t>(packetLength_));
                state_ = State::Boundary;
                AtBoundary(b, out);
                break;
            }
            packet_[packetLength_++] = b;
            if (packetLength_ == 4) {
                out.statusPackets.push_back(packet_);
                state_ = State::Boundary;
            }
            break;
        }
    }
}

void StreamDemux::Idle(Output& out) {
    if (state_ == State::Packet)
        out.answers.insert(out.answers.end(), packet_.begin(),
                           packet_.begin() + static_cast<std::ptrdiff_t>(packetLength_));
    state_ = State::Boundary;
}

} // namespace qk::comm
