// The real program started under Wine against the printer simulator: the start-up paths that
// open a printer given on the command line, the single instance, and the described-printer
// mode's exit codes. Message boxes of the program are read and answered here.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <utility>
#include "framework/store/PluginDataMgr.h"
#include "platform/Text.h"
#include "tests/app/StartupEndToEndFixture.h"

namespace qk::test {
namespace {

constexpr wchar_t kCaption[] = L"QK-R40 Utility";
const std::string kStopTool = "QKRestoreAppStop.exe";
const std::string kExitTool = "QKRestoreApp.exe";

TEST_F(UtilityRun, RemoteDevicePathOpensThePrinterAndRunsBothRestoreTools) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    ASSERT_TRUE(Launch(program_, L"/bM /mR /r" + DevicePath()));
    HWND frame = WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
    ASSERT_NE(frame, nullptr) << "no main window; message: "
                              << testing::PrintToString(WaitForMessageBox(program_.Id(), 0).text);
    EXPECT_EQ(MessageBoxWithin(program_.Id()).hwnd, nullptr) << "the printer answered";
    EXPECT_TRUE(PumpUntil([&] { return TopLevelWindows(program_.Id(), L"").size() == 1; }, 5000))
        << "the splash is gone";
    // The communication test and the open each connect.
    std::string connections = PrinterControl(L"get connections");
    ASSERT_EQ(connections.rfind("OK ", 0), 0u) << connections;
    EXPECT_GE(std::atoi(connections.c_str() + 3), 2) << connections;
    EXPECT_TRUE(WaitForRestoreRuns(kStopTool)) << "started once the main window is up";

    ASSERT_TRUE(Close(program_, frame));
    EXPECT_EQ(program_.ExitCode(), 1u);
    EXPECT_TRUE(WaitForRestoreRuns(kExitTool)) << "started at exit";
    std::vector<std::string> runs = RestoreRuns();
    EXPECT_EQ(std::count(runs.begin(), runs.end(), kStopTool), 1);
    EXPECT_EQ(std::count(runs.begin(), runs.end(), kExitTool), 1);
}

TEST_F(UtilityRun, RemoteDevicePathOfARefusingPrinterWarnsAndStillStarts) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    ASSERT_EQ(PrinterControl(L"refuse on").rfind("OK", 0), 0u);
    ASSERT_TRUE(Launch(program_, L"/bM /mR /r" + DevicePath()));
    MessageBoxView box = WaitForMessageBox(program_.Id(), 30000);
    ASSERT_NE(box.hwnd, nullptr) << "no warning";
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.text, L"Cannot communicate with the printer.");
    PressButton(box.hwnd, IDOK);

    HWND frame = WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
    ASSERT_NE(frame, nullptr) << "the program starts without the printer";
    ASSERT_TRUE(Close(program_, frame));
    EXPECT_EQ(program_.ExitCode(), 1u);
}

// The program runs with administrator rights: the maker's libraries come from its own folder
// only, never from the folder it was started in.
TEST_F(UtilityRun, LibrariesAreNeverTakenFromTheFolderTheProgramStartsIn) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const std::wstring program = MakeProgramFolder(true);
    namespace fs = std::filesystem;
    fs::copy_file(fs::path(StageDir() + L"QKComm.dll"), fs::path(program + L"QKComm.dll"));
    // Without the printer information library the settings read cannot identify the printer;
    // a copy lies in the starting folder.
    fs::copy_file(fs::path(StageDir() + L"PrinfoLib.dll"), fs::path(Folder() + L"\\PrinfoLib.dll"));
    ASSERT_TRUE(Launch(program_, L"/bM /p" + RegisterPortMonitorPort(), program));
    HWND frame = WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
    ASSERT_NE(frame, nullptr);
    MessageBoxView box = WaitForMessageBox(program_.Id(), 30000);
    ASSERT_NE(box.hwnd, nullptr) << "the library of the starting folder identified the printer";
    EXPECT_EQ(box.text, L"A communication error occurred.");
    PressButton(box.hwnd, IDOK);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(box.hwnd); }, 10000));
    ASSERT_TRUE(Close(program_, frame));
}

TEST_F(UtilityRun, RemoteDevicePathHeldByAnotherApplicationEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    ASSERT_NO_FATAL_FAILURE(HoldPort());
    ASSERT_TRUE(Launch(program_, L"/bM /mR /r" + DevicePath()));
    MessageBoxView box = WaitForMessageBox(program_.Id(), 30000);
    ASSERT_NE(box.hwnd, nullptr) << "no warning";
    EXPECT_EQ(box.caption, kCaption);
    EXPECT_EQ(box.text, L"Cannot launch the printer because it is in use by another application.");
    EXPECT_EQ(TopLevelWindows(program_.Id(), L""), std::vector<HWND>{box.hwnd})
        << "the splash closes before the message";
    PressButton(box.hwnd, IDOK);
    ASSERT_TRUE(program_.Wait(20000)) << "the program goes on";
    EXPECT_EQ(program_.ExitCode(), 1u);
    EXPECT_TRUE(WaitForRestoreRuns(kExitTool)) << "the exit sequence runs after a failed start";
    std::vector<std::string> runs = RestoreRuns();
    EXPECT_EQ(std::count(runs.begin(), runs.end(), kStopTool), 0) << "no main window";
}

TEST_F(UtilityRun, SecondInstanceRestoresTheFirstExceptInDescribedPrinterMode) {
    // The first copy holds the instance mutex; the file mode needs no printer.
    ASSERT_TRUE(Launch(program_, L"/mF" + Folder() + L"\\settings.dat"));
    HWND frame = WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
    ASSERT_NE(frame, nullptr);
    // Minimised, the first copy's window shows for certain whether it was brought back: the
    // foreground alone can move for reasons of other programs.
    ::ShowWindow(frame, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(frame) != FALSE; }, 5000));

    ASSERT_TRUE(Launch(second_, L"/mC" + WriteDescription(L"QK-R40")));
    ASSERT_TRUE(second_.Wait(20000)) << "the second copy keeps running";
    EXPECT_EQ(second_.ExitCode(), 2u);
    EXPECT_TRUE(::IsIconic(frame)) << "the described-printer mode leaves the first copy be";

    ProcessRunner third; // ended by its destructor when an assertion fails
    ASSERT_TRUE(Launch(third, L""));
    ASSERT_TRUE(third.Wait(20000)) << "the second copy keeps running";
    EXPECT_EQ(third.ExitCode(), 1u);
    EXPECT_FALSE(::IsIconic(frame)) << "the first copy's window is restored";
    EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == frame; }, 5000))
        << "and brought to the front";

    ASSERT_TRUE(Close(program_, frame));
    // Every copy runs the exit sequence, also after refusing to start.
    EXPECT_TRUE(WaitForRestoreRuns(kExitTool, 3));
    std::vector<std::string> runs = RestoreRuns();
    EXPECT_EQ(std::count(runs.begin(), runs.end(), kStopTool), 1) << "one main window";
}

TEST_F(UtilityRun, DescribedPrinterOpensThePortMonitorPortGivenWithPUnlessItIsHeld) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    const std::wstring arguments =
        L"/bM /mC" + WriteDescription(L"QK-R40") + L" /p" + RegisterPortMonitorPort();
    ASSERT_TRUE(Launch(program_, arguments));
    HWND frame = WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
    ASSERT_NE(frame, nullptr) << "no main window; message: "
                              << testing::PrintToString(WaitForMessageBox(program_.Id(), 0).text);
    ASSERT_TRUE(Close(program_, frame));
    EXPECT_EQ(program_.ExitCode(), 0u) << "a normal end";

    ASSERT_NO_FATAL_FAILURE(HoldPort());
    ASSERT_TRUE(Launch(second_, arguments));
    MessageBoxView box = WaitForMessageBox(second_.Id(), 30000);
    ASSERT_NE(box.hwnd, nullptr) << "no warning";
    EXPECT_EQ(box.text, L"Cannot launch the printer because it is in use by another application.");
    PressButton(box.hwnd, IDOK);
    ASSERT_TRUE(second_.Wait(20000));
    EXPECT_EQ(second_.ExitCode(), 6u);
}

TEST_F(UtilityRun, CancellingThePrinterSelectionEndsSilentlyWithTheCodeUnchanged) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    ASSERT_TRUE(Launch(program_, L"/bM /mC" + WriteDescription(L"QK-R40")));
    HWND dialog = WaitForTopLevel(program_.Id(), L"#32770", L"", 30000);
    ASSERT_NE(dialog, nullptr) << "no printer selection";
    ASSERT_EQ(MessageBoxWithin(program_.Id()).hwnd, nullptr);
    PressButton(dialog, IDCANCEL);
    // A message after the cancel would keep the program waiting for an answer.
    ASSERT_TRUE(program_.Wait(20000)) << "the program goes on";
    EXPECT_EQ(program_.ExitCode(), 0u);
}

struct DescribedPrinterFailure {
    const wchar_t* printerName;
    bool languageFiles;
    const wchar_t* message;
    DWORD exitCode;
};

TEST_F(UtilityRun, DescribedPrinterModeEndsWithTheExitCodeOfItsFailure) {
    const DescribedPrinterFailure rows[] = {
        {L"", true, L"This operation is not supported.", 4},
        {L"QK-R40", false, L"Could not find the required files.\nPlease reinstall.", 3},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const DescribedPrinterFailure& row = rows[i];
        SCOPED_TRACE(testing::Message() << "row " << i);
        std::error_code error;
        std::filesystem::remove_all(std::filesystem::path(Folder() + L"\\program"), error);
        std::wstring folder = MakeProgramFolder(row.languageFiles);
        ProcessRunner program;
        ASSERT_TRUE(Launch(program, L"/bM /mC" + WriteDescription(row.printerName), folder));
        MessageBoxView box = WaitForMessageBox(program.Id(), 30000);
        ASSERT_NE(box.hwnd, nullptr) << "no message";
        EXPECT_EQ(box.caption, kCaption);
        EXPECT_EQ(box.text, row.message);
        PressButton(box.hwnd, IDOK);
        ASSERT_TRUE(program.Wait(20000)); // a runner that is left ends its process
        EXPECT_EQ(program.ExitCode(), row.exitCode);
    }
}

} // namespace
} // namespace qk::test

namespace qk::test {
namespace {

// True when the printer list on disk has a printer on the port.
bool ListHasPort(const std::wstring& port) {
    PluginDataMgr list;
    list.LoadPrinterList(UtilityRun::DataFolder().c_str());
    for (int32_t i = 0; i < list.GetPrinterCount(); ++i) {
        RegisteredPrinter entry{};
        if (list.GetPrinter(i, &entry) == 0 && ToWide(entry.portName) == port)
            return true;
    }
    return false;
}

TEST_F(UtilityRun, OrdinaryExitWritesNoPrinterListWhileNothingAskedToSave) {
    // A port name no run has used before: the printer list is shared with the suites that run
    // beside this one and may be rewritten by them meanwhile, so the test looks for this run's
    // printer in it rather than for an unchanged file.
    const std::wstring port = L"QKE2ENOSAVE" + std::to_wstring(::GetCurrentProcessId()) + L"T" +
                              std::to_wstring(::GetTickCount());
    UsePortName(port);
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    // The printer does not answer the paper width, so the start's settings read is incomplete
    // and does not set the save flag (a complete one would, offline or not).
    ASSERT_EQ(PrinterControl(L"mute custom 3"), "OK");
    const std::wstring prefix = RegisterPortMonitorPort("QK-R40");
    ASSERT_FALSE(ListHasPort(port));
    ASSERT_TRUE(Launch(program_, L"/bM /p" + prefix));
    HWND frame = WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
    ASSERT_NE(frame, nullptr) << "no main window; message: "
                              << testing::PrintToString(WaitForMessageBox(program_.Id(), 0).text);
    MessageBoxView box = WaitForMessageBox(program_.Id(), 90000);
    ASSERT_NE(box.hwnd, nullptr) << "the incomplete read said nothing";
    EXPECT_EQ(box.text, L"Could not get some settings from the printer.");
    PressButton(box.hwnd, IDOK);
    ASSERT_TRUE(PumpUntil([&] { return TopLevelWindows(program_.Id(), L"#32770").empty(); }, 30000))
        << "a second message: " << testing::PrintToString(WaitForMessageBox(program_.Id(), 0).text);
    ASSERT_TRUE(Close(program_, frame));
    EXPECT_EQ(program_.ExitCode(), 1u);

    // The printer was registered in memory, but without the save flag no settings file was
    // written, and so the printer list is not written either.
    EXPECT_FALSE(ListHasPort(port)) << "the printer list was written although nothing was saved";
}

TEST_F(UtilityRun, LogoAndPrinterControlModesReachTheMainFrameThroughTheSelection) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    RegisterSelectablePort();
    for (const auto& [mode, title] : {std::pair{L"/mL", kLogoTitle}, std::pair{L"/mS", kTitle}}) {
        ProcessRunner run;
        ASSERT_TRUE(Launch(run, std::wstring(L"/bM ") + mode)) << mode;
        HWND selection = WaitForTopLevel(run.Id(), L"#32770", L"", 30000);
        ASSERT_NE(selection, nullptr) << mode << ": no printer selection";
        PressButton(selection, IDOK);
        HWND frame = WaitForTopLevel(run.Id(), L"", title, 30000);
        ASSERT_NE(frame, nullptr) << mode << ": no main window; message: "
                                  << testing::PrintToString(WaitForMessageBox(run.Id(), 0).text);
        ASSERT_TRUE(Close(run, frame)) << mode;
        EXPECT_EQ(run.ExitCode(), 1u) << mode;
    }
}

} // namespace
} // namespace qk::test
