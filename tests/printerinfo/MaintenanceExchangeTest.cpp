// The test print and the maintenance counters against the printer simulator's interpreter: the
// receipt as the printer printed it follows the printer's settings and ends in its cut, a
// printer that cannot print is sent nothing, a receipt cut off on the way is reported, and
// the counters rise with printing and reset (the lifetime ones never).
#include <gtest/gtest.h>
#include <string>
#include "plugins/paper/PaperSettings.h"
#include "plugins/paper/SettingsExchange.h"
#include "plugins/printerinfo/MaintenanceExchange.h"
#include "plugins/printerinfo/TestReceipt.h"
#include "tests/support/SimulatedPrinter.h"

namespace qk::printerinfo {
namespace {

using test::SimulatedPrinter;

// The receipt for what the printer holds, as the page makes it.
Bytes ReceiptFor(SimulatedPrinter& printer) {
    paper::PaperSettings settings;
    paper::SettingsExchange(printer, 100).ReadAll(settings);
    ReceiptFacts facts;
    facts.model = u"QK-R40";
    facts.firmware = u"1.40 QK";
    facts.paperWidth = settings.Value(3);
    facts.codeTable = settings.Value(8);
    facts.charSet = settings.Value(9);
    facts.date = u"2026-12-09 11:40";
    return TestReceipt(facts);
}

// The printer's customized values set as the paper page sets them.
void SetValues(SimulatedPrinter& printer,
               std::initializer_list<std::pair<uint8_t, uint16_t>> values) {
    printer.Send(comm::EnterUserSettingMode());
    for (auto [number, value] : values)
        printer.Send(comm::SetCustomValue(number, value));
    printer.Send(comm::LeaveUserSettingMode());
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(TestPrint, TheReceiptFollowsThePrintersSettingsAndEndsInItsCut) {
    SimulatedPrinter printer;
    // 58 mm paper, code table WPC1252, the German character set.
    SetValues(printer, {{3, 2}, {8, 16}, {9, 2}});
    MaintenanceExchange exchange(printer, 100);
    ASSERT_EQ(exchange.Print(ReceiptFor(printer)), PrintOutcome::Printed);

    const std::string receipt = printer.Control("get receipt");
    ASSERT_EQ(receipt.rfind("OK 1 | ", 0), 0u) << receipt;
    for (const char* line : {" | TEST PRINT | ", " | Model: QK-R40 | ", " | Firmware: 1.40 QK | ",
                             " | Paper width: 58 mm (32 columns) | ",
                             " | Code table: WPC1252 (Latin 1) | ", " | Character set: Germany | ",
                             " | [bar code CODE128 QK-R40 TEST] | ", " | Date: 2026-12-09 11:40"})
        EXPECT_TRUE(Contains(receipt, line)) << line << " not in " << receipt;
    // The rule is one full line at 32 columns: neither short nor wrapped.
    EXPECT_TRUE(Contains(receipt, " | " + std::string(32, '-') + " | ")) << receipt;
    EXPECT_FALSE(Contains(receipt, std::string(33, '-')));
    // The replaced characters under the German set; the high half in 32-character lines.
    EXPECT_TRUE(Contains(receipt, " | # $ § Ä Ö Ü ^ ` ä ö ü ß | ")) << receipt;
    EXPECT_TRUE(Contains(receipt, " | <80><81>")) << "without a code page the bytes show as hex";
    // The cut was the last command.
    const std::string last = " | Date: 2026-12-09 11:40";
    EXPECT_EQ(receipt.substr(receipt.size() - last.size()), last) << receipt;
    EXPECT_EQ(printer.Control("get counter 178"), "OK 1");
}

TEST(TestPrint, ATopLogoIsPrintedByItsKeyCodes) {
    SimulatedPrinter printer;
    // A stored graphic "G1" of 16 x 2 dots.
    printer.Send({0x1D, 0x28, 0x4C, 0x0E, 0x00, 0x30, 0x43, 0x30, 'G', '1', 0x31, 16, 0, 2, 0, 0xFF,
                  0xFF, 0x00, 0x00});
    ReceiptFacts facts;
    facts.logoKeyCode1 = 'G';
    facts.logoKeyCode2 = '1';
    ASSERT_EQ(MaintenanceExchange(printer, 100).Print(TestReceipt(facts)), PrintOutcome::Printed);
    const std::string receipt = printer.Control("get receipt");
    EXPECT_TRUE(Contains(receipt, " | Top logo: G1 | [graphic G1 16x2] | ")) << receipt;
}

TEST(TestPrint, APrinterThatCannotPrintIsSentNothingAndSaysWhy) {
    const std::pair<const char*, PrintOutcome> rows[] = {
        {"cover open", PrintOutcome::CoverOpen},
        {"paper out", PrintOutcome::PaperOut},
        {"offline", PrintOutcome::Offline},
        {"silent on", PrintOutcome::NoAnswer},
    };
    for (const auto& [condition, outcome] : rows) {
        SCOPED_TRACE(condition);
        SimulatedPrinter printer;
        ASSERT_EQ(printer.Control(condition), "OK");
        EXPECT_EQ(MaintenanceExchange(printer, 100).Print(TestReceipt(ReceiptFacts{})), outcome);
        EXPECT_EQ(printer.Control("get printed"), "OK 0");
        EXPECT_EQ(printer.Control("get receipt"), "OK 0");
        EXPECT_EQ(printer.Control("get counters"), "OK fed=0/0 head=0/0 cuts=0/0");
    }
}

TEST(TestPrint, AReceiptCutOffOnTheWayIsNotReportedPrinted) {
    SimulatedPrinter printer;
    // The connection ends half-way through the receipt, after the first counter question.
    printer.DropAfter(9 + 6 + 200);
    EXPECT_EQ(MaintenanceExchange(printer, 100).Print(TestReceipt(ReceiptFacts{})),
              PrintOutcome::NotFinished);
    EXPECT_EQ(printer.Control("get counter 178"), "OK 0");
}

TEST(MaintenanceCounters, RiseWithPrintingAndResetOnlySinceTheLastReset) {
    SimulatedPrinter printer;
    MaintenanceExchange exchange(printer, 100);
    ASSERT_EQ(exchange.Print(TestReceipt(ReceiptFacts{})), PrintOutcome::Printed);
    ASSERT_EQ(exchange.Print(TestReceipt(ReceiptFacts{})), PrintOutcome::Printed);
    std::vector<CounterValues> values = exchange.ReadCounters();
    ASSERT_EQ(values.size(), 3u);
    for (const CounterValues& counter : values) {
        ASSERT_TRUE(counter.sinceReset && counter.lifetime);
        EXPECT_GT(*counter.sinceReset, 0u);
        EXPECT_EQ(*counter.sinceReset, *counter.lifetime);
    }
    EXPECT_EQ(*values[2].lifetime, 2u) << "two cuts";
    const uint64_t fed = *values[0].lifetime;

    EXPECT_TRUE(exchange.ResetCounters());
    values = exchange.ReadCounters();
    EXPECT_EQ(*values[0].sinceReset, 0u);
    EXPECT_EQ(*values[0].lifetime, fed);
    EXPECT_EQ(*values[2].sinceReset, 0u);
    EXPECT_EQ(*values[2].lifetime, 2u);
    // A lifetime counter cannot be reset.
    printer.Send(ResetCounter(178));
    EXPECT_EQ(exchange.ReadCounter(178), 2u);
    // A printer that does not answer: no values, and no reset reported.
    ASSERT_EQ(printer.Control("silent on"), "OK");
    EXPECT_FALSE(exchange.ReadCounter(20));
    EXPECT_FALSE(exchange.ResetCounters());
}

TEST(MaintenanceCounters, OnlyAWellFormedAnswerHasAValue) {
    struct Row {
        std::string bytes;
        std::optional<uint64_t> value;
    };
    const Row rows[] = {
        {std::string("\x5F"
                     "1234") +
             '\0',
         1234},
        {std::string("\x5F"
                     "0") +
             '\0',
         0},
        {std::string("\x5F") + '\0', std::nullopt}, // no digits
        {std::string("\x37"
                     "12") +
             '\0',
         std::nullopt}, // another answer
        {std::string("\x5F"
                     "1x2") +
             '\0',
         std::nullopt},                                       // not a number
        {"\x5F" + std::string(20, '9') + '\0', std::nullopt}, // more than 64 bits hold
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        CounterAnswer answer;
        bool done = false;
        for (char c : rows[i].bytes)
            done = answer.Add(static_cast<uint8_t>(c));
        EXPECT_TRUE(done) << "row " << i;
        EXPECT_EQ(answer.Value(), rows[i].value) << "row " << i;
    }
}

} // namespace
} // namespace qk::printerinfo
