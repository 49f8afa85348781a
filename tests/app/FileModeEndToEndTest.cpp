// The real QK40UTL.exe in the file mode: the settings stored for the file mode's printer are
// loaded at start, and Yes to the question at exit writes the settings command file from them.
#include <windows.h>

#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "app/status/SettingsCommandFile.h"
#include "framework/store/PluginDataMgr.h"
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "tests/app/StartupEndToEndFixture.h"

namespace qk::test {
namespace {

constexpr wchar_t kCaption[] = L"QK-R40 Utility";

class FileModeRun : public UtilityRun {
protected:
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
    for (auto [key, size] : {std::pair{0x10003u, 48u},
                             {0x10005u, 152u},
                             {0x10006u, 52u},
                             {0x10007u, 68u},
                             {0x1000Au, 60u},
                             {0x1000Bu, 248u}}) {
        std::vector<uint8_t> block(size, 0);
        const PluginBlockHeader header{{'P', 'N', 'D', 0}, key, 1, size, {}};
        std::memcpy(block.data(), &header, sizeof header);
        block[40] = static_cast<uint8_t>(key);
        ASSERT_EQ(stored.CreateBlock(key, 1, size), 0);
        ASSERT_EQ(stored.WriteBlock(key, size, block.data()), 0);
    }
    stored.SetSaveFlag(1);
    ASSERT_EQ(stored.SaveSettingsFile(u"QK-R40", settings.c_str(), 0x00010000, 0x00010000), 1);
    std::vector<uint8_t> section;
    ASSERT_EQ(app::BuildSettingsSection(stored, false, false, section), 0);

    frame = StartFileMode(output);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(CloseAnswering(frame, IDYES), L"Do you want to save the settings to the file?");
    ASSERT_TRUE(program_.Wait(20000))
        << "a warning is waiting: "
        << testing::PrintToString(WaitForMessageBox(program_.Id(), 0).text);
    EXPECT_EQ(program_.ExitCode(), 1u);
    std::vector<uint8_t> file;
    ASSERT_TRUE(os::RealFileSystem().ReadFile(FromWide(output), file));
    ASSERT_EQ(file.size(), 256 + section.size());
    EXPECT_TRUE(std::equal(section.begin(), section.end(), file.begin() + 256));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data()) + 4, 8), "QK-R40\r\n");
}

TEST_F(FileModeRun, YesWithAnUnwritableTargetWarnsAndLeavesTheFileAlone) {
    const std::wstring output = Folder() + L"\\locked.dat";
    const std::vector<uint8_t> earlier(64, 0x42);
    ASSERT_TRUE(os::RealFileSystem().WriteFile(FromWide(output), earlier));
    ::SetFileAttributesW(output.c_str(), FILE_ATTRIBUTE_READONLY);

    HWND frame = StartFileMode(output);
    ASSERT_NE(frame, nullptr);
    CloseAnswering(frame, IDYES);
    MessageBoxView warning = WaitForMessageBox(program_.Id(), 20000);
    ::SetFileAttributesW(output.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_NE(warning.hwnd, nullptr);
    EXPECT_EQ(warning.caption, kCaption);
    EXPECT_EQ(warning.text, L"Saving to the file failed.");
    PressButton(warning.hwnd, IDOK);
    ASSERT_TRUE(program_.Wait(20000));
    std::vector<uint8_t> file;
    ASSERT_TRUE(os::RealFileSystem().ReadFile(FromWide(output), file));
    EXPECT_EQ(file, earlier);
}

// A settings file that cannot be replaced at exit (a read-only file, as on a read-only data
// folder or a full disk) keeps its earlier bytes, and the operator is told.
TEST_F(FileModeRun, ASettingsFileThatCannotBeWrittenAtExitIsKeptAndTheOperatorIsTold) {
    const std::wstring output = Folder() + L"\\R40.dat";
    std::u16string settings = FileModeSettingsPath();
    if (settings.empty() || !os::RealFileSystem().Exists(settings)) {
        HWND first = StartFileMode(output);
        ASSERT_NE(first, nullptr);
        CloseAnswering(first, IDNO);
        ASSERT_TRUE(program_.Wait(20000));
        settings = FileModeSettingsPath();
    }
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
