// The real QK40UTL.exe under Wine for one test: a private folder for the communication
// library's files and the restore tools' log, a program folder of its own when the case needs
// one, the printer simulator on free ports, and every process ended when the test ends.
#pragma once
#include <gtest/gtest.h>
#include <cstdint>
#include <map>
#include <string>
#include <vector>
#include "tests/support/WindowDriver.h"

namespace qk::test {

class UtilityRun : public ::testing::Test {
public:
    // The program's data folder, where the printer list and the settings files live.
    static std::u16string DataFolder();
    // The settings file the printer list names for the file mode's printer ("QK-R40" without a
    // port), or "" when the list has no such entry.
    static std::u16string FileModeSettingsPath();
    // Every file below the data folder with its bytes, but the work folder and the running
    // flag, which every run writes.
    using DataFolderFiles = std::map<std::wstring, std::vector<uint8_t>>;
    static DataFolderFiles DataFiles();
    // The same for any folder (none when it does not exist).
    static DataFolderFiles FilesBelow(const std::u16string& folder);

protected:
    static constexpr wchar_t kTitle[] = L"QK-R40 Utility Ver.1.40";
    // The logo modes' menu files name the window themselves.
    static constexpr wchar_t kLogoTitle[] = L"QK-R40 Logo Utility Ver.1.40";

    void SetUp() override;
    void TearDown() override;

    // Starts the simulator (with the extra arguments) and maps one serial port of the library
    // to it.
    void StartPrinter(const std::wstring& extraArguments = L"");
    // The port name to map instead of the test's own one (before StartPrinter).
    void UsePortName(const std::wstring& name) { portName_ = name; }
    // One control command to the simulator; its reply line ("" when it did not answer).
    std::string PrinterControl(const std::wstring& command);
    // The device path under which the library offers the simulator's port.
    std::wstring DevicePath() const { return L"\\\\.\\" + portName_; }
    // Registers the simulator's port as a port of the maker's port monitor; answers the
    // device path prefix that /p gives for it. Without a device name the printer list takes
    // no printer of that port.
    std::wstring RegisterPortMonitorPort(const std::string& deviceName = "");
    // Registers the simulator's port as an ordinary serial port of the served model, so the
    // printer selection lists it.
    void RegisterSelectablePort();
    // A second application opens the simulator's port through the library and keeps it.
    void HoldPort();

    // A program folder with the stage's executable and settings, and its language files
    // when asked for.
    std::wstring MakeProgramFolder(bool withLanguageFiles);
    // A program folder holding a copy of the whole stage; answers it with a trailing backslash.
    std::wstring CopyOfStage();
    // A printer description file naming the printer.
    std::wstring WriteDescription(const std::wstring& printerName);
    std::wstring Folder() const { return folder_; }
    // The port name under which the library offers the simulator to this test.
    std::wstring PortNameForTest() const { return portName_; }
    // The environment every program of the test runs with.
    std::vector<std::wstring> Environment() const;

    // Runs the utility from the folder with the arguments.
    bool Launch(ProcessRunner& program, const std::wstring& arguments,
                const std::wstring& programFolder = StageDir());
    // Closes the main window and answers the save question of the file mode, if asked; true
    // when the program ended.
    bool Close(ProcessRunner& program, HWND frame);

    // Starts the utility in the file mode with the settings command file `output`; its main
    // window, or null.
    HWND StartFileMode(const std::wstring& output);
    // Starts the simulator and the utility on it in the remote mode, and waits until the strip
    // shows the printer online and the start's settings read is over (its progress dialog stays
    // up a while after the strip shows the printer): a test that takes the printer away then
    // does so after the read, not during it.
    void StartRemoteAndSettle(HWND& frame);
    // Starts the utility in the ordinary mode (the environment on top of the test's), chooses
    // the first port of the printer selection and waits until the strip shows the printer
    // online and no dialog is up (with `settle` false, only for the main window: the read's
    // message is the test's).
    void StartThroughSelection(HWND& frame, const std::vector<std::wstring>& environment = {},
                               bool settle = true);
    // Answers the program's next message box with the button and waits until it is gone (a
    // later box must not be taken for it); its text, "" when none came.
    std::wstring Answer(int button);
    // Closes a file-mode main window with Yes to saving the page and to writing the file, and
    // answers the file written ([] when the program did not end or wrote nothing).
    std::vector<uint8_t> CloseSavingTheCommandFile(HWND frame, const std::wstring& output);
    // Names of the restore tools that recorded a run, in order.
    std::vector<std::string> RestoreRuns() const;
    // Waits (bounded) until the tool recorded `runs` runs.
    bool WaitForRestoreRuns(const std::string& tool, long runs = 1);

    ProcessRunner program_;
    ProcessRunner second_;

private:
    // The start's settings read is over: the printer was asked its questions, neither a
    // question nor a connection came for a while, and no dialog of the program is up. Its
    // progress dialog shows only after a delay, so "no dialog" alone also held before the read
    // had begun, and a test then took the printer away in the middle of the read (the strip
    // stayed at its last status). The read ends by opening the port again, once its dialog
    // has gone: a test must not take the printer away before that either.
    bool WaitForTheStartsRead();
    void EndProcess(ProcessRunner& process);

    std::wstring folder_;
    std::wstring portName_;
    ProcessRunner simulator_;
    ProcessRunner holder_;
    unsigned controlPort_ = 0;
};

} // namespace qk::test
