// The printer information page's exchanges through the real QK40UTL.exe and the simulator:
// the test receipt as the printer printed it (its model, firmware and serial number, the rule
// across 48 columns, and the cut), the printer's counters read and reset after the question,
// and a printer with its cover open refusing the print with nothing sent.
#include <windows.h>

#include <gtest/gtest.h>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include "platform/Text.h"
#include "tests/app/StartupEndToEndFixture.h"

namespace qk::test {
namespace {

constexpr int kPageId = 12;
constexpr int kStatusLine = 1025;
constexpr int kInformation = 1403;
constexpr wchar_t kBusy[] =
    L"The printer is busy with another exchange. Try again when it has ended.";
// Fewer different questions than a complete settings read asks.
constexpr int kReadQuestions = 20;
constexpr int kPrintButton = 1404, kReadButton = 1405, kResetButton = 1406, kCounters = 1407;

std::string ReadBytes(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class PrinterInfoRun : public UtilityRun {
protected:
    // The page's menu row is the one above the settings file entry, the last.
    HWND ShowPage(HWND frame) {
        HWND list = Descendant(frame, 0, L"SysListView32");
        if (!list)
            return nullptr;
        for (WPARAM key : {VK_END, VK_UP, VK_RETURN}) {
            ::PostMessageW(list, WM_KEYDOWN, key, 1);
            ::PostMessageW(list, WM_KEYUP, key, 0xC0000001);
        }
        HWND page = nullptr;
        PumpUntil(
            [&] {
                page = Descendant(frame, kPageId, nullptr);
                return page && ::IsWindowVisible(page);
            },
            15000);
        return page;
    }
    void Click(HWND page, int button) {
        ::PostMessageW(::GetDlgItem(page, button), BM_CLICK, 0, 0);
    }
    // Presses the button and answers its message with OK; a press that met the settings read
    // still holding the printer is made again.
    std::wstring PressUntilNotBusy(HWND page, int button) {
        for (int i = 0; i < 30; ++i) {
            Click(page, button);
            const std::wstring text = Answer(IDOK);
            if (text != kBusy)
                return text;
            PumpUntil([] { return false; }, 1000);
        }
        return L"(the printer stayed busy)";
    }
};

TEST_F(PrinterInfoRun, PrintsTheTestReceiptReadsAndResetsTheCountersAndRefusesWithTheCoverOpen) {
    const std::wstring receipts = Folder() + L"\\receipts.txt";
    ASSERT_NO_FATAL_FAILURE(StartPrinter(L"--receipt-file \"" + receipts + L"\""));
    ASSERT_EQ(PrinterControl(L"serial QK4A424242"), "OK");
    RegisterSelectablePort();
    ASSERT_EQ(PrinterControl(L"requests reset"), "OK");
    HWND frame = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartThroughSelection(frame));
    // The strip may show the printer before its settings read began: the page's exchanges
    // come after the read.
    ASSERT_TRUE(PumpUntil(
        [&] {
            int total = 0, distinct = 0;
            return std::sscanf(PrinterControl(L"get requests").c_str(), "OK %d %d", &total,
                               &distinct) == 2 &&
                   distinct >= kReadQuestions && PrinterControl(L"get usermode") == "OK 0" &&
                   TopLevelWindows(program_.Id(), L"#32770").empty();
        },
        60000))
        << "the start's settings read did not end";
    HWND page = ShowPage(frame);
    ASSERT_NE(page, nullptr) << "the printer information page did not show";
    // The settings read ran before the page showed, and the library says its version.
    const std::wstring information = ChildText(page, kInformation);
    EXPECT_NE(information.find(L"\r\nSerial number: QK4A424242\r\n"), std::wstring::npos);
    EXPECT_NE(information.find(L"\r\nCommunication library: 1.0\r\n"), std::wstring::npos);
    EXPECT_NE(information.find(L"\r\nRead at: 2"), std::wstring::npos)
        << testing::PrintToString(information);

    EXPECT_EQ(PressUntilNotBusy(page, kPrintButton), L"The test receipt was printed.");
    const std::string receipt = ReadBytes(receipts);
    for (const char* line :
         {"\r\nModel: QK-R40\r\n", "\r\nFirmware: 1.40 QK\r\n", "\r\nSerial number: QK4A424242\r\n",
          "\r\nPaper width: 80 mm (48 columns)\r\n",
          "\r\n------------------------------------------------\r\n",
          "[bar code CODE128 QK-R40 TEST]"})
        EXPECT_NE(receipt.find(line), std::string::npos) << line << " not in\n" << receipt;
    const std::string end = "\r\n[cut]\r\n";
    EXPECT_TRUE(receipt.size() > end.size() &&
                receipt.compare(receipt.size() - end.size(), end.size(), end) == 0)
        << "the receipt does not end in its cut:\n"
        << receipt;
    EXPECT_EQ(PrinterControl(L"get counter 178"), "OK 1");
    // The page shows the counters the print left.
    EXPECT_NE(
        ChildText(page, kCounters).find(L"Autocutter cuts: 1 cuts since reset, 1 cuts in all"),
        std::wstring::npos)
        << testing::PrintToString(ChildText(page, kCounters));

    Click(page, kReadButton);
    EXPECT_EQ(WaitForMessageBox(program_.Id(), 3000).hwnd, nullptr) << "the read said something";
    const std::wstring counters = ChildText(page, kCounters);
    EXPECT_NE(counters.find(L"Paper fed: "), std::wstring::npos);
    EXPECT_EQ(counters.find(L"(not read)"), std::wstring::npos) << testing::PrintToString(counters);

    // No keeps the counters; Yes resets the since-reset ones, the lifetime ones stay.
    Click(page, kResetButton);
    EXPECT_EQ(Answer(IDNO).rfind(L"Reset the counters since their last reset", 0), 0u);
    EXPECT_EQ(PrinterControl(L"get counter 50"), "OK 1");
    Click(page, kResetButton);
    EXPECT_EQ(Answer(IDYES).rfind(L"Reset the counters since their last reset", 0), 0u);
    EXPECT_EQ(Answer(IDOK), L"The counters were reset.");
    EXPECT_EQ(PrinterControl(L"get counter 50"), "OK 0");
    EXPECT_EQ(PrinterControl(L"get counter 178"), "OK 1");
    EXPECT_NE(
        ChildText(page, kCounters).find(L"Autocutter cuts: 0 cuts since reset, 1 cuts in all"),
        std::wstring::npos)
        << testing::PrintToString(ChildText(page, kCounters));

    // With the cover open nothing reaches the printer.
    ASSERT_EQ(PrinterControl(L"cover open"), "OK");
    ASSERT_TRUE(WaitForDescendantText(frame, kStatusLine, L"Status: Cover is open"));
    const std::string arrived = PrinterControl(L"get arrived");
    Click(page, kPrintButton);
    EXPECT_EQ(Answer(IDOK),
              L"The printer's cover is open. Close it and try again. Nothing was printed.");
    EXPECT_EQ(ReadBytes(receipts), receipt);
    EXPECT_EQ(PrinterControl(L"get arrived"), arrived) << "bytes went to the printer";
    EXPECT_EQ(PrinterControl(L"get counter 178"), "OK 1");
    ASSERT_TRUE(Close(program_, frame));
}

} // namespace
} // namespace qk::test
