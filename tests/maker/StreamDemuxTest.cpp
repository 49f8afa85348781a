// How the communication library splits the printer's bytes and reads its status packets.
#include <gtest/gtest.h>
#include "framework/comm/CommResult.h"
#include "maker/comm/StatusDecoder.h"
#include "maker/comm/StreamDemux.h"
#include "maker/printer/StatusBytes.h"

using namespace qk::comm;
using Bytes = std::vector<uint8_t>;

TEST(StreamDemux, SeparatesStatusPacketsFromAnswersInAnyChunking) {
    const Bytes stream = {0x10, 0,    0, 0,    0x5F, 'Q',  'K',  '-', 'R', 0x00,
                          0x12, 0x18, 0, 0x0F, 0,    0x37, 0x21, '1', 0x00};
    for (std::size_t chunk = 1; chunk <= stream.size(); ++chunk) {
        StreamDemux demux;
        StreamDemux::Output out;
        for (std::size_t at = 0; at < stream.size(); at += chunk)
            demux.Feed(stream.data() + at, std::min(chunk, stream.size() - at), out);
        EXPECT_EQ((Bytes{0x5F, 'Q', 'K', '-', 'R', 0x00, 0x12, 0x37, 0x21, '1', 0x00}), out.answers)
            << "chunk " << chunk;
        ASSERT_EQ(2u, out.statusPackets.size()) << "chunk " << chunk;
        EXPECT_EQ((std::array<uint8_t, 4>{0x18, 0, 0x0F, 0}), out.statusPackets[1]);
    }
}

TEST(StreamDemux, TextInsideAnAnswerIsNeverTakenForStatus) {
    // 'P' (0x50) and 'X' look like status packet starts, but only at a message boundary.
    StreamDemux demux;
    StreamDemux::Output out;
    const Bytes answer = {0x5F, 'P', 'X', 0x01, 0x02, 'X', 0x00};
    demux.Feed(answer.data(), answer.size(), out);
    EXPECT_EQ(answer, out.answers);
    EXPECT_TRUE(out.statusPackets.empty());
}

TEST(StreamDemux, BrokenPacketsAndTruncatedBlocksEndAsAnswers) {
    StreamDemux demux;
    StreamDemux::Output out;
    const Bytes broken = {0x10, 0x80, 0x5F, 'A'};
    demux.Feed(broken.data(), broken.size(), out);
    EXPECT_EQ((Bytes{0x10, 0x80, 0x5F, 'A'}), out.answers);
    // The block never ended; after a pause a status packet is recognised again.
    demux.Idle(out);
    const Bytes packet = {0x10, 0, 0, 0};
    demux.Feed(packet.data(), packet.size(), out);
    EXPECT_EQ(1u, out.statusPackets.size());
    const Bytes partial = {0x10, 0};
    demux.Feed(partial.data(), partial.size(), out);
    demux.Idle(out);
    EXPECT_EQ((Bytes{0x10, 0x80, 0x5F, 'A', 0x10, 0}), out.answers);
}

TEST(StatusDecoder, PrinterConditionsBecomeTheReportedCodes) {
    using qk::sim::ErrorKind;
    using qk::sim::InkCondition;
    using qk::sim::PrinterConditions;
    auto code = [](PrinterConditions c) { return DecodeStatus(qk::sim::AutomaticStatus(c)); };
    EXPECT_EQ(kStatusOnline, code({}).main);
    EXPECT_EQ(kStatusInkCleared, code({}).ink);
    EXPECT_EQ(kStatusOffline, code({.offline = true}).main);
    EXPECT_EQ(kStatusCoverOpen, code({.coverOpen = true, .paperOut = true}).main);
    EXPECT_EQ(kStatusPaperOut, code({.paperOut = true, .paperNearEnd = true}).main);
    EXPECT_EQ(kStatusPaperNearEnd, code({.paperNearEnd = true}).main);
    EXPECT_EQ(kStatusFatalError, code({.coverOpen = true, .error = ErrorKind::Fatal}).main);
    EXPECT_EQ(kStatusCutterError, code({.error = ErrorKind::Cutter}).main);
    EXPECT_EQ(kStatusRecoverableError, code({.error = ErrorKind::Recoverable}).main);
    EXPECT_EQ(kStatusAutoRecoverableError, code({.error = ErrorKind::AutoRecoverable}).main);
    const std::pair<InkCondition, int32_t> inks[] = {
        {InkCondition::NoCartridge1, 10}, {InkCondition::NoCartridge2, 11},
        {InkCondition::OutOfInk1, 12},    {InkCondition::OutOfInk2, 13},
        {InkCondition::Cleaning, 15},     {InkCondition::Ink1NearEnd, 20},
        {InkCondition::Ink2NearEnd, 21}};
    for (auto [ink, expected] : inks) {
        DecodedStatus status = code({.ink = ink});
        EXPECT_EQ(expected, status.ink);
        EXPECT_EQ(kStatusOnline, status.main);
    }
}
