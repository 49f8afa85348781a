// The receipt text the command emulator keeps: lines cut at LF, the printer's control
// sequences left out even when a piece of print data ends inside one.
#include "maker/emulator/JournalLines.h"
#include <gtest/gtest.h>

namespace {

std::vector<std::string> FeedInPieces(const std::string& data, std::size_t piece) {
    qk::emulator::JournalLines journal;
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < data.size(); at += piece)
        journal.Feed(data.substr(at, piece), lines);
    return lines;
}

TEST(JournalLines, KeepsTheTextOfEachLineWhateverThePieces) {
    // Reset, bold on, centred, a line; bold off, CR LF, a cut; a character size, a bell; an
    // unfinished last line.
    static const char kData[] = "\x1B@\x1B"
                                "E\x01\x1B"
                                "a\x01Shop 12\n"
                                "Total\t9.90\x1B"
                                "E\x00\r\n\x1DVB\x00"
                                "\x1D!\x11Thanks\x07\nnext";
    const std::string data(kData, sizeof(kData) - 1);
    const std::vector<std::string> expected = {"Shop 12", "Total\t9.90", "Thanks"};
    for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{5}, data.size()})
        EXPECT_EQ(FeedInPieces(data, piece), expected) << "pieces of " << piece;
}

TEST(JournalLines, EmptyLinesStayAndOverlongLinesAreCut) {
    qk::emulator::JournalLines journal;
    std::vector<std::string> lines;
    journal.Feed("\n\n" + std::string(5000, 'x') + "\n", lines);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[2].size(), 4096u);
}

} // namespace
