// The page's read and write exchanges against the printer simulator's command interpreter,
// in-process: what the printer answers, keeps and refuses is the simulator's own, set through
// its control language. Portable (the transport through the communication library is the
// plug-in tests' business).
#include <gtest/gtest.h>
#include <algorithm>
#include <deque>
#include "maker/printer/CommandInterpreter.h"
#include "framework/comm/BoundedLink.h"
#include "maker/printer/ControlCommand.h"
#include "plugins/paper/SettingsExchange.h"
#include "tests/paper/EntryAnswerFault.h"
#include "tests/support/SimulatedPrinter.h"

namespace qk::test {
namespace {

using paper::ExchangeReport;
using paper::PaperSettings;

class PaperExchange : public ::testing::Test {
protected:
    ExchangeReport Read(PaperSettings& settings) {
        return paper::SettingsExchange(printer, 10).ReadAll(settings);
    }
    ExchangeReport Write(const PaperSettings& wanted, PaperSettings& held) {
        return paper::SettingsExchange(printer, 10).WriteChanges(wanted, held);
    }
    std::string Custom(int n) { return printer.Control("get custom " + std::to_string(n)); }

    SimulatedPrinter printer;
};

// The customized values the page reads, in the order it reads them: the settings command
// file's customized values (item 100 is the logo's), value 127 after value 11.
std::vector<uint8_t> AllNumbers() {
    return {3,   5,   6,   8,   9,   11,  127, 111, 112, 101, 102,
            103, 104, 105, 119, 120, 121, 122, 123, 124, 125, 126};
}

TEST_F(PaperExchange, AFreshPrinterReadsAsTheFactorySettingsTheBlocksStartWith) {
    PaperSettings settings;
    settings.SetValue(3, 2);
    settings.SetValue(119, 0xBEEF);
    settings.SetSwitch6LastBit(true);
    ExchangeReport report = Read(settings);
    EXPECT_EQ(report.result, 1);
    EXPECT_TRUE(report.missed.empty());
    EXPECT_FALSE(report.switchMissed);
    EXPECT_TRUE(settings == PaperSettings()) << "paper width " << settings.Value(3);
    EXPECT_EQ(printer.Control("get usermode"), "OK 0") << "the read leaves user setting mode";
}

TEST_F(PaperExchange, ChangedValuesAreWrittenReadBackAndAValueWithoutANameIsCarried) {
    PaperSettings held;
    ASSERT_EQ(Read(held).result, 1);
    PaperSettings wanted = held;
    wanted.SetValue(3, 2);      // 58 mm
    wanted.SetValue(5, 65535);  // one step lighter
    wanted.SetValue(9, 77);     // a character set the page has no name for
    wanted.SetValue(126, 4321); // a 16-bit field
    wanted.SetSwitch6LastBit(true);
    ExchangeReport report = Write(wanted, held);
    EXPECT_EQ(report.result, 1);
    EXPECT_TRUE(held == wanted);
    EXPECT_EQ(Custom(3), "OK 2");
    EXPECT_EQ(Custom(5), "OK 65535");
    EXPECT_EQ(Custom(9), "OK 77");
    EXPECT_EQ(Custom(126), "OK 4321");
    EXPECT_EQ(Custom(6), "OK none") << "an unchanged value is not sent";
    EXPECT_EQ(printer.Control("get msw 6"), "OK 00000001");
    EXPECT_EQ(printer.Control("get usermode"), "OK 0");

    PaperSettings again;
    ASSERT_EQ(Read(again).result, 1);
    EXPECT_TRUE(again == wanted);
}

TEST_F(PaperExchange, AValueThePrinterDoesNotAnswerKeepsItsContentAndIsReported) {
    ASSERT_EQ(printer.Control("mute custom 8"), "OK");
    ASSERT_EQ(printer.Control("mute custom 120"), "OK");
    PaperSettings settings;
    settings.SetValue(8, 17);
    settings.SetValue(120, 9);
    settings.SetValue(3, 2);
    ExchangeReport report = Read(settings);
    EXPECT_EQ(report.result, paper::kExchangeIncomplete);
    EXPECT_EQ(report.missed, (std::vector<uint8_t>{8, 120}));
    EXPECT_FALSE(report.switchMissed);
    EXPECT_EQ(settings.Value(8), 17);
    EXPECT_EQ(settings.Value(120), 9);
    EXPECT_EQ(settings.Value(3), 6) << "the values around the silent ones are read";
    EXPECT_EQ(printer.Control("get usermode"), "OK 0");
}

TEST_F(PaperExchange, APrinterGoingSilentMidReadEndsTheReadWithTheRestReported) {
    ASSERT_EQ(printer.Control("silent after 4"), "OK");
    PaperSettings settings;
    settings.SetValue(9, 5); // the fifth value, never answered
    ExchangeReport report = Read(settings);
    EXPECT_EQ(report.result, paper::kExchangeNoAnswer);
    const std::vector<uint8_t> all = AllNumbers();
    EXPECT_EQ(report.missed, std::vector<uint8_t>(all.begin() + 4, all.end()));
    EXPECT_TRUE(report.switchMissed);
    EXPECT_EQ(settings.Value(9), 5);
    EXPECT_EQ(settings.Value(3), 6);
    EXPECT_EQ(printer.Control("get usermode"), "OK 0");
}

TEST_F(PaperExchange, WritingToASilentPrinterChangesNothingAndSaysSo) {
    PaperSettings held;
    ASSERT_EQ(printer.Control("silent on"), "OK");
    PaperSettings wanted = held;
    wanted.SetValue(3, 2);
    ExchangeReport report = Write(wanted, held);
    EXPECT_EQ(report.result, paper::kExchangeNoAnswer);
    EXPECT_TRUE(report.notEntered);
    EXPECT_EQ(report.missed, (std::vector<uint8_t>{3}));
    EXPECT_EQ(held.Value(3), 6);
    EXPECT_EQ(Custom(3), "OK none");
    EXPECT_EQ(printer.Control("get usermode"), "OK 0") << "it took the entry it did not answer";
}

// The printer enters the mode on "IN" whatever becomes of its answer, and prints nothing
// until it leaves: every read and write leaves it, entered or not.
TEST_F(PaperExchange, AnEntryAnswerLostLateOrNoisyStillLeavesUserSettingMode) {
    for (EntryFault fault : {EntryFault::Lost, EntryFault::Late, EntryFault::Noisy}) {
        SCOPED_TRACE(EntryFaultName(fault));
        EntryAnswerFault line(printer, fault);
        PaperSettings settings;
        ExchangeReport report = paper::SettingsExchange(line, 10).ReadAll(settings);
        EXPECT_TRUE(report.notEntered);
        EXPECT_EQ(report.result, paper::kExchangeNoAnswer);
        EXPECT_EQ(printer.Control("get usermode"), "OK 0") << "after the read";

        PaperSettings wanted = settings;
        wanted.SetValue(3, 2);
        report = paper::SettingsExchange(line, 10).WriteChanges(wanted, settings);
        EXPECT_TRUE(report.notEntered);
        EXPECT_EQ(Custom(3), "OK none");
        EXPECT_EQ(printer.Control("get usermode"), "OK 0") << "after the write";
    }
}

// A printer that answers every byte just within its wait: each byte costs 900 ms of the
// exchange's clock, so a whole read would take minutes.
class TricklingLine : public comm::IPrinterLink {
public:
    TricklingLine(comm::IPrinterLink& printer, int64_t& nowMs) : printer_(printer), now_(nowMs) {}
    bool Send(const comm::Bytes& bytes) override { return printer_.Send(bytes); }
    bool Receive(uint8_t& byte, int32_t timeoutMs) override {
        now_ += std::min<int64_t>(900, timeoutMs);
        return printer_.Receive(byte, timeoutMs);
    }
    void DiscardAnswers() override { printer_.DiscardAnswers(); }

private:
    comm::IPrinterLink& printer_;
    int64_t& now_;
};

// The settings read's whole-exchange limit: once it is spent no answer is waited for, the
// values not read yet are reported, and user setting mode is still left.
TEST_F(PaperExchange, APrinterTricklingItsAnswersIsGivenUpOnWhenTheExchangesTimeIsSpent) {
    int64_t now = 0;
    TricklingLine line(printer, now);
    comm::CBoundedLink link(line, comm::kExchangeAnswerLimitMs, {}, [&now] { return now; });
    PaperSettings settings;
    ExchangeReport report = paper::SettingsExchange(link, 1000).ReadAll(settings);
    EXPECT_EQ(report.result, paper::kExchangeNoAnswer);
    EXPECT_FALSE(report.notEntered);
    EXPECT_FALSE(report.missed.empty());
    EXPECT_LT(report.missed.size(), AllNumbers().size()) << "the first values were read";
    EXPECT_TRUE(link.Ended());
    EXPECT_LE(now, comm::kExchangeAnswerLimitMs + 900) << "answers waited for after the limit";
    EXPECT_EQ(printer.Control("get usermode"), "OK 0");
}

TEST_F(PaperExchange, AWrittenValueThatDoesNotReadBackIsReportedAndNotAssumed) {
    PaperSettings held;
    ASSERT_EQ(printer.Control("mute custom 6"), "OK");
    PaperSettings wanted = held;
    wanted.SetValue(3, 2);
    wanted.SetValue(6, 1);
    ExchangeReport report = Write(wanted, held);
    EXPECT_EQ(report.result, paper::kExchangeIncomplete);
    EXPECT_EQ(report.missed, (std::vector<uint8_t>{6}));
    EXPECT_EQ(held.Value(3), 2) << "what was read back is held";
    EXPECT_EQ(held.Value(6), 3) << "what was not read back is not assumed";
}

} // namespace
} // namespace qk::test
