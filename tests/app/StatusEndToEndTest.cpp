// The real QK40UTL.exe against the printer simulator: the status strip identifies the printer
// through the settings read and follows the simulator's state flips.
#include <string>
#include "tests/app/StartupEndToEndFixture.h"

namespace qk::test {
namespace {

constexpr int kNameLine = 1021;
constexpr int kStatusLine = 1025;

// Waits until the strip shows `text`. The settle before a drop cannot always tell the start's
// settings read from a pause in it: a drop that comes in the middle of the read ends the read
// with its message, and the strip follows the printer again once the message is answered (it
// does not follow it while the read runs). That message, and only it, is answered here.
bool WaitForStripAnsweringAnInterruptedRead(DWORD processId, HWND frame, const std::wstring& text) {
    int answered = 0;
    return PumpUntil(
        [&] {
            if (DescendantText(frame, kStatusLine) == text)
                return true;
            MessageBoxView box = WaitForMessageBox(processId, 0);
            if (box.hwnd && answered == 0 &&
                (box.text == L"Could not get some settings from the printer." ||
                 box.text == L"A communication error occurred.")) {
                ++answered;
                PressButton(box.hwnd, IDOK);
            }
            return false;
        },
        60000);
}

TEST_F(UtilityRun, StatusStripIdentifiesThePrinterAndFollowsItsCoverAndOnlineState) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    ASSERT_TRUE(Launch(program_, L"/bM /mR /r" + DevicePath()));
    HWND frame = WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(WaitForDescendantText(frame, kNameLine, L"Printer Name: QK-R40"))
        << "the settings read named the printer; name line: "
        << testing::PrintToString(DescendantText(frame, kNameLine));
    EXPECT_EQ(MessageBoxWithin(program_.Id()).hwnd, nullptr) << "the read succeeded";
    EXPECT_TRUE(WaitForDescendantText(frame, kStatusLine, L"Status: Online"));

    ASSERT_EQ(PrinterControl(L"cover open").rfind("OK", 0), 0u);
    EXPECT_TRUE(WaitForDescendantText(frame, kStatusLine, L"Status: Cover is open"))
        << testing::PrintToString(DescendantText(frame, kStatusLine));
    ASSERT_EQ(PrinterControl(L"cover closed").rfind("OK", 0), 0u);
    EXPECT_TRUE(WaitForDescendantText(frame, kStatusLine, L"Status: Online"));

    ASSERT_EQ(PrinterControl(L"offline").rfind("OK", 0), 0u);
    EXPECT_TRUE(WaitForDescendantText(frame, kStatusLine, L"Status: Offline"));
    ASSERT_EQ(PrinterControl(L"online").rfind("OK", 0), 0u);
    // Back online after offline: the printer is read again, then shown online.
    EXPECT_TRUE(WaitForDescendantText(frame, kStatusLine, L"Status: Online", 30000))
        << testing::PrintToString(DescendantText(frame, kStatusLine));
    EXPECT_EQ(MessageBoxWithin(program_.Id()).hwnd, nullptr);

    ASSERT_TRUE(Close(program_, frame));
}

TEST_F(UtilityRun, StatusStripKeepsItsLineWhenTheReturningPrinterIsAnotherModel) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    ASSERT_TRUE(Launch(program_, L"/bM /mR /r" + DevicePath()));
    HWND frame = WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitForDescendantText(frame, kNameLine, L"Printer Name: QK-R40"));
    ASSERT_EQ(PrinterControl(L"offline").rfind("OK", 0), 0u);
    ASSERT_TRUE(WaitForDescendantText(frame, kStatusLine, L"Status: Offline"));
    ASSERT_EQ(PrinterControl(L"model QK-X99").rfind("OK", 0), 0u);
    ASSERT_EQ(PrinterControl(L"online").rfind("OK", 0), 0u);
    MessageBoxView box = WaitForMessageBox(program_.Id(), 30000);
    ASSERT_NE(box.hwnd, nullptr) << "the device-ID message";
    EXPECT_EQ(box.text, L"The device ID does not match the connected printer.");
    PressButton(box.hwnd, IDOK);
    EXPECT_TRUE(WaitForDescendantText(frame, kStatusLine, L"Status: Offline"))
        << "the previous status comes back; "
        << testing::PrintToString(DescendantText(frame, kStatusLine));
    ASSERT_TRUE(Close(program_, frame));
}

// A printer switched off and on: the connection is dropped, the library connects again and
// the strip follows the printer's status as before.
TEST_F(UtilityRun, StatusStripFollowsThePrinterAgainAfterTheConnectionDrops) {
    HWND frame = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartRemoteAndSettle(frame));

    ASSERT_EQ(PrinterControl(L"drop").rfind("OK", 0), 0u);
    ASSERT_EQ(PrinterControl(L"cover open").rfind("OK", 0), 0u);
    EXPECT_TRUE(
        WaitForStripAnsweringAnInterruptedRead(program_.Id(), frame, L"Status: Cover is open"))
        << testing::PrintToString(DescendantText(frame, kStatusLine));
    ASSERT_EQ(PrinterControl(L"cover closed").rfind("OK", 0), 0u);
    EXPECT_TRUE(WaitForDescendantText(frame, kStatusLine, L"Status: Online"));
    EXPECT_EQ(MessageBoxWithin(program_.Id()).hwnd, nullptr);
    ASSERT_TRUE(Close(program_, frame));
}

// While the printer refuses connections the strip says so; once it accepts again the library
// connects and the strip shows the printer's status again.
TEST_F(UtilityRun, StatusStripReportsARefusingPrinterAndFollowsItWhenItComesBack) {
    HWND frame = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartRemoteAndSettle(frame));

    ASSERT_EQ(PrinterControl(L"refuse on").rfind("OK", 0), 0u);
    ASSERT_EQ(PrinterControl(L"drop").rfind("OK", 0), 0u);
    EXPECT_TRUE(
        WaitForStripAnsweringAnInterruptedRead(program_.Id(), frame, L"Status: Cannot Get Status"))
        << testing::PrintToString(DescendantText(frame, kStatusLine));
    // Through several refused tries, with the pause between them growing, the strip never
    // leaves it (watched all along, not looked at once).
    EXPECT_FALSE(PumpUntil(
        [&] { return DescendantText(frame, kStatusLine) != L"Status: Cannot Get Status"; }, 3000))
        << testing::PrintToString(DescendantText(frame, kStatusLine));

    ASSERT_EQ(PrinterControl(L"refuse off").rfind("OK", 0), 0u);
    ASSERT_EQ(PrinterControl(L"paper near").rfind("OK", 0), 0u);
    EXPECT_TRUE(WaitForDescendantText(frame, kStatusLine, L"Status: Paper near-end", 30000))
        << testing::PrintToString(DescendantText(frame, kStatusLine));
    EXPECT_EQ(MessageBoxWithin(program_.Id()).hwnd, nullptr);
    ASSERT_TRUE(Close(program_, frame));
}

} // namespace
} // namespace qk::test
