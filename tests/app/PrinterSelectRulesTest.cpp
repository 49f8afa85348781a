// The text rules behind the selection dialog's rows and messages.
#include <gtest/gtest.h>
#include "app/connection/PortRecordText.h"

namespace qk::test {
namespace {

using namespace app;

TEST(PortMonitorPort, TakesTheRsdprtPartOfAPipePath) {
    struct Case {
        const char16_t* path;
        const char16_t* port;
    } cases[] = {
        {u"pipe://qk/RSDPRT3/x", u"RSDPRT3"},
        {u"PIPE://QK/host/RsdPrt12\"rest", u"RsdPrt12"}, // case kept as written
        {u"pipe://qk/RSDPRT7", u"RSDPRT7"},
        {u"RSDPRT3 pipe://qk/none", u""}, // "rsdprt" must follow the pipe prefix
        {u"\\\\.\\COM7", u""},
        {u"tcp://127.0.0.1:9100", u""},
        {u"", u""},
    };
    int row = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(PortMonitorPort(c.path), c.port) << "row " << row;
        ++row;
    }
}

TEST(PortMonitorNumber, ReadsTheDigitsAfterSixCharacters) {
    EXPECT_EQ(PortMonitorNumber(u"RSDPRT3"), 3);
    EXPECT_EQ(PortMonitorNumber(u"RSDPRT12abc"), 12);
    EXPECT_EQ(PortMonitorNumber(u"RSDPRT"), 0);
    EXPECT_EQ(PortMonitorNumber(u"RSD"), 0);
    EXPECT_EQ(PortMonitorNumber(u"RSDPRTx5"), 0);
    EXPECT_EQ(PortMonitorNumber(u"RSDPRT99999999999"), INT32_MAX);
}

TEST(DevicePath, FolderAndLeafSplitAtTheLastSlash) {
    EXPECT_EQ(DevicePathFolder(u"pipe://qk/RSDPRT3/QK"), u"pipe://qk/RSDPRT3/");
    EXPECT_EQ(DevicePathFolder(u"\\\\.\\COM7"), u"");
    EXPECT_EQ(DevicePathLeaf(u"pipe://qk/RSDPRT3/QK"), u"QK");
    EXPECT_EQ(DevicePathLeaf(u"COM7"), u"COM7");
}

TEST(InterfaceKind, ComparesTheWholeKeyword) {
    EXPECT_EQ(InterfaceKindOf(u"COM"), 1);
    EXPECT_EQ(InterfaceKindOf(u"LPT"), 2);
    EXPECT_EQ(InterfaceKindOf(u"USB"), 3);
    EXPECT_EQ(InterfaceKindOf(u"NET"), 4);
    EXPECT_EQ(InterfaceKindOf(u"BT"), 5);
    EXPECT_EQ(InterfaceKindOf(u"COM1"), 0);
    EXPECT_EQ(InterfaceKindOf(u"com"), 0);
    EXPECT_EQ(InterfaceKindOf(u""), 0);
}

// Message texts come from language files: they are filled, never used as a format.
TEST(FillPlaceholder, FillsTheFirstPlaceholderOnly) {
    EXPECT_EQ(FillPlaceholder(u"The connected printer is not %s.", u"QK-R40"),
              u"The connected printer is not QK-R40.");
    EXPECT_EQ(FillPlaceholder(u"%ls!", u"A"), u"A!");
    EXPECT_EQ(FillPlaceholder(u"%s and %s", u"A"), u"A and %s");
    EXPECT_EQ(FillPlaceholder(u"100%% %n %d %s", u"A"), u"100% %n %d A");
    EXPECT_EQ(FillPlaceholder(u"no placeholder", u"A"), u"no placeholder");
    EXPECT_EQ(FillPlaceholder(u"ends in %", u"A"), u"ends in %");
}

TEST(SlotText, NeverReadsPastTheSlotAndCutsLongText) {
    char16_t slot[comm::kPortTextChars];
    for (auto& c : slot)
        c = u'x';
    EXPECT_EQ(SlotText(slot).size(), comm::kPortTextChars);
    SetSlotText(slot, std::u16string(400, u'y'));
    EXPECT_EQ(SlotText(slot), std::u16string(259, u'y'));
    SetSlotText(slot, u"COM7");
    EXPECT_EQ(SlotText(slot), u"COM7");
    EXPECT_EQ(slot[259], u'\0');
}

} // namespace
} // namespace qk::test
