// The test receipt's bytes: laid out for the paper's width, the values by the paper page's
// names (or their number), the printer's text in ASCII only, the top logo only when one is
// set, and the cut last.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include "plugins/printerinfo/TestReceipt.h"

namespace qk::printerinfo {
namespace {

using comm::Bytes;

bool Has(const Bytes& bytes, const std::string& part) {
    return std::search(bytes.begin(), bytes.end(), part.begin(), part.end()) != bytes.end();
}

// The printed characters above 0x80, each line as the receipt sends it.
std::vector<std::size_t> HighRows(const Bytes& receipt) {
    std::vector<std::size_t> rows;
    std::size_t run = 0;
    for (uint8_t byte : receipt) {
        if (byte >= 0x80) {
            ++run;
        } else if (run) {
            EXPECT_EQ(byte, 0x0A) << "a row of the code table ends in LF";
            rows.push_back(run);
            run = 0;
        }
    }
    return rows;
}

TEST(TestReceiptBytes, FitTheWidthNameTheValuesAndEndInTheCut) {
    ReceiptFacts facts;
    facts.model = u"QK-R40 \u00C4"; // a character the printer's text cannot carry
    facts.density = 65535;          // one step light
    facts.speed = 9;                // a value the paper page has no name for
    const Bytes wide = TestReceipt(facts);
    EXPECT_TRUE(Has(wide, "Model: QK-R40 ?\n"));
    EXPECT_TRUE(Has(wide, "\nPrint density: Light\n"));
    EXPECT_TRUE(Has(wide, "\nPrint speed: Other value (9)\n"));
    EXPECT_TRUE(Has(wide, "\n" + std::string(48, '-') + "\n"));
    EXPECT_FALSE(Has(wide, std::string(49, '-')));
    EXPECT_EQ(HighRows(wide), (std::vector<std::size_t>{48, 48, 32}));
    EXPECT_TRUE(Has(wide, "\n# $ @ [ \\ ] ^ ` { | } ~\n"));
    // No top logo: no graphic is printed.
    EXPECT_FALSE(Has(wide, "\x1D(L"));
    // It starts from the printer's own settings and ends in a feed and cut.
    ASSERT_GE(wide.size(), 6u);
    EXPECT_EQ(Bytes(wide.begin(), wide.begin() + 2), (Bytes{0x1B, '@'}));
    EXPECT_EQ(Bytes(wide.end() - 4, wide.end()), (Bytes{0x1D, 'V', 66, 3}));

    facts.paperWidth = 2;
    const Bytes narrow = TestReceipt(facts);
    EXPECT_TRUE(Has(narrow, "\nPaper width: 58 mm (32 columns)\n"));
    EXPECT_TRUE(Has(narrow, "\n" + std::string(32, '-') + "\n"));
    EXPECT_FALSE(Has(narrow, std::string(33, '-')));
    EXPECT_EQ(HighRows(narrow), (std::vector<std::size_t>{32, 32, 32, 32}));
}

TEST(TestReceiptBytes, ATopLogoIsPrintedByItsKeyCodesOnly) {
    ReceiptFacts facts;
    facts.logoKeyCode1 = 'L';
    facts.logoKeyCode2 = '7';
    const Bytes receipt = TestReceipt(facts);
    EXPECT_TRUE(Has(receipt, "\nTop logo: L7\n"));
    const Bytes print = {0x1D, '(', 'L', 6, 0, 0x30, 0x45, 'L', '7', 1, 1};
    EXPECT_NE(std::search(receipt.begin(), receipt.end(), print.begin(), print.end()),
              receipt.end());
}

} // namespace
} // namespace qk::printerinfo
