// The page's read and write exchanges against the printer simulator, through the real
// communication library on a network port of the simulator.
#include <gtest/gtest.h>
#include "plugins/paper/QkcPrinterLink.h"
#include "plugins/paper/SettingsExchange.h"
#include "tests/maker/CommFixture.h"

namespace qk::test {
namespace {

using paper::ExchangeReport;
using paper::PaperSettings;

constexpr int32_t kWaitMs = 1000;

class PaperExchange : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fx.SetUp(StandardDeviceMap()));
        comm::PortRecord record = MakePortRecord(u"NET", u"127.0.0.1");
        ASSERT_EQ(0, fx.qkc.QKC_SetPort(&record));
        ASSERT_EQ(0, fx.qkc.QKC_Open(1));
    }
    void TearDown() override {
        fx.qkc.QKC_Close();
        fx.TearDown();
    }
    ExchangeReport Read(PaperSettings& settings) {
        paper::CQkcPrinterLink link(&fx.qkc, kWaitMs);
        return paper::SettingsExchange(link, kWaitMs).ReadAll(settings);
    }
    ExchangeReport Write(const PaperSettings& wanted, PaperSettings& held) {
        paper::CQkcPrinterLink link(&fx.qkc, kWaitMs);
        return paper::SettingsExchange(link, kWaitMs).WriteChanges(wanted, held);
    }
    std::string Custom(int n) { return fx.sim.Control("get custom " + std::to_string(n)); }

    CommFixture fx;
};

std::vector<uint8_t> AllNumbers() {
    std::vector<uint8_t> numbers;
    for (const CustomValueField& field : kPaperPageFields)
        numbers.push_back(field.number);
    return numbers;
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
    EXPECT_EQ(fx.sim.Control("get usermode"), "OK 0") << "the read leaves user setting mode";
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
    EXPECT_EQ(fx.sim.Control("get msw 6"), "OK 00000001");
    EXPECT_EQ(fx.sim.Control("get usermode"), "OK 0");

    PaperSettings again;
    ASSERT_EQ(Read(again).result, 1);
    EXPECT_TRUE(again == wanted);
}

TEST_F(PaperExchange, AValueThePrinterDoesNotAnswerKeepsItsContentAndIsReported) {
    ASSERT_EQ(fx.sim.Control("mute custom 8"), "OK");
    ASSERT_EQ(fx.sim.Control("mute custom 120"), "OK");
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
    EXPECT_EQ(settings.Value(3), 6) << "the values after the silent one are still read";
    EXPECT_EQ(fx.sim.Control("get usermode"), "OK 0");
}

TEST_F(PaperExchange, APrinterGoingSilentMidReadEndsTheReadWithTheRestReported) {
    ASSERT_EQ(fx.sim.Control("silent after 4"), "OK");
    PaperSettings settings;
    settings.SetValue(9, 5); // the fifth value, never answered
    ExchangeReport report = Read(settings);
    EXPECT_EQ(report.result, paper::kExchangeNoAnswer);
    const std::vector<uint8_t> all = AllNumbers();
    EXPECT_EQ(report.missed, std::vector<uint8_t>(all.begin() + 4, all.end()));
    EXPECT_TRUE(report.switchMissed);
    EXPECT_EQ(settings.Value(9), 5);
}

TEST_F(PaperExchange, WritingToASilentPrinterChangesNothingAndSaysSo) {
    PaperSettings held;
    ASSERT_EQ(fx.sim.Control("silent on"), "OK");
    PaperSettings wanted = held;
    wanted.SetValue(3, 2);
    ExchangeReport report = Write(wanted, held);
    EXPECT_EQ(report.result, paper::kExchangeNoAnswer);
    EXPECT_TRUE(report.notEntered);
    EXPECT_EQ(report.missed, (std::vector<uint8_t>{3}));
    EXPECT_EQ(held.Value(3), 6);
    EXPECT_EQ(Custom(3), "OK none");
}

TEST_F(PaperExchange, AWrittenValueThatDoesNotReadBackIsReported) {
    PaperSettings held;
    ASSERT_EQ(fx.sim.Control("mute custom 6"), "OK");
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
