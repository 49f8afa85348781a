// The paper and print settings page through the library's exports: the settings read, the
// named choices, leaving a changed page, and the file mode's blocks against the settings
// command file.
#include <gtest/gtest.h>
#include <cstring>
#include "framework/store/PrinterSettingBlocks.h"
#include "resource.h"
#include "tests/paper/PaperPluginFixture.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

constexpr wchar_t kSaveQuestion[] =
    L"Do you want to save your changes to the settings to the printer?";

std::vector<uint8_t> Enter() {
    return {0x1D, 0x28, 0x45, 0x03, 0x00, 0x01, 'I', 'N'};
}
std::vector<uint8_t> Leave() {
    return {0x1D, 0x28, 0x45, 0x04, 0x00, 0x02, 'O', 'U', 'T'};
}
std::vector<uint8_t> SetValue(uint8_t number, uint16_t value) {
    return {0x1D,
            0x28,
            0x45,
            0x04,
            0x00,
            0x05,
            number,
            static_cast<uint8_t>(value & 0xFF),
            static_cast<uint8_t>(value >> 8)};
}

TEST_F(PaperPlugin, TheSettingsReadShowsWhatThePrinterHoldsByName) {
    SendToPrinter(Enter());
    SendToPrinter(SetValue(3, 2));     // 58 mm
    SendToPrinter(SetValue(8, 2));     // PC850
    SendToPrinter(SetValue(9, 77));    // a character set the page has no name for
    SendToPrinter(SetValue(121, 555)); // a value the page only carries
    SendToPrinter(Leave());
    Start();
    EXPECT_EQ(readPrinterSettings(), 1);
    EXPECT_EQ(StoredWord(kPaperSettingBlockKey, 32), 2u);
    EXPECT_EQ(StoredWord(kFontSettingBlockKey, 44), 77u);
    EXPECT_EQ(StoredWord(kExtendedSettingBlockKey, 36) & 0xFFFF, 555u);

    ASSERT_EQ(changeMenuState(kMenuStateShow), 1);
    ASSERT_TRUE(PumpPending()); // the read's notice to the page, posted by the read
    EXPECT_EQ(Selected(IDC_PAPER_WIDTH), L"58 mm");
    EXPECT_EQ(Selected(IDC_PRINT_DENSITY), L"Standard");
    EXPECT_EQ(Selected(IDC_PRINT_SPEED), L"Fast");
    EXPECT_EQ(Selected(IDC_CODE_TABLE), L"PC850 (Multilingual)");
    EXPECT_EQ(Selected(IDC_CHARACTER_SET), L"Other value (77)");
    EXPECT_EQ(ChildText(Page(), IDC_PAPER_WIDTH_LABEL), L"Paper width:");
    EXPECT_EQ(Note(), L"");
    // Nothing changed: the page is left without a question.
    EXPECT_EQ(changeMenuState(kMenuStateLeave), 0);
    EXPECT_FALSE(::IsWindowVisible(Page()));
}

TEST_F(PaperPlugin, ValuesThePrinterDoesNotAnswerAreNamedOnThePageAndKeptInTheBlocks) {
    ASSERT_EQ(Control("mute custom 6"), "OK");
    ASSERT_EQ(Control("mute custom 104"), "OK");
    Start();
    EXPECT_EQ(readPrinterSettings(), -1);
    EXPECT_EQ(StoredWord(kPaperSettingBlockKey, 44), 3u) << "the factory speed stays";
    ASSERT_EQ(changeMenuState(kMenuStateShow), 1);
    ASSERT_TRUE(PumpPending()); // the read's notice to the page, posted by the read
    EXPECT_EQ(Note(), L"Could not read these settings from the printer: Print speed, Other "
                      L"settings");
}

TEST_F(PaperPlugin, LeavingAChangedPageCancelKeepsItNoDropsTheChangeYesWritesIt) {
    Start();
    ASSERT_EQ(readPrinterSettings(), 1);
    ASSERT_EQ(changeMenuState(kMenuStateShow), 1);
    ASSERT_TRUE(Choose(IDC_PAPER_WIDTH, 2));
    ASSERT_TRUE(Choose(IDC_PRINT_DENSITY, 65535));
    {
        BoxAnswerer boxes({IDCANCEL});
        EXPECT_EQ(changeMenuState(kMenuStateLeave), -5);
        EXPECT_EQ(boxes.Finish(), std::vector<std::wstring>{kSaveQuestion});
    }
    EXPECT_TRUE(::IsWindowVisible(Page()));
    EXPECT_EQ(Selected(IDC_PAPER_WIDTH), L"58 mm");
    {
        BoxAnswerer boxes({IDNO});
        EXPECT_EQ(changeMenuState(kMenuStateLeave), 0);
        EXPECT_EQ(boxes.Finish().size(), 1u);
    }
    EXPECT_FALSE(::IsWindowVisible(Page()));
    EXPECT_EQ(Control("get custom 3"), "OK none");
    ASSERT_EQ(changeMenuState(kMenuStateShow), 1);
    EXPECT_EQ(Selected(IDC_PAPER_WIDTH), L"80 mm") << "No dropped the change";

    ASSERT_TRUE(Choose(IDC_PAPER_WIDTH, 2));
    ASSERT_TRUE(Choose(IDC_PRINT_DENSITY, 65535));
    {
        BoxAnswerer boxes({IDYES, IDOK});
        EXPECT_EQ(changeMenuState(kMenuStateLeave), 0);
        EXPECT_EQ(boxes.Finish(), (std::vector<std::wstring>{
                                      kSaveQuestion, L"Settings were changed successfully."}));
    }
    EXPECT_EQ(host->frame.runs, 1) << "written under the progress dialog";
    EXPECT_EQ(Control("get custom 3"), "OK 2");
    EXPECT_EQ(Control("get custom 5"), "OK 65535");
    EXPECT_EQ(Control("get custom 6"), "OK none") << "only the changes are sent";
    EXPECT_EQ(Control("get usermode"), "OK 0");
    EXPECT_EQ(StoredWord(kPaperSettingBlockKey, 32), 2u);
    EXPECT_EQ(StoredWord(kPaperSettingBlockKey, 40), 65535u);
    ASSERT_EQ(changeMenuState(kMenuStateShow), 1);
    EXPECT_EQ(Selected(IDC_PAPER_WIDTH), L"58 mm");
    EXPECT_EQ(changeMenuState(kMenuStateLeave), 0) << "written: nothing left to ask about";
}

TEST_F(PaperPlugin, AWriteThePrinterDoesNotAnswerKeepsThePageAndItsChange) {
    Start();
    ASSERT_EQ(readPrinterSettings(), 1);
    ASSERT_EQ(changeMenuState(kMenuStateShow), 1);
    ASSERT_TRUE(Choose(IDC_CODE_TABLE, 16));
    ASSERT_EQ(Control("silent on"), "OK");
    {
        BoxAnswerer boxes({IDYES, IDOK});
        EXPECT_EQ(changeMenuState(kMenuStateLeave), -5);
        EXPECT_EQ(boxes.Finish(),
                  (std::vector<std::wstring>{
                      kSaveQuestion, L"Failed to change settings.\nThe printer did not answer."}));
    }
    EXPECT_TRUE(::IsWindowVisible(Page()));
    EXPECT_EQ(Selected(IDC_CODE_TABLE), L"WPC1252 (Latin 1)");
    EXPECT_EQ(StoredWord(kFontSettingBlockKey, 40), 0u);
    ASSERT_EQ(Control("silent off"), "OK");
    EXPECT_EQ(Control("get custom 8"), "OK none");
    EXPECT_EQ(Control("get usermode"), "OK 0") << "it took the entry it did not answer";
}

TEST_F(PaperPlugin, TheFileModeEditsOnlyTheBlocks) {
    Start(kStartFileMode);
    ASSERT_EQ(changeMenuState(kMenuStateShow), 1);
    ASSERT_TRUE(Choose(IDC_PAPER_WIDTH, 2));
    ASSERT_TRUE(Choose(IDC_CODE_TABLE, 19));
    {
        BoxAnswerer boxes({IDYES});
        EXPECT_EQ(changeMenuState(kMenuStateLeave), 0);
        EXPECT_EQ(boxes.Finish(), std::vector<std::wstring>{kSaveQuestion});
    }
    EXPECT_EQ(host->frame.runs, 0) << "no printer in the file mode";
    EXPECT_EQ(Control("get custom 3"), "OK none");
    EXPECT_EQ(store.GetSaveFlag(), 1);

    EXPECT_EQ(StoredWord(kPaperSettingBlockKey, 32), 2u);
    EXPECT_EQ(StoredWord(kFontSettingBlockKey, 40), 19u);
    EXPECT_EQ(StoredWord(kPaperSettingBlockKey, 44), 3u) << "the rest as it was";
}

} // namespace
} // namespace qk::test
