// The communication library's port connector as the utility uses it to route a port through
// the command emulator: the record tells whether the port can be routed, the switch goes on
// and off without the port losing that, and another process of the library sees the switch.
#include "tests/maker/CommFixture.h"
#include <gtest/gtest.h>

using namespace qk::comm;
using qk::test::MakePortRecord;

namespace {

class PortConnector : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fx.SetUp(qk::test::StandardDeviceMap())); }
    void TearDown() override { fx.TearDown(); }

    int32_t Enabled() {
        int32_t flag = -1;
        EXPECT_EQ(kQkcOk, fx.qkc.QKC_IsPortConnectorEnabled(&flag));
        return flag;
    }

    qk::test::CommFixture fx;
};

TEST_F(PortConnector, RoundTripKeepsThePortRoutableAndOutlivesTheLibrary) {
    int32_t flag = -1;
    EXPECT_EQ(kQkcNoPortRecord, fx.qkc.QKC_SetPortConnector(1)) << "no port selected";
    EXPECT_EQ(kQkcNoPortRecord, fx.qkc.QKC_IsPortConnectorEnabled(&flag));

    PortRecord usb = MakePortRecord(u"USB", u"001");
    usb.connectorFlag = 1;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_AddPort(&usb));
    PortRecord selected = MakePortRecord(u"USB", u"001");
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&selected));
    EXPECT_EQ(1, selected.connectorFlag) << "the registered port brings its flag";
    EXPECT_GT(selected.origin, 2) << "service level of the installed port service";
    PortRecord read{};
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_GetPort(&read));
    EXPECT_EQ(read.origin, selected.origin);
    EXPECT_EQ(0, Enabled()) << "a port never switched is off";

    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPortConnector(1));
    EXPECT_EQ(1, Enabled());
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPortConnector(0));
    EXPECT_EQ(0, Enabled());
    EXPECT_EQ(kQkcBadArgument, fx.qkc.QKC_SetPortConnector(2));
    PortRecord again = MakePortRecord(u"USB", u"001");
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&again));
    EXPECT_EQ(1, again.connectorFlag) << "switched off, the port can still be routed";
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPortConnector(1));

    // A fresh copy of the library, as in another process of the utility, sees the switch.
    qk::test::UnbindCommLibrary(fx.qkc);
    ASSERT_TRUE(qk::test::BindCommLibrary(fx.qkc));
    PortRecord other = MakePortRecord(u"USB", u"001");
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&other));
    EXPECT_EQ(1, Enabled());
}

TEST_F(PortConnector, PortsWithoutTheFlagGetNoServiceLevelAndKeepAGivenOne) {
    PortRecord plain = MakePortRecord(u"COM", u"COM1");
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&plain));
    EXPECT_EQ(0, plain.origin);
    PortRecord installed = MakePortRecord(u"LPT", u"LPT1");
    installed.connectorFlag = 1;
    installed.origin = 3;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&installed));
    EXPECT_EQ(3, installed.origin);
    EXPECT_EQ(0, Enabled());
}

} // namespace
