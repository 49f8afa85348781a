// The start's settings read through the real program and the simulator: a complete read says
// nothing, and the printer's settings file that the exit writes holds what the printer
// answered; a read that one plug-in could not finish (the printer leaves its question
// unanswered) says so and is never saved as if it were complete.
#include <windows.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include "framework/store/PluginDataMgr.h"
#include "framework/store/PrinterInfoBlock.h"
#include "framework/store/PrinterSettingBlocks.h"
#include "platform/Text.h"
#include "tests/app/StartupEndToEndFixture.h"

namespace qk::test {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kIncomplete[] = L"Could not get some settings from the printer.";

std::string ReadBytes(const std::u16string& path) {
    std::ifstream file(fs::path(ToWide(path)), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

struct SettingsRead : UtilityRun {
    std::u16string SettingsFile() const {
        PluginDataMgr store;
        store.LoadPrinterList(DataFolder().c_str());
        return store.SettingsPathOf(u"QK-R40", FromWide(PortNameForTest()));
    }
    void TearDown() override {
        UtilityRun::TearDown();
        const std::u16string path = SettingsFile();
        std::error_code error;
        if (!path.empty())
            fs::remove(fs::path(ToWide(path)), error);
    }
};

TEST_F(SettingsRead, IsSavedOnlyWhenEveryPluginReadItsSettings) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    RegisterSelectablePort();
    HWND frame = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartThroughSelection(frame));
    EXPECT_EQ(MessageBoxWithin(program_.Id()).hwnd, nullptr) << "every reader succeeded";
    ASSERT_TRUE(Close(program_, frame));

    // The file holds the printer's answers: its name and the paper settings it was built with
    // (80 mm paper, the fastest speed).
    const std::u16string path = SettingsFile();
    ASSERT_FALSE(path.empty()) << "the printer was not registered";
    const std::string complete = ReadBytes(path);
    ASSERT_FALSE(complete.empty()) << "a complete read was not saved";
    PluginDataMgr saved;
    ASSERT_EQ(saved.LoadSettingsFile(path.c_str()), 0);
    PrinterInfoBlock info{};
    ASSERT_EQ(saved.ReadBlock(kPrinterInfoBlockKey, &info, sizeof info), 0);
    EXPECT_EQ(std::u16string(info.strings[1]), u"QK-R40");
    EXPECT_EQ(info.informationRead, 1);
    PaperSettingBlock paper{};
    ASSERT_EQ(saved.ReadBlock(kPaperSettingBlockKey, &paper, sizeof paper), 0);
    EXPECT_EQ(paper.paperSize, 6);
    EXPECT_EQ(paper.speed, 3);

    // The printer no longer answers the paper width: the paper page's reader fails, the read
    // says so once, and the exit leaves the complete read's file as it was.
    ASSERT_EQ(PrinterControl(L"mute custom 3"), "OK");
    ASSERT_NO_FATAL_FAILURE(StartThroughSelection(frame, {}, false));
    MessageBoxView box = WaitForMessageBox(program_.Id(), 90000);
    ASSERT_NE(box.hwnd, nullptr) << "the incomplete read said nothing";
    EXPECT_EQ(box.text, kIncomplete);
    PressButton(box.hwnd, IDOK);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(box.hwnd); }, 10000));
    ASSERT_TRUE(PumpUntil([&] { return TopLevelWindows(program_.Id(), L"#32770").empty(); }, 30000))
        << "a second message: " << testing::PrintToString(WaitForMessageBox(program_.Id(), 0).text);
    ASSERT_TRUE(Close(program_, frame));
    EXPECT_EQ(ReadBytes(path), complete) << "the incomplete read was saved";
}

} // namespace
} // namespace qk::test
