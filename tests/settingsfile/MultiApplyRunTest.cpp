// The several printers' runs over the process, clock and file fakes: never two runs on one
// port, a run that overstays is ended and the rest go on, a program that cannot start leaves
// every row ended, and a result file is only taken when it is the run's own.
#include <gtest/gtest.h>
#include <map>
#include "framework/plugin/UnattendedResultFile.h"
#include "plugins/settingsfile/MultiApplyRun.h"
#include "tests/support/fakes/FakeClock.h"
#include "tests/support/fakes/FakeFileSystem.h"
#include "tests/support/fakes/FakeProcessLauncher.h"

namespace qk::test {
namespace {

using settingsfile::ChildRow;
using settingsfile::ChildState;

constexpr char16_t kProgram[] = u"C:\\QK40UTL.exe";
constexpr char16_t kData[] = u"C:\\Data";

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

struct Runs {
    FakeClock clock;
    FakeProcessLauncher processes{&clock};
    FakeFileSystem files;
    settingsfile::CMultiApplyRun Make(uint32_t childMs = 180000) {
        return settingsfile::CMultiApplyRun(processes, clock, files, kProgram, u"C:\\a b.dat",
                                            kData, {8, childMs, 50});
    }
};

TEST(MultiApplyRun, TwoRowsOnOnePortRunOneAfterTheOtherAndStaleResultsAreNotTaken) {
    Runs runs;
    runs.processes.SetProgram(kProgram, {true, 1000, true, 14});
    // Left by an earlier run on COM2: it must not be read as this run's.
    runs.files.AddFile(UnattendedResultPath(kData, u"COM2"), Bytes("14\tlost\r\n"));
    settingsfile::CMultiApplyRun run = runs.Make();
    for (const char16_t* port : {u"COM1", u"com1", u"COM2"})
        run.AddTarget(port);
    std::map<size_t, ChildState> states;
    int sharedPort = 0;
    run.Run([&](size_t row, const ChildRow& now) {
        states[row] = now.state;
        sharedPort += states[0] == ChildState::Running && states[1] == ChildState::Running;
    });
    EXPECT_EQ(sharedPort, 0) << "COM1 and com1 ran at once";
    ASSERT_EQ(runs.processes.Launches().size(), 3u);
    EXPECT_EQ(runs.processes.Launches()[0].parameters, u"/a\"C:\\a b.dat\" /o\"COM1\"");
    for (const ChildRow& row : run.Rows()) {
        EXPECT_EQ(row.state, ChildState::Ended);
        EXPECT_EQ(row.exitCode, 14);
        EXPECT_FALSE(row.summary.read);
    }
    EXPECT_EQ(runs.processes.OpenHandles(), 0);
}

TEST(MultiApplyRun, RunsThatOverstayAreEndedAndOnesThatCannotStartEndAtOnce) {
    Runs runs;
    runs.processes.SetProgram(kProgram, {true, 0, false, 0});
    settingsfile::CMultiApplyRun hanging = runs.Make(5000);
    hanging.AddTarget(u"COM1");
    hanging.AddTarget(u"COM2");
    const uint64_t start = runs.clock.NowMs();
    hanging.Run(nullptr);
    for (const ChildRow& row : hanging.Rows())
        EXPECT_EQ(row.state, ChildState::TimedOut);
    EXPECT_LT(runs.clock.NowMs() - start, 20000u) << "both were waited for side by side";
    EXPECT_EQ(runs.processes.OpenHandles(), 0);

    Runs none;
    none.processes.SetUnknownProgramsFail(true);
    settingsfile::CMultiApplyRun missing = none.Make();
    missing.AddTarget(u"COM1");
    missing.AddTarget(u"COM2");
    missing.Run(nullptr);
    for (const ChildRow& row : missing.Rows())
        EXPECT_EQ(row.state, ChildState::NotStarted);
}

TEST(MultiApplyRun, AResultFileCountsItsSettingsOnlyUnderItsRunsExitCode) {
    const std::string text = "0\tapplied and verified\r\nfile\tx.dat\r\nport\tCOM1\r\n"
                             "mode\tapply\r\nsetting\tfile\tbefore\tafter\toutcome\r\n"
                             "logo graphic\t40 bytes\t\t\tsent\r\n"
                             "customized value 3\t2\t6\t2\tholds\r\n"
                             "customized value 8\t19\t19\t20\tdiffers\r\n"
                             "memory switch 6\t22222221\t22222220\t22222221\tholds\r\n";
    const settingsfile::ResultSummary summary = settingsfile::SummarizeResultFile(text, 0);
    EXPECT_TRUE(summary.read);
    EXPECT_EQ(summary.settings, 3u);
    EXPECT_EQ(summary.holding, 2u);
    EXPECT_FALSE(settingsfile::SummarizeResultFile(text, 14).read);
    EXPECT_FALSE(settingsfile::SummarizeResultFile("", 0).read);
}

} // namespace
} // namespace qk::test
