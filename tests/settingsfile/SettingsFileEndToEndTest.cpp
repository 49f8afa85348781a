// The real QK40UTL.exe applying and checking settings command files unattended (/a, /c with
// /o), against printer simulators on ports of their own: its exit code and its result file in
// the data folder, and what each simulator holds afterwards. One printer's settings saved on the
// settings file page are applied to another, after which both read back the same. In the file
// mode the page saves what the exit writes.
#include "tests/settingsfile/SettingsFileProgram.h"

namespace qk::test {
namespace {
TEST_F(SettingsFileProgram, OnePrintersSavedSettingsMakeAnotherReadBackTheSame) {
    ASSERT_NO_FATAL_FAILURE(StartPrinters(2));
    const std::wstring other = WriteFile(L"other.dat", FileOtherThanFactory());

    // The first printer is given settings other than the factory's, which the second keeps.
    ASSERT_EQ(Check(other, 0), kUnattendedDiffers);
    EXPECT_EQ(Control(0, "get custom 3"), "OK none") << "a check changes nothing";
    ASSERT_EQ(Apply(other, 0), kUnattendedApplied);
    std::vector<std::string> lines = Result(Port(0));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "0\tapplied and verified");
    EXPECT_EQ(Control(0, "get custom 3"), "OK 2");
    EXPECT_EQ(Control(0, "get usermode"), "OK 0");
    ASSERT_EQ(Apply(other, 0), kUnattendedAlreadyMatching);
    for (const std::string& line : SettingLines(Port(0)))
        EXPECT_EQ(line.substr(line.rfind('\t') + 1), "matches") << line;

    // Saved on the page from the first printer, applied to the second.
    const std::wstring saved = Folder() + L"\\saved.dat";
    ASSERT_NO_FATAL_FAILURE(SaveThroughThePage(saved));
    ASSERT_EQ(Check(saved, 1), kUnattendedDiffers);
    ASSERT_EQ(Apply(saved, 1), kUnattendedApplied);
    const std::vector<std::string> applied = SettingLines(Port(1));
    ASSERT_FALSE(applied.empty());
    size_t changed = 0;
    for (const std::string& line : applied) {
        EXPECT_EQ(line.substr(line.rfind('\t') + 1), "holds") << line;
        std::vector<std::string> columns;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');)
            columns.push_back(cell);
        ASSERT_EQ(columns.size(), 5u) << line;
        changed += columns[2] != columns[3] ? 1 : 0;
    }
    EXPECT_GE(changed, 2u) << "the paper width and the code table";

    // Both read back every setting of the file alike.
    ASSERT_EQ(Check(saved, 0), kUnattendedAlreadyMatching);
    const std::vector<std::string> first = SettingLines(Port(0));
    ASSERT_EQ(Check(saved, 1), kUnattendedAlreadyMatching);
    EXPECT_EQ(SettingLines(Port(1)), first);
    EXPECT_EQ(Control(1, "get custom 3"), "OK 2");
    EXPECT_EQ(Control(1, "get custom 8"), Control(0, "get custom 8"));
}

TEST_F(SettingsFileProgram, TheFileModesPageSavesTheFileItsExitWritesAndAppliesNone) {
    const std::wstring output = Folder() + L"\\exit.dat", page = Folder() + L"\\page.dat";
    HWND frame = StartFileMode(output);
    ASSERT_NE(frame, nullptr);
    // The file mode's menu ends with the logo entry.
    HWND save = ShowSettingsFilePage(frame, 1);
    ASSERT_NE(save, nullptr) << "the file mode's menu has the settings file entry";
    ASSERT_NO_FATAL_FAILURE(ChooseToSave(save, page));
    EXPECT_EQ(Answer(IDOK), L"The printer's settings were saved to " + page + L".");
    ::PostMessageW(Descendant(frame, IDC_SETFILE_APPLY, nullptr), BM_CLICK, 0, 0);
    EXPECT_EQ(Answer(IDOK), L"There is no printer to apply the file to.");

    // The exit keeps its own question and writes the same file.
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(Answer(IDYES), L"Do you want to save the settings to the file?");
    ASSERT_TRUE(program_.Wait(20000));
    std::vector<uint8_t> saved, written;
    ASSERT_TRUE(os::RealFileSystem().ReadFile(FromWide(page), saved));
    ASSERT_TRUE(os::RealFileSystem().ReadFile(FromWide(output), written));
    ASSERT_GT(saved.size(), 256u);
    ASSERT_EQ(saved.size(), written.size());
    // Only the minute it was written may differ.
    const size_t at = offsetof(app::SettingsFileHeader, writtenAt);
    std::fill_n(saved.begin() + at, sizeof(app::SettingsFileHeader::writtenAt), 0);
    std::fill_n(written.begin() + at, sizeof(app::SettingsFileHeader::writtenAt), 0);
    EXPECT_EQ(saved, written);
}

TEST_F(SettingsFileProgram, RefusedFilesAndMissingPrintersSendNothingAndSayWhy) {
    ASSERT_NO_FATAL_FAILURE(StartPrinters(2));
    const std::vector<uint8_t> good = FileOtherThanFactory();
    std::vector<uint8_t> damaged = good, otherModel = good;
    damaged[good.size() - 12] ^= 0x04;
    std::memcpy(otherModel.data() + 4, "QK-R50\r\n", 8);
    const std::vector<uint8_t> cut(good.begin(), good.end() - 5);
    const unsigned long long arrived = Arrived(0);
    const std::string connections = Control(0, "get connections");

    const struct {
        const wchar_t* name;
        const std::vector<uint8_t>* bytes;
        const char* reason;
    } refused[] = {
        {L"damaged.dat", &damaged, "damaged"},
        {L"other.dat", &otherModel, "written for another printer model"},
        {L"cut.dat", &cut, "not whole"},
    };
    for (const auto& row : refused) {
        const std::wstring path = WriteFile(row.name, *row.bytes);
        for (const wchar_t* form : {L"/a", L"/c"}) {
            SCOPED_TRACE(std::string(row.reason) + (form[1] == L'a' ? " apply" : " check"));
            EXPECT_EQ(RunToEnd(std::wstring(form) + L"\"" + path + L"\" /o" + Port(0)),
                      kUnattendedFileRefused);
            const std::vector<std::string> lines = Result(Port(0));
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines[0].rfind("12\tfile refused, nothing sent: ", 0), 0u) << lines[0];
            EXPECT_NE(lines[0].find(row.reason), std::string::npos) << lines[0];
        }
    }
    EXPECT_EQ(Arrived(0), arrived) << "nothing was sent";
    EXPECT_EQ(Control(0, "get connections"), connections) << "the port was never opened";
    EXPECT_EQ(Control(0, "get custom 3"), "OK none");

    // No printer behind the port, a port nobody registered, a silent printer.
    const std::wstring file = WriteFile(L"good.dat", good);
    const std::wstring nowhere = Port(0) + L"NONE";
    EXPECT_EQ(RunToEnd(L"/a\"" + file + L"\" /o" + nowhere), kUnattendedNoPrinter);
    std::error_code error;
    EXPECT_TRUE(fs::remove(fs::path(ResultPath(nowhere)), error));
    ASSERT_EQ(Control(1, "silent on"), "OK");
    EXPECT_EQ(Apply(file, 1), kUnattendedNoPrinter);
    ASSERT_FALSE(Result(Port(1)).empty());
    EXPECT_EQ(Result(Port(1))[0].rfind("13\t", 0), 0u);
    // Both forms at once, or no port: nothing is run.
    EXPECT_EQ(RunToEnd(L"/a\"" + file + L"\" /c\"" + file + L"\" /o" + Port(0)),
              kUnattendedBadCommandLine);
    EXPECT_EQ(RunToEnd(L"/a\"" + file + L"\""), kUnattendedBadCommandLine);
    EXPECT_EQ(Control(0, "get custom 3"), "OK none");
}

TEST_F(SettingsFileProgram, APrinterDroppedHalfWayIsReportedAsPartAndLeftOutOfUserSettingMode) {
    ASSERT_NO_FATAL_FAILURE(StartPrinters(1));
    const std::vector<uint8_t> bytes = FileOtherThanFactory();
    const std::wstring file = WriteFile(L"other.dat", bytes);
    settingsfile::CheckedFile checked;
    ASSERT_EQ(settingsfile::CheckSettingsFile(bytes.data(), bytes.size(), "QK-R40", checked), 0);
    size_t logoBytes = 0, userBytes = 0;
    for (const settingsfile::FileSetting& setting : checked.settings)
        (setting.kind == settingsfile::SettingKind::CustomValue ||
                 setting.kind == settingsfile::SettingKind::MemorySwitch
             ? userBytes
             : logoBytes) += setting.command.size();
    ASSERT_GT(userBytes, 40u);

    // An apply opens the port and reads what the printer holds as a check does; the
    // connection ends half-way through the user settings it then sends.
    const unsigned long long before = Arrived(0);
    ASSERT_EQ(Check(file, 0), kUnattendedDiffers);
    const unsigned long long check = Arrived(0) - before;
    ASSERT_GT(check, 0u);
    ASSERT_EQ(Control(0, "drop after " +
                             std::to_string(check + logoBytes +
                                            comm::EnterUserSettingMode().size() + userBytes / 2)),
              "OK");
    EXPECT_EQ(Apply(file, 0), kUnattendedLost);
    const std::vector<std::string> lines = Result(Port(0));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "14\tprinter lost part-way");
    // How many commands the port took before the loss showed depends on the socket's buffer,
    // not on the program: each is "not sent" or sent and "not read", none read back.
    const std::vector<std::string> settings = SettingLines(Port(0));
    ASSERT_FALSE(settings.empty());
    for (const std::string& line : settings) {
        const std::string outcome = line.substr(line.rfind('\t') + 1);
        EXPECT_TRUE(outcome == "not sent" || outcome == "not read")
            << line << ": nothing was read back from a lost printer";
    }
    EXPECT_EQ(Control(0, "get usermode"), "OK 0");
}

TEST_F(SettingsFileProgram, OneFileGoesToThreePrintersAtOnceAndASilentOneFailsAlone) {
    ASSERT_NO_FATAL_FAILURE(StartPrinters(3));
    const std::wstring file = WriteFile(L"other.dat", FileOtherThanFactory());
    HWND frame = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartThroughSelection(frame));
    // The window works with the first printer; the third answers nothing from now on.
    ASSERT_EQ(Control(2, "silent on"), "OK");
    ASSERT_NE(ShowSettingsFilePage(frame), nullptr);
    // The start's settings read may still go on behind its hidden progress dialog; this
    // printer's apply waits for its end.
    ASSERT_TRUE(PumpUntil([&] { return !ProgressDialogExists(); }, 60000));
    ASSERT_NO_FATAL_FAILURE(ChooseToSave(Descendant(frame, IDC_SETFILE_MULTI, nullptr), file));
    HWND dialog = MultiApplyDialog();
    ASSERT_NE(dialog, nullptr) << "no dialog; box: "
                               << testing::PrintToString(WaitForMessageBox(program_.Id(), 0).text);
    HWND list = ::GetDlgItem(dialog, IDC_SETFILE_MULTI_LIST);
    std::vector<std::vector<std::wstring>> rows = RemoteListRows(list, 3);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][0], L"QK-R40 (this window)");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(rows[i][1], Port(i));

    PressButton(dialog, IDC_SETFILE_MULTI_START);
    // Close comes back once every printer's run has ended; each is bounded.
    HWND close = ::GetDlgItem(dialog, IDCANCEL);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindowEnabled(close); }, 10000));
    ASSERT_TRUE(PumpUntil([&] { return ::IsWindowEnabled(close) != FALSE; }, 240000));
    rows = RemoteListRows(list, 3);
    ASSERT_EQ(rows.size(), 3u);
    const std::wstring applied = L"applied and verified (";
    EXPECT_EQ(rows[0][2].rfind(applied, 0), 0u)
        << "this window's printer, applied here: " << testing::PrintToString(rows[0][2]);
    EXPECT_EQ(rows[1][2].rfind(applied, 0), 0u) << "by a run of its own";
    EXPECT_EQ(rows[1][2].find(L"settings hold)"), rows[1][2].size() - 14);
    EXPECT_EQ(rows[2][2], L"printer not found or not answering, nothing sent");

    EXPECT_EQ(Control(0, "get custom 3"), "OK 2");
    EXPECT_EQ(Control(1, "get custom 3"), "OK 2");
    EXPECT_EQ(Control(1, "get usermode"), "OK 0");
    EXPECT_EQ(Control(2, "get custom 3"), "OK none") << "the silent printer was changed";
    EXPECT_EQ(Result(Port(1))[0], "0\tapplied and verified");
    EXPECT_EQ(Result(Port(2))[0].rfind("13\t", 0), 0u);
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(dialog); }, 10000));
    ASSERT_TRUE(Close(program_, frame));
}

} // namespace
} // namespace qk::test
