#include "tests/app/StartupEndToEndFixture.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include "app/status/UtilStatusView.h"
#include "framework/store/PluginDataMgr.h"
#include "maker/printer/ControlClient.h"
#include "platform/Text.h"
#include "platform/os/RealOs.h"

namespace qk::test {
namespace {

namespace fs = std::filesystem;

bool WriteText(const std::wstring& path, const std::string& text) {
    std::ofstream file(fs::path(path), std::ios::binary | std::ios::trunc);
    file << text;
    return static_cast<bool>(file);
}

std::string ReadText(const std::wstring& path) {
    std::ifstream file(fs::path(path), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end()); // the paths here are ASCII
}

void CollectFiles(const std::wstring& folder, UtilityRun::DataFolderFiles& files) {
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        const std::wstring path = folder + L"\\" + name;
        if (name == L"." || name == L".." || name == L"TMP" || name == L"QKUCOUPON.INI")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CollectFiles(path, files);
            continue;
        }
        std::vector<uint8_t> bytes;
        os::RealFileSystem().ReadFile(FromWide(path), bytes);
        files[path] = std::move(bytes);
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

} // namespace

void UtilityRun::SetUp() {
    static int counter = 0;
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring run =
        std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    folder_ = std::wstring(temp) + L"qk-e2e-" + run;
    // The library's port lock is machine-wide: a name of our own keeps other tests' ports apart.
    portName_ = L"QKE2E" + std::to_wstring(::GetCurrentProcessId());
    std::error_code error;
    fs::remove_all(fs::path(folder_), error);
    ASSERT_TRUE(fs::create_directories(fs::path(folder_ + L"\\comm")));
    ASSERT_TRUE(fs::create_directories(fs::path(folder_ + L"\\restore")));
}

void UtilityRun::EndProcess(ProcessRunner& process) {
    if (!process.Handle())
        return;
    if (!process.Wait(0))
        process.Kill();
    process.Wait(5000);
}

void UtilityRun::TearDown() {
    EndProcess(second_);
    EndProcess(program_);
    EndProcess(holder_);
    if (controlPort_ != 0 && simulator_.Handle() && !simulator_.Wait(0))
        PrinterControl(L"quit");
    if (simulator_.Handle() && !simulator_.Wait(5000))
        EndProcess(simulator_);
    // Restore tools started at exit may still be writing their log.
    std::error_code error;
    PumpUntil(
        [&] {
            fs::remove_all(fs::path(folder_), error);
            return !fs::exists(fs::path(folder_));
        },
        5000);
}

std::vector<std::wstring> UtilityRun::Environment() const {
    return {L"QKCOMM_DATA_DIR=" + folder_ + L"\\comm",
            L"QKRESTORE_DATA_DIR=" + folder_ + L"\\restore"};
}

void UtilityRun::StartPrinter(const std::wstring& extraArguments) {
    const std::wstring portFile = folder_ + L"\\sim.ports";
    // --parent: a test that dies must not leave its simulator behind.
    ASSERT_TRUE(simulator_.Start(StageDir() + L"QKPrinterSim.exe",
                                 L"--port 0 --control-port 0 --parent " +
                                     std::to_wstring(::GetCurrentProcessId()) + L" --port-file \"" +
                                     portFile + L"\"" +
                                     (extraArguments.empty() ? L"" : L" " + extraArguments)));
    unsigned dataPort = 0;
    ASSERT_TRUE(PumpUntil(
        [&] {
            return std::sscanf(ReadText(portFile).c_str(), "%u %u", &dataPort, &controlPort_) == 2;
        },
        15000))
        << "the simulator did not report its ports";
    std::string map = "[COM]\r\n" + Narrow(portName_) + "=127.0.0.1:" + std::to_string(dataPort) +
                      "\r\n[Features]\r\n2=1\r\n";
    ASSERT_TRUE(WriteText(folder_ + L"\\comm\\DeviceMap.ini", map));
}

std::wstring UtilityRun::RegisterPortMonitorPort(const std::string& deviceName) {
    std::string ports =
        "[Ports]\r\nFormat=QKComm.Ports.1\r\nCount=1\r\n[Port1]\r\nInterface=COM\r\n"
        "PortName=" +
        Narrow(portName_) + "\r\nDevicePath=pipe://qk/RSDPRT1/QK-R40\r\n";
    if (!deviceName.empty())
        ports += "DeviceName=" + deviceName + "\r\n";
    EXPECT_TRUE(WriteText(folder_ + L"\\comm\\Ports.ini", ports));
    return L"pipe://qk/RSDPRT1/";
}

void UtilityRun::RegisterSelectablePort() {
    std::string ports =
        "[Ports]\r\nFormat=QKComm.Ports.1\r\nCount=1\r\n[Port1]\r\nInterface=COM\r\n"
        "PortName=" +
        Narrow(portName_) + "\r\nDeviceName=QK-R40\r\nField1040=-1\r\nField1044=-1\r\n";
    EXPECT_TRUE(WriteText(folder_ + L"\\comm\\Ports.ini", ports));
}

void UtilityRun::HoldPort() {
    std::wstring stage = StageDir();
    stage.pop_back();
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring bin = self;
    bin.resize(bin.find_last_of(L'\\') + 1);
    const std::wstring ready = folder_ + L"\\holder.ready";
    ASSERT_TRUE(holder_.Start(bin + L"maker_port_holder.exe",
                              L"\"" + stage + L"\" COM " + portName_ + L" \"" + ready + L"\"", L"",
                              Environment()));
    ASSERT_TRUE(PumpUntil([&] { return !ReadText(ready).empty(); }, 15000));
    ASSERT_EQ(ReadText(ready), "0") << "the holder could not open the port";
}

std::string UtilityRun::PrinterControl(const std::wstring& command) {
    // Straight to the control channel: the command-line client under a shell, to catch its
    // reply in a file, now and then failed to start under a loaded Wine.
    const std::string line(command.begin(), command.end()); // control commands are ASCII
    std::string reply;
    if (!qk::sim::SendControlLine(static_cast<uint16_t>(controlPort_), line, reply, 15000))
        return "";
    return reply;
}

std::wstring UtilityRun::MakeProgramFolder(bool withLanguageFiles) {
    const std::wstring folder = folder_ + L"\\program\\";
    fs::create_directories(fs::path(folder));
    for (const wchar_t* file : {L"QK40UTL.exe", L"SETTING.INI", L"MENUITEM.DAT"})
        fs::copy_file(fs::path(StageDir() + file), fs::path(folder + file));
    if (withLanguageFiles)
        fs::copy(fs::path(StageDir() + L"LANG"), fs::path(folder + L"LANG"),
                 fs::copy_options::recursive);
    return folder;
}

std::wstring UtilityRun::CopyOfStage() {
    const std::wstring folder = folder_ + L"\\program";
    // Without the trailing backslash: the C runtime's stat fails on "folder\", and the
    // recursive copy stats its source.
    std::wstring stage = StageDir();
    stage.pop_back();
    fs::copy(fs::path(stage), fs::path(folder), fs::copy_options::recursive);
    return folder + L"\\";
}

std::wstring UtilityRun::WriteDescription(const std::wstring& printerName) {
    const std::wstring path = folder_ + L"\\printer.ini";
    WriteText(path, "[PrinterInfo]\r\nPrinterName=" + Narrow(printerName) +
                        "\r\nDeviceID=1-2-3\r\n[DeviceSpec]\r\nPaperWidth=576\r\n");
    return path;
}

bool UtilityRun::Launch(ProcessRunner& program, const std::wstring& arguments,
                        const std::wstring& programFolder) {
    // Launchers start the utility from anywhere: it must not rely on its working folder.
    return program.Start(programFolder + L"QK40UTL.exe", arguments, folder_, Environment());
}

bool UtilityRun::Close(ProcessRunner& program, HWND frame) {
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    // Only the file mode asks whether to write its settings file.
    bool ended = PumpUntil(
        [&] {
            if (program.Wait(0))
                return true;
            for (HWND box : TopLevelWindows(program.Id(), L"#32770"))
                if (::GetDlgItem(box, IDNO))
                    PressButton(box, IDNO);
            return false;
        },
        20000);
    return ended;
}

void UtilityRun::StartRemoteAndSettle(HWND& frame) {
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    ASSERT_TRUE(Launch(program_, L"/bM /mR /r" + DevicePath()));
    frame = WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(
        WaitForDescendantText(frame, app::CUtilStatusView::kNameLineId, L"Printer Name: QK-R40"));
    ASSERT_TRUE(
        WaitForDescendantText(frame, app::CUtilStatusView::kStatusLineId, L"Status: Online"));
    ASSERT_TRUE(WaitForTheStartsRead());
}

bool UtilityRun::WaitForTheStartsRead() {
    constexpr ULONGLONG kQuietMs = 1500;
    long counted = -1, connected = -1;
    ULONGLONG quietSince = 0;
    return PumpUntil(
        [&] {
            long total = 0, connections = 0;
            if (std::sscanf(PrinterControl(L"get requests").c_str(), "OK %ld", &total) != 1 ||
                total <= 0 ||
                std::sscanf(PrinterControl(L"get connections").c_str(), "OK %ld", &connections) !=
                    1)
                return false;
            const ULONGLONG now = ::GetTickCount64();
            if (total != counted || connections != connected) {
                counted = total;
                connected = connections;
                quietSince = now;
                return false;
            }
            return now - quietSince >= kQuietMs &&
                   TopLevelWindows(program_.Id(), L"#32770").empty();
        },
        30000);
}

void UtilityRun::StartThroughSelection(HWND& frame, const std::vector<std::wstring>& environment,
                                       bool settle) {
    std::vector<std::wstring> all = Environment();
    all.insert(all.end(), environment.begin(), environment.end());
    ASSERT_TRUE(program_.Start(StageDir() + L"QK40UTL.exe", L"/bM", folder_, all));
    HWND selection = WaitForTopLevel(program_.Id(), L"#32770", L"", 30000);
    ASSERT_NE(selection, nullptr) << "no printer selection";
    PressButton(selection, IDOK);
    frame = WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
    ASSERT_NE(frame, nullptr) << "no main window; message: "
                              << testing::PrintToString(WaitForMessageBox(program_.Id(), 0).text);
    if (!settle)
        return;
    ASSERT_TRUE(
        WaitForDescendantText(frame, app::CUtilStatusView::kStatusLineId, L"Status: Online"));
    // The printer chosen may be another simulator than the test's: no request count to go by.
    ASSERT_TRUE(PumpUntil([&] { return TopLevelWindows(program_.Id(), L"#32770").empty(); }, 30000))
        << "the settings read said: "
        << testing::PrintToString(WaitForMessageBox(program_.Id(), 0).text);
}

std::u16string UtilityRun::DataFolder() {
    return os::RealKnownFolders().CommonAppData() + u"\\TARROW\\QK40Utl";
}

UtilityRun::DataFolderFiles UtilityRun::DataFiles() {
    return FilesBelow(DataFolder());
}

UtilityRun::DataFolderFiles UtilityRun::FilesBelow(const std::u16string& folder) {
    DataFolderFiles files;
    CollectFiles(ToWide(folder), files);
    return files;
}

std::u16string UtilityRun::FileModeSettingsPath() {
    PluginDataMgr list;
    list.LoadPrinterList(DataFolder().c_str());
    for (int32_t i = 0; i < list.GetPrinterCount(); ++i) {
        RegisteredPrinter entry{};
        if (list.GetPrinter(i, &entry) == 0 && std::u16string(entry.deviceName) == u"QK-R40" &&
            entry.portName[0] == 0)
            return entry.settingsPath;
    }
    return u"";
}

HWND UtilityRun::StartFileMode(const std::wstring& output) {
    if (!Launch(program_, L"/mF" + output))
        return nullptr;
    return WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
}

std::wstring UtilityRun::Answer(int button) {
    MessageBoxView box = WaitForMessageBox(program_.Id(), 20000);
    if (!box.hwnd)
        return L"";
    PressButton(box.hwnd, button);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(box.hwnd); }, 10000));
    return box.text;
}

std::vector<uint8_t> UtilityRun::CloseSavingTheCommandFile(HWND frame, const std::wstring& output) {
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(Answer(IDYES), L"Do you want to save your changes to the settings to the printer?");
    EXPECT_EQ(Answer(IDYES), L"Do you want to save the settings to the file?");
    std::vector<uint8_t> file;
    if (!program_.Wait(20000)) {
        ADD_FAILURE() << "a box is waiting: "
                      << testing::PrintToString(WaitForMessageBox(program_.Id(), 0).text);
        return file;
    }
    os::RealFileSystem().ReadFile(FromWide(output), file);
    return file;
}

std::vector<std::string> UtilityRun::RestoreRuns() const {
    std::vector<std::string> names;
    std::istringstream lines(ReadText(folder_ + L"\\restore\\runs.log"));
    for (std::string line; std::getline(lines, line);)
        names.push_back(line.substr(0, line.find(' ')));
    return names;
}

bool UtilityRun::WaitForRestoreRuns(const std::string& tool, long runs) {
    return PumpUntil(
        [&] {
            std::vector<std::string> names = RestoreRuns();
            return std::count(names.begin(), names.end(), tool) >= runs;
        },
        15000);
}

} // namespace qk::test
