// The status strip's portable rules: texts of codes, the ink overlay, when a read is due, and
// the name and port lines.
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>
#include "app/status/StatusRules.h"

namespace qk::app {
namespace {

TEST(StatusText, CodesWhoseEntryDiffersFromTheirNumber) {
    struct Row {
        int32_t code;
        int32_t index;
        std::u16string text;
    };
    const std::vector<Row> rows = {
        {14, 14, u"Feeding paper"},  {15, 27, u"Cleaning"},
        {16, 15, u"Offline"},        {17, 16, u"Awaiting paper removal"},
        {21, 20, u"Ink 2 near-end"}, {22, 29, u"Paper layout error"},
        {23, 21, u"Unknown"},        {-1, 21, u"Unknown"},
        {100, 21, u"Unknown"},       {-2147483647 - 1, 21, u"Unknown"},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        StatusTextEntry entry = StatusTextOf(rows[i].code);
        EXPECT_EQ(entry.index, rows[i].index) << "row " << i;
        EXPECT_EQ(std::u16string(entry.english), rows[i].text) << "row " << i;
    }
}

// One report and what the strip makes of it.
struct Step {
    int32_t code;
    std::optional<int32_t> shown; // nothing: ignored
    bool readNeeded;
};

void RunSteps(CStatusTracker& tracker, const std::vector<Step>& steps) {
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(tracker.Take(steps[i].code), steps[i].shown) << "step " << i;
        EXPECT_EQ(tracker.ReadNeeded(), steps[i].readNeeded) << "step " << i;
    }
}

TEST(StatusTracker, InkOverlayShowsAtOnceAndOnlyLowerCodesWinOverIt) {
    CStatusTracker tracker;
    tracker.StartOnline();
    tracker.SetReadNeeded(false);
    RunSteps(tracker, {
                          {7, 7, false},   // out of paper
                          {12, 12, false}, // out of ink 1 arrives: shown at once
                          {0, 12, false},  // online never hides the ink
                          {4, 4, false},   // a lower printer condition wins
                          {100, 4, false}, // overlay cleared: the last raw code
                          {7, 7, false},
                      });
}

TEST(StatusTracker, CodeEqualToTheLastRawIsIgnoredEvenAfterAnOverlayChange) {
    CStatusTracker tracker;
    tracker.StartOnline();
    tracker.SetReadNeeded(false);
    RunSteps(tracker, {{6, 6, false},
                       {13, 13, false},
                       {6, std::nullopt, false},
                       {100, 6, false},
                       {6, std::nullopt, false}});
}

TEST(StatusTracker, UnknownAndOfflineCodesAskForAReadAgain) {
    CStatusTracker tracker;
    tracker.StartOnline();
    tracker.SetReadNeeded(false);
    RunSteps(tracker, {{37, -1, true}});
    tracker.SetReadNeeded(false);
    RunSteps(tracker, {{16, 16, true}});
    tracker.SetReadNeeded(false);
    RunSteps(tracker, {{1, 1, true}, {0, 0, true}});
    tracker.SetReadNeeded(false);
    RunSteps(tracker, {{18, 18, false}});
    // Clearing an overlay before any printer code shows the unknown status.
    CStatusTracker fresh;
    fresh.SetReadNeeded(false);
    RunSteps(fresh, {{100, -1, true}});
}

TEST(StatusTracker, OnlyOnlineAndNearEndWarningsAreReadable) {
    std::vector<int32_t> readable;
    for (int32_t code = -1; code <= 23; ++code)
        if (IsReadableStatus(code))
            readable.push_back(code);
    EXPECT_EQ(readable, (std::vector<int32_t>{0, 18, 19, 20, 21}));
}

TEST(PortLine, TextByInterfaceKindStartModeAndDevicePath) {
    struct Row {
        int32_t kind;
        int32_t mode;
        std::u16string port;
        std::u16string path;
        std::u16string expected;
    };
    const std::vector<Row> rows = {
        {3, 0, u"001", u"", u"USB-001"},
        {1, 0, u"COM3", u"\\\\.\\COM3", u"COM3"},
        {5, 0, u"COM9", u"", u"COM9"},
        {4, 0, u"10.0.0.5", u"tcp://10.0.0.5:9100", u"10.0.0.5 (/10.0.0.5:9100)"},
        {6, 3, u"", u"http://host.example:80/a/b/printer",
         u"printer@host.example:80 (/host.example:80/a/b/printer)"},
        {6, 0, u"", u"\\\\.\\X", u"?"},
        {0, 4, u"COM1", u"", u""},
        {0, 0, u"COM1", u"", u"COM1"},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        PortLineInput input{rows[i].kind, rows[i].mode, rows[i].port, rows[i].path};
        EXPECT_EQ(MakePortText(input, u"?", nullptr), rows[i].expected) << "row " << i;
    }
}

TEST(PortLine, RegisteredPosPrinterIsAppendedToTheSuffix) {
    std::vector<std::u16string> asked;
    PosPrinterLookup lookup = [&](std::u16string_view suffix) {
        asked.emplace_back(suffix);
        return std::u16string(u"RSDPRT12");
    };
    PortLineInput input{1, 0, u"COM1", u"pipe/RSDPRT12"};
    EXPECT_EQ(MakePortText(input, u"?", lookup), u"COM1 (RSDPRT12/RSDPRT12)");
    EXPECT_EQ(asked, std::vector<std::u16string>{u"RSDPRT12"});
    // Without a '/' in the device path nothing is looked up.
    asked.clear();
    PortLineInput plain{1, 0, u"COM1", u"\\\\.\\COM1"};
    EXPECT_EQ(MakePortText(plain, u"?", lookup), u"COM1");
    EXPECT_TRUE(asked.empty());
}

TEST(PortLine, PosPortNumbersFollowTheFirstSixCharacters) {
    EXPECT_EQ(PortNumberAfterPrefix(u"RSDPRT12"), 12);
    EXPECT_EQ(PortNumberAfterPrefix(u"RSDPRT"), 0);
    EXPECT_EQ(PortNumberAfterPrefix(u"RSDPRTx"), 0);
    EXPECT_EQ(PortNumberAfterPrefix(u"RSDPRT99999999999"), 0) << "no overflow";
    EXPECT_TRUE(PosPortMatches(u"ABCDEF7", u"RSDPRT7/x"));
    EXPECT_FALSE(PosPortMatches(u"ABCDEF0", u"RSDPRT0")) << "0 never matches";
    EXPECT_FALSE(PosPortMatches(u"ABCDEF7", u"PRT7")) << "a short suffix has no number";
    EXPECT_FALSE(PosPortMatches(u"ABCDEF7", u"RSDPRT8"));
}

TEST(NameLine, BlockNameFileModeAndUnknown) {
    EXPECT_EQ(MakePrinterName(u"QK-R40", 0, u"Unknown"), u"QK-R40");
    EXPECT_EQ(MakePrinterName(u"", 4, u"Unknown"), u"QK-R40");
    EXPECT_EQ(MakePrinterName(u"", 0, u"Unbekannt"), u"Unbekannt");
    EXPECT_EQ(JoinLabel(u"Printer Name:", u"QK-R40"), u"Printer Name: QK-R40");
}

TEST(IconBitmap, ByLowAndHighByteWithAndWithoutShift) {
    struct Row {
        uint16_t code;
        int32_t plain;
        int32_t shifted;
    };
    const std::vector<Row> rows = {
        {0x3130, 166, 166}, {0x3031, 164, 164}, {0x3131, 164, 163}, {0x3231, 163, 162},
        {0x3331, 162, 161}, {0x3431, 161, 161}, {0x3531, 160, 160}, {0x3631, 160, 160},
        {0x3731, 0, 0},     {0x0031, 0, 0},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(IconBitmapFor(rows[i].code, false), rows[i].plain) << "row " << i;
        EXPECT_EQ(IconBitmapFor(rows[i].code, true), rows[i].shifted) << "row " << i;
    }
}

} // namespace
} // namespace qk::app
