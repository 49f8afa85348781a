// The real QK40UTL.exe in the file mode: the settings stored for the file mode's printer are
// loaded at start, and Yes to the question at exit writes the settings command file from them.
#include <windows.h>

#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "framework/store/PluginDataMgr.h"
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "tests/app/SettingsSectionSample.h"
#include "tests/app/StartupEndToEndFixture.h"

namespace qk::test {
namespace {

constexpr wchar_t kCaption[] = L"QK-R40 Utility";

class FileModeRun : public UtilityRun {
protected:
    // Each case starts without, and leaves no, stored settings of the file mode's printer: a
    // later run would load them (and these cases store sample values that its page asks about).
    void SetUp() override {
        UtilityRun::SetUp();
        ForgetStoredSettings();
    }
    void TearDown() override {
        ForgetStoredSettings();
        UtilityRun::TearDown();
    }
    static void ForgetStoredSettings() {
        const std::u16string settings = FileModeSettingsPath();
        if (!settings.empty()) {
            ::SetFileAttributesW(WidePtr(settings), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(WidePtr(settings));
        }
    }

    // Whether a read-only file keeps the program's writes out here: the file system seam that
    // the program writes through is tried on a read-only file of the test's own. As root under
    // Wine it does not (the attribute is the file's write permission, which root passes by).
    bool ReadOnlyKeepsWritesOut() {
        const std::u16string probe = FromWide(Folder() + L"\\read-only-probe.dat");
        if (!os::RealFileSystem().WriteFile(probe, {1}))
            return false;
        ::SetFileAttributesW(WidePtr(probe), FILE_ATTRIBUTE_READONLY);
        const bool written = os::RealFileSystem().WriteFile(probe, {2});
        ::SetFileAttributesW(WidePtr(probe), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(WidePtr(probe));
        return !written;
    }

    // Closes the main window and answers the save question.
    std::wstring CloseAnswering(HWND frame, int answer) {
        ::PostMessageW(frame, WM_CLOSE, 0, 0);
        return Answer(answer);
    }
};

TEST_F(FileModeRun, YesWritesTheCommandFileFromTheStoredSettingsAndNoWritesNone) {
    const std::wstring output = Folder() + L"\\R40.dat";

    // A first run registers the file mode's printer and its settings file.
    HWND frame = StartFileMode(output);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(CloseAnswering(frame, IDNO), L"Do you want to save the settings to the file?");
    ASSERT_TRUE(program_.Wait(20000));
    EXPECT_EQ(::GetFileAttributesW(output.c_str()), INVALID_FILE_ATTRIBUTES) << "No writes none";
    const std::u16string settings = FileModeSettingsPath();
    ASSERT_FALSE(settings.empty()) << "the exit registers the file mode's printer";

    // What the pages would have stored for it.
    PluginDataMgr stored;
    SettingsBlocks blocks;
    blocks.StoreAsThePagesDo(stored);
    stored.SetSaveFlag(1);
    ASSERT_EQ(stored.SaveSettingsFile(u"QK-R40", settings.c_str(), 0x00010000, 0x00010000), 1);
    // The file mode's printer has neither font row switched on.
    const std::vector<uint8_t> section = ExpectedSection(false, false);

    frame = StartFileMode(output);
    ASSERT_NE(frame, nullptr);
    // The shown page holds sample values its controls cannot show as stored, so it asks first;
    // No leaves the stored blocks as they are.
    EXPECT_EQ(CloseAnswering(frame, IDNO),
              L"Do you want to save your changes to the settings to the printer?");
    EXPECT_EQ(Answer(IDYES), L"Do you want to save the settings to the file?");
    ASSERT_TRUE(program_.Wait(20000))
        << "a warning is waiting: "
        << testing::PrintToString(WaitForMessageBox(program_.Id(), 0).text);
    EXPECT_EQ(program_.ExitCode(), 1u);
    std::vector<uint8_t> file;
    ASSERT_TRUE(os::RealFileSystem().ReadFile(FromWide(output), file));
    ASSERT_GE(file.size(), 256u);
    EXPECT_EQ(HexOf(std::vector<uint8_t>(file.begin() + 256, file.end())), HexOf(section));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data()) + 4, 8), "QK-R40\r\n");
}

// A settings file that cannot be replaced at exit (a read-only file, as on a read-only data
// folder or a full disk) keeps its earlier bytes, and the operator is told.
TEST_F(FileModeRun, ASettingsFileThatCannotBeWrittenAtExitIsKeptAndTheOperatorIsTold) {
    if (!ReadOnlyKeepsWritesOut())
        GTEST_SKIP() << "a read-only file is written all the same here (root under Wine): no "
                        "write can be made to fail this way";
    const std::wstring output = Folder() + L"\\R40.dat";
    // A first run of its own registers the printer and writes its settings file.
    HWND first = StartFileMode(output);
    ASSERT_NE(first, nullptr);
    CloseAnswering(first, IDNO);
    ASSERT_TRUE(program_.Wait(20000));
    const std::u16string settings = FileModeSettingsPath();
    ASSERT_FALSE(settings.empty()) << "the exit registers the file mode's printer";
    std::vector<uint8_t> earlier;
    ASSERT_TRUE(os::RealFileSystem().ReadFile(settings, earlier));
    ::SetFileAttributesW(WidePtr(settings), FILE_ATTRIBUTE_READONLY);

    HWND frame = StartFileMode(output);
    ASSERT_NE(frame, nullptr);
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    MessageBoxView warning = WaitForMessageBox(program_.Id(), 20000);
    ::SetFileAttributesW(WidePtr(settings), FILE_ATTRIBUTE_NORMAL);
    ASSERT_NE(warning.hwnd, nullptr) << "the failed save went unreported";
    EXPECT_EQ(warning.caption, kCaption);
    EXPECT_EQ(warning.text,
              L"The printer's settings could not be saved. The earlier settings file is kept.");
    PressButton(warning.hwnd, IDOK);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(warning.hwnd); }, 10000));
    MessageBoxView question = WaitForMessageBox(program_.Id(), 20000);
    ASSERT_NE(question.hwnd, nullptr);
    PressButton(question.hwnd, IDNO);
    ASSERT_TRUE(program_.Wait(20000));
    std::vector<uint8_t> file;
    ASSERT_TRUE(os::RealFileSystem().ReadFile(settings, file));
    EXPECT_EQ(file, earlier);
}

} // namespace
} // namespace qk::test
