// Known folders and the clock: the real ones answer sensibly under Wine; the fakes answer
// what they were given.
#include <windows.h>
#include <gtest/gtest.h>
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "tests/platform/os/OsWorlds.h"

namespace qk::test {
namespace {

TEST(Win32KnownFolders, ExecutablePathIsThisProgram) {
    const std::u16string path = os::RealKnownFolders().ExecutablePath();
    ASSERT_GT(path.size(), 13u);
    EXPECT_TRUE(EqualsNoCase(path.substr(path.size() - 13), u"\\os_tests.exe")) << Show(path);
    EXPECT_TRUE(os::RealFileSystem().Exists(path));
}

TEST(Win32KnownFolders, FoldersExistWithoutATrailingBackslash) {
    os::IKnownFolders& folders = os::RealKnownFolders();
    struct Row {
        const char* name;
        std::u16string path;
    } rows[] = {
        {"CommonAppData", folders.CommonAppData()}, {"UserAppData", folders.UserAppData()},
        {"ProgramFiles", folders.ProgramFiles()},   {"CommonStartMenu", folders.CommonStartMenu()},
        {"UserStartMenu", folders.UserStartMenu()},
    };
    for (const Row& r : rows) {
        ASSERT_GT(r.path.size(), 3u) << r.name;
        EXPECT_EQ(r.path[1], u':') << r.name << " " << Show(r.path);
        EXPECT_NE(r.path.back(), u'\\') << r.name;
        EXPECT_TRUE(os::RealFileSystem().IsDirectory(r.path)) << r.name << " " << Show(r.path);
    }
    EXPECT_NE(folders.CommonAppData(), folders.UserAppData());
}

TEST(Win32KnownFolders, EnvironmentVariables) {
    os::IKnownFolders& folders = os::RealKnownFolders();
    std::u16string value = u"untouched";
    SetEnvironmentVariableW(L"QK_OS_TEST_VAR", nullptr);
    EXPECT_FALSE(folders.Environment(u"QK_OS_TEST_VAR", value));
    EXPECT_EQ(Show(value), "untouched");
    SetEnvironmentVariableW(L"QK_OS_TEST_VAR", L"C:\\Program Files");
    EXPECT_TRUE(folders.Environment(u"qk_os_test_var", value));
    EXPECT_EQ(Show(value), "C:\\Program Files");
    SetEnvironmentVariableW(L"QK_OS_TEST_VAR", nullptr);
    EXPECT_FALSE(folders.Environment(u"QK_OS_TEST_VAR", value));
}

TEST(Win32Clock, TicksMoveForwardAndTheWallClockIsTheSystemTime) {
    os::IClock& clock = os::RealClock();
    const uint64_t before = clock.NowMs();
    clock.Sleep(30);
    EXPECT_GT(clock.NowMs(), before);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const uint64_t unixSeconds = ticks / 10000000u - 11644473600u;
    const uint32_t seconds = clock.NowSeconds();
    EXPECT_LE(seconds > unixSeconds ? seconds - unixSeconds : unixSeconds - seconds, 2u);
}

} // namespace
} // namespace qk::test
