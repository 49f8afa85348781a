// The logo page's read, write and delete exchanges against the simulator's interpreter,
// in-process: what the printer keeps and answers is the simulator's own. Portable.
#include <gtest/gtest.h>
#include <algorithm>
#include "plugins/logo/LogoExchange.h"
#include "framework/comm/BoundedLink.h"
#include "tests/support/SimulatedPrinter.h"
#include "tests/paper/EntryAnswerFault.h"

namespace qk::test {
namespace {

using logo::KeyCode;
using logo::LogoPlace;
using logo::LogoReport;
using logo::LogoSettings;
using logo::PrinterLogos;
using logo::Raster;

Raster Stripes(int32_t width, int32_t height) {
    Raster raster{width, height, {}};
    raster.bits.assign(static_cast<std::size_t>(raster.RowBytes()) * height, 0);
    for (std::size_t i = 0; i < raster.bits.size(); i += 3)
        raster.bits[i] = 0xA5;
    return raster;
}

class LogoExchangeTest : public ::testing::Test {
protected:
    logo::LogoExchange Exchange() { return logo::LogoExchange(printer, 10); }

    SimulatedPrinter printer;
};

TEST_F(LogoExchangeTest, AGraphicAndTheLogoSettingsAreWrittenAndReadBack) {
    PrinterLogos held;
    held.settings.SetOption(0x30, true); // the read replaces what the page had
    LogoReport read = Exchange().Read(held);
    EXPECT_EQ(read.result, 1);
    EXPECT_EQ(read.missed, 0u);
    EXPECT_TRUE(held.stored.empty());
    EXPECT_TRUE(held.settings == LogoSettings());

    LogoSettings wanted;
    wanted.SetPlacement(LogoPlace::Top, {{'0', '1'}, logo::kAlignCenter});
    wanted.SetPlacement(LogoPlace::Bottom, {{'0', '1'}, logo::kAlignRight});
    wanted.SetOption(0x41, true);
    wanted.SetValue100(7);
    const Raster graphic = Stripes(200, 64);
    LogoReport written = Exchange().Write(&graphic, {'0', '1'}, wanted, held);
    EXPECT_EQ(written.result, 1) << std::hex << written.missed;
    EXPECT_TRUE(held.settings == wanted);
    EXPECT_EQ(held.stored, (std::vector<KeyCode>{{'0', '1'}}));
    EXPECT_EQ(printer.Control("get graphics"), "OK 1 01:200x64");
    EXPECT_EQ(printer.Control("get logo top"), "OK 48 49 49");
    EXPECT_EQ(printer.Control("get logo bottom"), "OK 48 49 50");
    EXPECT_EQ(printer.Control("get logoopt 65"), "OK 49");
    EXPECT_EQ(printer.Control("get custom 100"), "OK 7");
    EXPECT_EQ(printer.Control("get usermode"), "OK 0");

    // A second page reading the same printer sees it all.
    PrinterLogos again;
    EXPECT_EQ(Exchange().Read(again).result, 1);
    EXPECT_TRUE(again.settings == wanted);

    // Taking the top logo away cancels it at the printer.
    wanted.SetPlacement(LogoPlace::Top, {});
    EXPECT_EQ(Exchange().Write(nullptr, {}, wanted, held).result, 1);
    EXPECT_EQ(printer.Control("get logo top"), "OK none");
}

TEST_F(LogoExchangeTest, AConnectionLostInTheMiddleOfAGraphicStoresNothingAndSaysSo) {
    PrinterLogos held;
    ASSERT_EQ(Exchange().Read(held).result, 1);
    LogoSettings wanted;
    wanted.SetPlacement(LogoPlace::Top, {{'A', 'A'}, logo::kAlignLeft});
    const Raster graphic = Stripes(576, 300); // 21600 bytes of dots, cut after 5000
    printer.DropAfter(5000);
    LogoReport report = Exchange().Write(&graphic, {'A', 'A'}, wanted, held);
    EXPECT_EQ(report.result, logo::kLogoNoAnswer);
    EXPECT_TRUE(report.missed & logo::kItemGraphic);
    // The printer came back without the half graphic and without the logo setting.
    EXPECT_EQ(printer.Control("get graphics"), "OK 0");
    EXPECT_EQ(printer.Control("get logo top"), "OK none");
    EXPECT_EQ(printer.Control("get printed"), "OK 0") << "no dots were taken for print data";
    // Sent again on the new connection, it is stored.
    EXPECT_EQ(Exchange().Write(&graphic, {'A', 'A'}, wanted, held).result, 1);
    EXPECT_EQ(printer.Control("get graphics"), "OK 1 AA:576x300");
}

TEST_F(LogoExchangeTest, AGraphicThePrinterHasNoRoomForIsReportedNotStored) {
    PrinterLogos held;
    const Raster big = Stripes(576, 3000);
    ASSERT_EQ(Exchange().Write(&big, {'0', '1'}, held.settings, held).result, 1);
    LogoReport report = Exchange().Write(&big, {'0', '2'}, held.settings, held);
    EXPECT_EQ(report.result, logo::kLogoIncomplete);
    EXPECT_EQ(report.missed, static_cast<uint32_t>(logo::kItemGraphic));
    EXPECT_EQ(held.stored, (std::vector<KeyCode>{{'0', '1'}}));
}

TEST_F(LogoExchangeTest, OneOrAllGraphicsAreDeletedAndTheListReadBack) {
    PrinterLogos held;
    for (KeyCode code : {KeyCode{'0', '1'}, KeyCode{'0', '2'}, KeyCode{'0', '3'}}) {
        const Raster graphic = Stripes(16, 4);
        ASSERT_EQ(Exchange().Write(&graphic, code, held.settings, held).result, 1);
    }
    EXPECT_EQ(Exchange().Delete(KeyCode{'0', '2'}, held).result, 1);
    EXPECT_EQ(held.stored, (std::vector<KeyCode>{{'0', '1'}, {'0', '3'}}));
    EXPECT_EQ(Exchange().Delete(std::nullopt, held).result, 1);
    EXPECT_TRUE(held.stored.empty());
    EXPECT_EQ(printer.Control("get graphics"), "OK 0");
}

TEST_F(LogoExchangeTest, ASilentPrinterEndsTheReadAndKeepsWhatThePageHad) {
    PrinterLogos held;
    held.stored = {{'X', 'Y'}};
    held.settings.SetOption(0x40, true);
    printer.Control("silent on");
    LogoReport report = Exchange().Read(held);
    EXPECT_EQ(report.result, logo::kLogoNoAnswer);
    EXPECT_TRUE(report.missed & logo::kItemKeyCodes);
    EXPECT_EQ(held.stored, (std::vector<KeyCode>{{'X', 'Y'}}));
    EXPECT_TRUE(held.settings.Option(0x40));
    const Raster graphic = Stripes(8, 8);
    EXPECT_EQ(Exchange().Write(&graphic, {'0', '1'}, held.settings, held).result,
              logo::kLogoNoAnswer);
    EXPECT_EQ(printer.Control("get usermode"), "OK 0");
}

// A printer that answers every byte just within its wait: each byte costs 900 ms of the
// exchange's clock.
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

TEST_F(LogoExchangeTest, APrinterTricklingItsAnswersIsGivenUpOnWhenTheExchangesTimeIsSpent) {
    PrinterLogos held;
    for (uint8_t second = 'A'; second <= 'T'; ++second) {
        const Raster graphic = Stripes(8, 8);
        ASSERT_EQ(Exchange().Write(&graphic, {'0', second}, held.settings, held).result, 1);
    }
    int64_t now = 0;
    TricklingLine line(printer, now);
    comm::CBoundedLink link(line, comm::kExchangeAnswerLimitMs, {}, [&now] { return now; });
    LogoReport report = logo::LogoExchange(link, 1000).Read(held);
    EXPECT_NE(report.result, 1);
    EXPECT_NE(report.missed, 0u);
    EXPECT_LE(now, comm::kExchangeAnswerLimitMs + 900) << "answers waited for after the limit";
    EXPECT_EQ(printer.Control("get usermode"), "OK 0");
}

TEST_F(LogoExchangeTest, AStopRequestEndsTheExchangeAsUnansweredAndLeavesUserSettingMode) {
    bool stop = false;
    comm::CBoundedLink link(printer, comm::kExchangeAnswerLimitMs, [&stop] { return stop; });
    PrinterLogos held;
    ASSERT_EQ(logo::LogoExchange(link, 10).Read(held).result, 1);
    stop = true;
    LogoSettings wanted = held.settings;
    wanted.SetValue100(static_cast<uint16_t>(held.settings.Value100() + 1));
    LogoReport report = logo::LogoExchange(link, 10).Write(nullptr, {}, wanted, held);
    EXPECT_EQ(report.result, logo::kLogoNoAnswer);
    EXPECT_TRUE(report.missed & logo::kItemValue100);
    EXPECT_EQ(printer.Control("get usermode"), "OK 0");
}

// Value 100 is read and written in user setting mode: the printer enters it on "IN" whatever
// becomes of its answer, and prints nothing until it leaves.
TEST_F(LogoExchangeTest, AnEntryAnswerLostLateOrNoisyStillLeavesUserSettingMode) {
    for (EntryFault fault : {EntryFault::Lost, EntryFault::Late, EntryFault::Noisy}) {
        SCOPED_TRACE(EntryFaultName(fault));
        EntryAnswerFault line(printer, fault);
        PrinterLogos held;
        LogoReport report = logo::LogoExchange(line, 10).Read(held);
        EXPECT_EQ(report.missed, static_cast<uint32_t>(logo::kItemValue100));
        EXPECT_EQ(printer.Control("get usermode"), "OK 0") << "after the read";

        LogoSettings wanted = held.settings;
        wanted.SetValue100(static_cast<uint16_t>(held.settings.Value100() ^ 1));
        report = logo::LogoExchange(line, 10).Write(nullptr, {}, wanted, held);
        EXPECT_TRUE(report.missed & logo::kItemValue100);
        EXPECT_EQ(printer.Control("get usermode"), "OK 0") << "after the write";
    }
}

} // namespace
} // namespace qk::test
