// Language-file text with values put in, and numbers in decimal: a translation that lost its
// marks still shows the values, and a counter of the printer shows its full 64-bit range.
#include <gtest/gtest.h>
#include <cstdint>
#include <limits>
#include "framework/lang/FilledText.h"

namespace qk {
namespace {

TEST(FilledText, TwoValuesGoToTheirMarksOrAfterTheText) {
    EXPECT_EQ(Fill2(u"%2 of %1", u"a", u"b"), u"b of a");
    EXPECT_EQ(Fill2(u"%1 only", u"a", u"b"), u"a only b");
    EXPECT_EQ(Fill2(u"none", u"a", u"b"), u"none a b");
}

TEST(FilledText, DecimalCoversEveryIntegerWidth) {
    EXPECT_EQ(Decimal(std::numeric_limits<uint64_t>::max()), u"18446744073709551615");
    EXPECT_EQ(Decimal(std::numeric_limits<int64_t>::min()), u"-9223372036854775808");
    EXPECT_EQ(Decimal(uint8_t{255}), u"255");
    EXPECT_EQ(Decimal(uint16_t{65535}), u"65535");
}

} // namespace
} // namespace qk
