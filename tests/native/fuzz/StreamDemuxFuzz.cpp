// What the printer sends, split by the library into answers and automatic status packets:
// every byte ends up in exactly one of them, whatever the reads' boundaries.
#include "maker/comm/StreamDemux.h"
#include "tests/native/fuzz/FuzzSupport.h"

using qk::comm::StreamDemux;

namespace {

std::size_t Accounted(const StreamDemux::Output& out) {
    return out.answers.size() + 4 * out.statusPackets.size();
}

// Flattens the packets back into the bytes they were made of.
std::vector<uint8_t> PacketBytes(const StreamDemux::Output& out) {
    std::vector<uint8_t> bytes;
    for (const auto& packet : out.statusPackets)
        bytes.insert(bytes.end(), packet.begin(), packet.end());
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // The first byte chooses the size of the reads, the rest is what the printer sent.
    const std::size_t step = 1 + data[0] % 7;
    const uint8_t* stream = data + 1;
    const std::size_t length = size - 1;

    StreamDemux whole;
    StreamDemux::Output all;
    whole.Feed(stream, length, all);
    whole.Idle(all);
    QK_FUZZ_CHECK(Accounted(all) == length);

    StreamDemux pieces;
    StreamDemux::Output split;
    for (std::size_t pos = 0; pos < length; pos += step)
        pieces.Feed(stream + pos, std::min(step, length - pos), split);
    pieces.Idle(split);
    QK_FUZZ_CHECK(split.answers == all.answers);
    QK_FUZZ_CHECK(PacketBytes(split) == PacketBytes(all));

    // A status packet's bytes keep their marks: bits 0, 1 and 7 clear and bit 4 set first,
    // bits 4 and 7 clear after.
    for (const auto& packet : all.statusPackets) {
        QK_FUZZ_CHECK((packet[0] & 0x93) == 0x10);
        for (int i = 1; i < 4; ++i)
            QK_FUZZ_CHECK((packet[i] & 0x90) == 0);
    }
    return 0;
}
