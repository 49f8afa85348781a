// Starting programs and waiting for them: the same cases against the fake launcher and the
// real one. The real world starts a helper program built beside the tests, whose exit code,
// run time and window the arguments choose.
#include <windows.h>
#include <gtest/gtest.h>
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "tests/platform/os/OsWorlds.h"
#include "tests/support/WindowDriver.h"
#include "tests/support/fakes/FakeProcessLauncher.h"

namespace qk::test {
namespace {

// Long enough for any start under Wine, short enough to keep a hung case bounded.
constexpr uint32_t kStartMs = 30000;

std::u16string ChildPath() {
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::u16string path = FromWide(std::wstring_view(self, n));
    return path.substr(0, path.find_last_of(u'\\') + 1) + u"os_test_child.exe";
}

// A program as a file and its parameters.
struct Program {
    std::u16string file;
    std::u16string parameters;
};

class RealLaunchWorld {
public:
    static constexpr const char* kName = "Real";
    os::IProcessLauncher& Launcher() { return os::RealProcessLauncher(); }
    Program Exits(uint32_t code) { return {ChildPath(), u"--exit " + Number(code)}; }
    Program RunsLong() { return {ChildPath(), u"--sleep 120000 --exit 1"}; }
    Program ShowsAWindow() { return {ChildPath(), u"--window --sleep 120000"}; }
    Program Missing() { return {ChildPath() + u".missing.exe", u""}; }

private:
    static std::u16string Number(uint32_t n) {
        std::string s = std::to_string(n);
        return std::u16string(s.begin(), s.end());
    }
};

class FakeLaunchWorld {
public:
    static constexpr const char* kName = "Fake";
    FakeLaunchWorld() : launcher_(&clock_) {
        FakeProcessLauncher::Program longRun;
        longRun.endsByItself = false;
        longRun.hasMessageLoop = false;
        launcher_.SetProgram(u"C:\\tools\\long.exe", longRun);
        FakeProcessLauncher::Program window;
        window.endsByItself = false;
        window.readyAfterMs = 300;
        launcher_.SetProgram(u"C:\\tools\\window.exe", window);
        FakeProcessLauncher::Program missing;
        missing.starts = false;
        launcher_.SetProgram(u"C:\\tools\\missing.exe", missing);
    }
    os::IProcessLauncher& Launcher() { return launcher_; }
    Program Exits(uint32_t code) {
        FakeProcessLauncher::Program p;
        p.exitCode = code;
        p.runMs = 40;
        p.hasMessageLoop = false;
        launcher_.SetProgram(u"C:\\tools\\exit.exe", p);
        return {u"C:\\tools\\exit.exe", u""};
    }
    Program RunsLong() { return {u"C:\\tools\\long.exe", u""}; }
    Program ShowsAWindow() { return {u"C:\\tools\\window.exe", u""}; }
    Program Missing() { return {u"C:\\tools\\missing.exe", u""}; }

private:
    FakeClock clock_;
    FakeProcessLauncher launcher_;
};

template <typename World> class ProcessContract : public ::testing::Test {
protected:
    World world;
    os::IProcessLauncher& launcher = world.Launcher();
};

struct WorldNames {
    template <typename T> static std::string GetName(int) { return T::kName; }
};
using Worlds = ::testing::Types<FakeLaunchWorld, RealLaunchWorld>;
TYPED_TEST_SUITE(ProcessContract, Worlds, WorldNames);

TYPED_TEST(ProcessContract, StartWaitAndReadTheExitCode) {
    const Program p = this->world.Exits(3);
    const os::ProcessId process = this->launcher.Start(p.file, p.parameters, u"");
    ASSERT_NE(process, 0u);
    EXPECT_NE(this->launcher.SystemId(process), 0u);
    EXPECT_EQ(this->launcher.Wait(process, kStartMs), os::WaitResult::Ended);
    uint32_t code = 0xDEADBEEF;
    EXPECT_TRUE(this->launcher.ExitCode(process, code));
    EXPECT_EQ(code, 3u);
    EXPECT_EQ(this->launcher.Wait(process, 0), os::WaitResult::Ended); // stays ended
    this->launcher.Close(process);
}

TYPED_TEST(ProcessContract, CommandLineAndShellStartsKeepTheProcess) {
    const Program p = this->world.Exits(5);
    const os::ProcessId byLine =
        this->launcher.StartCommandLine(u"\"" + p.file + u"\" " + p.parameters, u"");
    ASSERT_NE(byLine, 0u);
    EXPECT_EQ(this->launcher.Wait(byLine, kStartMs), os::WaitResult::Ended);
    uint32_t code = 0;
    EXPECT_TRUE(this->launcher.ExitCode(byLine, code));
    EXPECT_EQ(code, 5u);
    this->launcher.Close(byLine);

    const Program q = this->world.Exits(4);
    const os::ProcessId byShell = this->launcher.ShellOpenProcess(q.file, q.parameters, u"");
    ASSERT_NE(byShell, 0u);
    EXPECT_EQ(this->launcher.Wait(byShell, kStartMs), os::WaitResult::Ended);
    EXPECT_TRUE(this->launcher.ExitCode(byShell, code));
    EXPECT_EQ(code, 4u);
    this->launcher.Close(byShell);
}

TYPED_TEST(ProcessContract, WaitTimesOutOnALongRunningProgramThatIsThenEnded) {
    const Program p = this->world.RunsLong();
    const os::ProcessId process = this->launcher.Start(p.file, p.parameters, u"");
    ASSERT_NE(process, 0u);
    EXPECT_EQ(this->launcher.Wait(process, 200), os::WaitResult::TimedOut);
    uint32_t code = 0xDEADBEEF;
    EXPECT_FALSE(this->launcher.ExitCode(process, code)); // still running
    EXPECT_EQ(code, 0xDEADBEEFu);
    EXPECT_TRUE(this->launcher.Terminate(process, 9));
    EXPECT_EQ(this->launcher.Wait(process, kStartMs), os::WaitResult::Ended);
    EXPECT_TRUE(this->launcher.ExitCode(process, code));
    EXPECT_EQ(code, 9u);
    this->launcher.Close(process);
}

TYPED_TEST(ProcessContract, MissingProgramsDoNotStart) {
    const Program p = this->world.Missing();
    EXPECT_EQ(this->launcher.Start(p.file, p.parameters, u""), 0u);
    EXPECT_EQ(this->launcher.StartCommandLine(u"\"" + p.file + u"\"", u""), 0u);
    EXPECT_EQ(this->launcher.ShellOpenProcess(p.file, p.parameters, u""), 0u);
    EXPECT_FALSE(this->launcher.ShellOpen(p.file, p.parameters, u""));
    EXPECT_EQ(this->launcher.Wait(0, 10), os::WaitResult::Failed);
}

TYPED_TEST(ProcessContract, WaitUntilReadyForAWindowedProgram) {
    const Program p = this->world.ShowsAWindow();
    const os::ProcessId process = this->launcher.Start(p.file, p.parameters, u"");
    ASSERT_NE(process, 0u);
    EXPECT_EQ(this->launcher.WaitUntilReady(process, kStartMs), os::ReadyResult::Ready);
    EXPECT_EQ(this->launcher.Wait(process, 0), os::WaitResult::TimedOut);
    EXPECT_TRUE(this->launcher.Terminate(process, 0));
    EXPECT_EQ(this->launcher.Wait(process, kStartMs), os::WaitResult::Ended);
    this->launcher.Close(process);
}

// ---- Only the real launcher --------------------------------------------------------------

TEST(Win32ProcessLauncher, CmdExitCodeThree) {
    os::IProcessLauncher& launcher = os::RealProcessLauncher();
    const os::ProcessId process = launcher.Start(u"cmd.exe", u"/c exit 3", u"");
    ASSERT_NE(process, 0u);
    ASSERT_EQ(launcher.Wait(process, kStartMs), os::WaitResult::Ended);
    uint32_t code = 0;
    EXPECT_TRUE(launcher.ExitCode(process, code));
    EXPECT_EQ(code, 3u);
    launcher.Close(process);
}

// Started for certain: the program leaves a file in the folder it was given.
TEST(Win32ProcessLauncher, ShellOpenStartsTheProgramInTheGivenFolder) {
    RealWorld world;
    ASSERT_TRUE(
        os::RealProcessLauncher().ShellOpen(u"cmd.exe", u"/c echo ran> ran.txt", world.Root()));
    const std::u16string ran = world.Root() + u"\\ran.txt";
    EXPECT_TRUE(PollUntil([&] { return !world.Bytes(ran).empty(); }, kStartMs))
        << "the program left no file";
}

TEST(Win32ProcessLauncher, StartsInTheGivenFolder) {
    RealWorld world;
    os::IProcessLauncher& launcher = os::RealProcessLauncher();
    // cmd writes its current folder into a file there.
    const os::ProcessId process = launcher.Start(u"cmd.exe", u"/c cd > where.txt", world.Root());
    ASSERT_NE(process, 0u);
    ASSERT_EQ(launcher.Wait(process, kStartMs), os::WaitResult::Ended);
    launcher.Close(process);
    const std::vector<uint8_t> bytes = world.Bytes(world.Root() + u"\\where.txt");
    std::u16string text = DecodeText(bytes);
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r')) {
        text.pop_back();
    }
    EXPECT_TRUE(EqualsNoCase(text, world.Root())) << Show(text);
}

} // namespace
} // namespace qk::test
