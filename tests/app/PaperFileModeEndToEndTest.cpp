// The file mode's round trip through the real QK40UTL.exe with the paper and print settings
// plug-in of the program folder: the operator changes the paper width on the page, leaves
// with Yes to both questions, and the settings command file written at exit, sent to a
// printer, leaves that printer with the chosen paper width.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "framework/store/PluginDataMgr.h"
#include "framework/store/PrinterSettingBlocks.h"
#include "maker/printer/CommandInterpreter.h"
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "tests/app/StartupEndToEndFixture.h"

namespace qk::test {
namespace {

constexpr int kPaperPageId = 9;
constexpr int kPaperWidthCombo = 1101;
constexpr int kPaperRow = 1; // under the "Settings" heading

class PaperFileModeRun : public UtilityRun {
protected:
    // Shows the paper page, choosing its menu entry when it is not the one shown.
    HWND ShowPaperPage(HWND frame) {
        HWND page = Descendant(frame, kPaperPageId, nullptr);
        if (page && ::IsWindowVisible(page))
            return page;
        HWND list = Descendant(frame, 0, L"SysListView32");
        if (!list)
            return nullptr;
        const int height =
            HIWORD(::SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 1, MAKELPARAM(-1, -1)));
        const LPARAM at = MAKELPARAM(40, kPaperRow * height + height / 2);
        ::PostMessageW(list, WM_MOUSEMOVE, 0, at);
        ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(list, WM_LBUTTONUP, 0, at);
        PumpUntil(
            [&] {
                page = Descendant(frame, kPaperPageId, nullptr);
                return page && ::IsWindowVisible(page);
            },
            15000);
        return page;
    }
};

TEST_F(PaperFileModeRun, ThePaperWidthChosenOnThePageReachesThePrinterThroughTheCommandFile) {
    const std::wstring output = Folder() + L"\\R40.dat";
    // A first run registers the file mode's printer and its settings file.
    HWND frame = StartFileMode(output);
    ASSERT_NE(frame, nullptr);
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(Answer(IDNO), L"Do you want to save the settings to the file?");
    ASSERT_TRUE(program_.Wait(20000));
    const std::u16string settings = FileModeSettingsPath();
    ASSERT_FALSE(settings.empty());

    // The logo block belongs to the logo page, which this installation lacks: the test puts
    // one without logos into the printer's settings file. Every other block is the plug-in's.
    PluginDataMgr stored;
    LogoSettingBlock logo{};
    std::memcpy(logo.header.magic, &kPluginBlockMagic, sizeof logo.header.magic);
    logo.header.key = kLogoSettingBlockKey;
    ASSERT_EQ(stored.CreateBlock(kLogoSettingBlockKey, 0x10000, sizeof logo), 0);
    ASSERT_EQ(stored.WriteBlock(kLogoSettingBlockKey, sizeof logo, &logo), 0);
    stored.SetSaveFlag(1);
    ASSERT_EQ(stored.SaveSettingsFile(u"QK-R40", settings.c_str(), 0x00010000, 0x00010000), 1);

    frame = StartFileMode(output);
    ASSERT_NE(frame, nullptr);
    HWND page = ShowPaperPage(frame);
    ASSERT_NE(page, nullptr) << "the paper entry opens its page";
    HWND combo = ::GetDlgItem(page, kPaperWidthCombo);
    ASSERT_NE(combo, nullptr);
    const LRESULT count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    LRESULT narrow = -1;
    for (LRESULT i = 0; i < count; ++i)
        if (::SendMessageW(combo, CB_GETITEMDATA, i, 0) == 2)
            narrow = i;
    ASSERT_GE(narrow, 0) << "58 mm is offered";
    ::SendMessageW(combo, CB_SETCURSEL, narrow, 0);
    ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(kPaperWidthCombo, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));

    const std::vector<uint8_t> file = CloseSavingTheCommandFile(frame, output);
    ASSERT_GT(file.size(), 256u);

    sim::PrinterState state;
    sim::SetupMemory memory;
    sim::CommandInterpreter printer(state, memory);
    std::vector<uint8_t> answers;
    printer.Feed(file.data() + 256, file.size() - 256, answers);
    EXPECT_EQ(printer.Pending(), 0u);
    EXPECT_EQ(memory.CustomValue(3), 2) << "58 mm paper";
    EXPECT_EQ(memory.CustomValue(6), 3) << "the factory speed, carried";
    EXPECT_FALSE(memory.InUserMode());
}

} // namespace
} // namespace qk::test
