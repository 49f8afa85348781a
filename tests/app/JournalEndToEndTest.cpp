// The electronic journal through the real QK40UTL.exe and the printer simulator, on a virtual
// serial port of the maker's port driver (JournalPortRun), with the simulator keeping the
// port's journal. Each test runs under a time limit of its own.
#include <windows.h>
#include <commctrl.h>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>
#include "app/status/UtilStatusView.h"
#include "platform/Text.h"
#include "tests/app/RemoteListView.h"
#include "tests/app/JournalPortRun.h"

namespace qk::test {
namespace {

namespace fs = std::filesystem;

constexpr int kJournalPageId = 8;
constexpr int kEnableCheckId = 10019;
constexpr int kViewerButtonId = 5003;
constexpr int kViewerListId = 100;
constexpr int kViewerCountLineId = 101;
constexpr wchar_t kQuestion[] =
    L"Do you want to change the electronic journal setting for this printer port?";
// The language file's line break is the message box's.
constexpr wchar_t kReinstall[] = L"Could not find the required files. \r\nPlease reinstall.";
constexpr wchar_t kSwitchFailed[] = L"Failed to change settings.";
constexpr wchar_t kPortService[] = L"TARROW_Port_Communication_Service";

// The service's state as the service manager tells it; 0 when it cannot be asked.
DWORD ServiceState(const wchar_t* name) {
    SC_HANDLE manager = ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager ? ::OpenServiceW(manager, name, SERVICE_QUERY_STATUS) : nullptr;
    SERVICE_STATUS status{};
    const bool asked = service && ::QueryServiceStatus(service, &status);
    if (service)
        ::CloseServiceHandle(service);
    if (manager)
        ::CloseServiceHandle(manager);
    return asked ? status.dwCurrentState : 0;
}

struct JournalRun : JournalPortRun {
    HWND frame = nullptr;

    HANDLE limitEnded = nullptr;
    std::thread watchdog;
    std::atomic<bool> overran{false};

    void TearDown() override {
        if (watchdog.joinable()) {
            ::SetEvent(limitEnded);
            watchdog.join();
        }
        if (limitEnded)
            ::CloseHandle(limitEnded);
        EXPECT_FALSE(overran) << "the test ran past its time limit; its programs were ended";
        JournalPortRun::TearDown();
    }

    // Ends the utility and the viewer when the test is still running after `ms`, so that no
    // bounded wait of the test goes on after the limit.
    void LimitTo(DWORD ms) {
        limitEnded = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        watchdog = std::thread([this, ms] {
            if (::WaitForSingleObject(limitEnded, ms) != WAIT_TIMEOUT)
                return;
            overran = true;
            if (program_.Handle())
                ::TerminateProcess(program_.Handle(), 99);
            for (HWND viewer : TopLevelWindows(0, L"QKJrnlView"))
                ::PostMessageW(viewer, WM_CLOSE, 0, 0);
        });
    }

    void Start() { ASSERT_NO_FATAL_FAILURE(StartWithTools(frame)); }

    HWND Page() const { return Descendant(frame, kJournalPageId, nullptr); }
    HWND Check() const { return Descendant(frame, kEnableCheckId, nullptr); }
    HWND ViewerButton() const { return Descendant(frame, kViewerButtonId, nullptr); }
    bool Checked() const { return ::SendMessageW(Check(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

    HWND Menu() const { return Descendant(frame, 0, L"SysListView32"); }

    // The centre of the menu's row with the text, {-1, -1} when there is none.
    POINT MenuRow(const std::wstring& text) const {
        const std::vector<std::vector<std::wstring>> rows = RemoteListRows(Menu(), 1);
        const int height =
            HIWORD(::SendMessageW(Menu(), LVM_APPROXIMATEVIEWRECT, 1, MAKELPARAM(-1, -1)));
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (!rows[i].empty() && rows[i][0] == text)
                return POINT{40, static_cast<int>(i) * height + height / 2};
        return POINT{-1, -1};
    }

    // Chooses the journal's row of the menu with the mouse, once the menu follows it.
    void ShowJournalPage() {
        const POINT row = MenuRow(L"Electronic Journal");
        ASSERT_GE(row.y, 0) << "no journal row";
        ASSERT_TRUE(BringToForeground(frame));
        ASSERT_TRUE(HoverUntilCaptured(Menu(), row)) << "the menu does not follow the mouse";
        ClickWithMouse(Menu(), row);
        ASSERT_TRUE(PumpUntil([&] { return Page() && ::IsWindowVisible(Page()); }, 15000))
            << "the journal page did not show";
    }

    // Clicks the check box and answers its question.
    void Switch(int answer) {
        ::PostMessageW(Check(), BM_CLICK, 0, 0);
        EXPECT_EQ(Answer(answer), kQuestion);
    }

    // The printer follows the strip: the port is open and the status procedure registered.
    void ExpectTheStripReadsThePrinter() {
        const int line = app::CUtilStatusView::kStatusLineId;
        ASSERT_EQ(PrinterControl(L"cover open").rfind("OK", 0), 0u);
        EXPECT_TRUE(WaitForDescendantText(frame, line, L"Status: Cover is open"));
        ASSERT_EQ(PrinterControl(L"cover closed").rfind("OK", 0), 0u);
        EXPECT_TRUE(WaitForDescendantText(frame, line, L"Status: Online"));
    }

    bool CloseAndWait() {
        ::PostMessageW(frame, WM_CLOSE, 0, 0);
        return program_.Wait(30000);
    }
};

TEST_F(JournalRun, SwitchedOnThePortIsRoutedAndTheViewerListsWhatWasPrinted) {
    LimitTo(240000);
    ASSERT_NO_FATAL_FAILURE(StartPrinterKeepingTheJournal());
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ShowJournalPage());
    ASSERT_TRUE(::IsWindowEnabled(Check()));
    ASSERT_FALSE(Checked());

    Switch(IDYES);
    ASSERT_TRUE(PumpUntil([&] { return ToolRuns(L"-RE1:" + port) == 1; }, 60000))
        << "the port tool did not route the port: " << ReadBytes(ToolsLog());
    EXPECT_TRUE(Checked());
    EXPECT_EQ(SectionValue(L"Model"), L"QK-R40");
    EXPECT_EQ(SectionValue(L"Utility"), L"QK40Utl");
    EXPECT_EQ(SectionValue(L"Port"), port);
    EXPECT_EQ(SectionValue(L"JournalEnable"), L"1");
    EXPECT_EQ(SectionValue(L"CouponEnable"), L"0");
    EXPECT_EQ(SectionValue(L"PaperWidth"), L"80");
    EXPECT_EQ(SectionValue(L"DPI"), L"203");
    EXPECT_EQ(RoutingMode() & kRoutingBit, kRoutingBit);
    ASSERT_NO_FATAL_FAILURE(ExpectTheStripReadsThePrinter());

    // Lines printed by another application on the routed port land in the port's journal.
    for (const wchar_t* line : {L"print Receipt 1", L"print Total 9.99"})
        ASSERT_EQ(PrinterControl(line).rfind("OK", 0), 0u) << line;
    ASSERT_TRUE(PumpUntil(
        [&] { return ReadBytes(JournalFile()).find("Total 9.99") != std::string::npos; }, 15000));

    ::PostMessageW(ViewerButton(), BM_CLICK, 0, 0);
    HWND viewer = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (HWND window : TopLevelWindows(0, L"QKJrnlView"))
                if (WindowText(window) == L"Electronic Journal - " + section)
                    viewer = window;
            return viewer != nullptr;
        },
        30000))
        << "no viewer for the section; message: "
        << testing::PrintToString(WaitForMessageBox(program_.Id(), 0).text);
    EXPECT_EQ(ChildText(viewer, kViewerCountLineId), L"Journal of " + section + L": 2 lines");
    HWND lines = ::GetDlgItem(viewer, kViewerListId);
    ASSERT_EQ(::SendMessageW(lines, LB_GETCOUNT, 0, 0), 2);
    std::vector<std::wstring> texts;
    for (int i = 0; i < 2; ++i) {
        wchar_t text[256] = {};
        if (::SendMessageW(lines, LB_GETTEXTLEN, i, 0) < 255)
            ::SendMessageW(lines, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Receipt 1", L"Total 9.99"}));

    // While the viewer runs the utility only repaints: a close request waits in its queue
    // and is handled once the viewer has ended.
    ::PostMessageW(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(::SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 10000, nullptr));
    EXPECT_TRUE(::IsWindow(frame)) << "closed while the viewer ran";
    ::PostMessageW(viewer, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program_.Wait(30000)) << "the close request was lost during the viewer's run";
    EXPECT_EQ(SavedJournalFlag(), 1);
}

TEST_F(JournalRun, ARestartShowsTheJournalOnAndSwitchingOffUnroutesThePortWhileNoKeepsAll) {
    LimitTo(240000);
    // A run before this one switched the journal on: the section and the routed port.
    ::WritePrivateProfileStringW(section.c_str(), L"Model", L"QK-R40", ParserIni().c_str());
    ::WritePrivateProfileStringW(section.c_str(), L"Port", port.c_str(), ParserIni().c_str());
    ::WritePrivateProfileStringW(section.c_str(), L"JournalEnable", L"1", ParserIni().c_str());
    ASSERT_NO_FATAL_FAILURE(SetRoutingMode(kRoutingBit));
    ASSERT_NO_FATAL_FAILURE(StartPrinterKeepingTheJournal());
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ShowJournalPage());
    EXPECT_TRUE(Checked()) << "the settings read found the journal on";
    EXPECT_EQ(ToolRuns(L"-RE1:" + port), 0) << "a routed port is not routed again";

    // No: nothing on the machine changes, and the box returns.
    const std::string ini = ReadBytes(ParserIni());
    const std::string log = ReadBytes(ToolsLog());
    const DWORD service = ServiceState(kPortService);
    Switch(IDNO);
    ASSERT_TRUE(PumpUntil([&] { return Checked(); }, 10000)) << "the box did not return";
    EXPECT_EQ(ReadBytes(ParserIni()), ini);
    EXPECT_EQ(ReadBytes(ToolsLog()), log);
    EXPECT_EQ(RoutingMode(), kRoutingBit);
    EXPECT_EQ(ServiceState(kPortService), service);

    Switch(IDYES);
    ASSERT_TRUE(PumpUntil([&] { return ToolRuns(L"-RE0:" + port) == 1; }, 60000))
        << "the port tool did not unroute the port: " << ReadBytes(ToolsLog());
    EXPECT_FALSE(Checked());
    EXPECT_EQ(SectionValue(L"JournalEnable"), L"0");
    EXPECT_EQ(RoutingMode() & kRoutingBit, 0u);
    ASSERT_NO_FATAL_FAILURE(ExpectTheStripReadsThePrinter());
    // Printing on a port that is no longer routed keeps no journal.
    ASSERT_EQ(PrinterControl(L"print After").rfind("OK", 0), 0u);
    ASSERT_TRUE(CloseAndWait());
    EXPECT_EQ(ReadBytes(JournalFile()).find("After"), std::string::npos);
    EXPECT_EQ(SavedJournalFlag(), 0);
}

TEST_F(JournalRun, AMissingViewerAsksForAReinstallAndLeavesThePortOpen) {
    LimitTo(180000);
    std::error_code error;
    for (const std::wstring& folder : ProgramFolders()) {
        const fs::path viewer = folder + L"\\TARROW\\QKCommandEmulator\\JrnlView.exe";
        if (fs::exists(viewer)) {
            // Put back at the end, for `make run` in this prefix.
            fs::rename(viewer, fs::path(viewer.wstring() + L".away"), error);
            ASSERT_FALSE(error);
        }
    }
    struct PutBack {
        ~PutBack() {
            std::error_code ignored;
            for (const std::wstring& folder : ProgramFolders()) {
                const fs::path viewer = folder + L"\\TARROW\\QKCommandEmulator\\JrnlView.exe";
                if (fs::exists(fs::path(viewer.wstring() + L".away")))
                    fs::rename(fs::path(viewer.wstring() + L".away"), viewer, ignored);
            }
        }
    } putBack;
    ASSERT_NO_FATAL_FAILURE(StartPrinterKeepingTheJournal());
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ShowJournalPage());
    const long connections = std::atol(PrinterControl(L"get connections").substr(3).c_str());
    ::PostMessageW(ViewerButton(), BM_CLICK, 0, 0);
    EXPECT_EQ(Answer(IDOK), kReinstall);
    EXPECT_EQ(std::atol(PrinterControl(L"get connections").substr(3).c_str()), connections)
        << "the port was closed and opened again";
    ASSERT_NO_FATAL_FAILURE(ExpectTheStripReadsThePrinter());
    EXPECT_EQ(ReadBytes(ToolsLog()).find("JrnlView"), std::string::npos);
}

// A file of the maker's moved away for one test and put back at its end, for `make run` in
// this prefix.
class MovedAway {
public:
    explicit MovedAway(const std::vector<std::wstring>& files) {
        std::error_code error;
        for (const std::wstring& file : files)
            if (fs::exists(fs::path(file)) &&
                (fs::rename(fs::path(file), fs::path(file + L".away"), error), !error))
                moved_.push_back(file);
    }
    ~MovedAway() {
        std::error_code ignored;
        for (const std::wstring& file : moved_)
            fs::rename(fs::path(file + L".away"), fs::path(file), ignored);
    }
    bool Gone(const std::vector<std::wstring>& files) const {
        for (const std::wstring& file : files)
            if (fs::exists(fs::path(file)))
                return false;
        return true;
    }

private:
    std::vector<std::wstring> moved_;
};

// A switch the machine does not take (the port tool is missing, so the port is not routed)
// is undone and said: otherwise the box going back looks like a click that was lost, or, as
// before, the box stayed on with a journal that records nothing.
TEST_F(JournalRun, ASwitchThePortToolCannotMakeIsUndoneAndReported) {
    LimitTo(180000);
    std::vector<std::wstring> tools;
    for (const std::wstring& folder : ProgramFolders())
        tools.push_back(folder + L"\\TARROW\\QKCOMUSB\\TarrowPA.exe");
    const MovedAway away(tools);
    ASSERT_TRUE(away.Gone(tools));
    ASSERT_NO_FATAL_FAILURE(StartPrinterKeepingTheJournal());
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(ShowJournalPage());
    ASSERT_FALSE(Checked());

    Switch(IDYES);
    EXPECT_EQ(Answer(IDOK), kSwitchFailed);
    EXPECT_FALSE(Checked());
    // The keys the switch wrote are gone again, as before it.
    for (const wchar_t* key : {L"Model", L"Port", L"JournalEnable", L"PaperWidth"})
        EXPECT_EQ(SectionValue(key), L"(none)") << testing::PrintToString(std::wstring(key));
    EXPECT_EQ(RoutingMode() & kRoutingBit, 0u);
    ASSERT_NO_FATAL_FAILURE(ExpectTheStripReadsThePrinter());
    ASSERT_TRUE(CloseAndWait());
    EXPECT_EQ(SavedJournalFlag(), 0);
}

TEST_F(JournalRun, ANetworkPortCannotBeRoutedAndTheControlsTakeNoClick) {
    LimitTo(180000);
    ASSERT_NO_FATAL_FAILURE(StartPrinter());
    // The simulator reached as a network printer instead of the virtual serial port.
    const std::wstring comm = Folder() + L"\\comm\\";
    std::string map = ReadBytes(comm + L"DeviceMap.ini");
    const std::string endpoint =
        map.substr(map.find('=') + 1, map.find("\r\n", map.find('=')) - map.find('=') - 1);
    std::ofstream(fs::path(comm + L"DeviceMap.ini"), std::ios::binary | std::ios::app)
        << "[NET]\r\n127.0.0.1=" << endpoint << "\r\n";
    std::ofstream(fs::path(comm + L"Ports.ini"), std::ios::binary | std::ios::trunc)
        << "[Ports]\r\nFormat=QKComm.Ports.1\r\nCount=1\r\n[Port1]\r\nInterface=NET\r\n"
           "PortName=127.0.0.1\r\nDeviceName=QK-R40\r\nField1040=-1\r\nField1044=-1\r\n";
    fs::create_directories(fs::path(Folder() + L"\\tools"));
    ASSERT_NO_FATAL_FAILURE(StartThroughSelection(frame, ToolsEnvironment()));
    ASSERT_NO_FATAL_FAILURE(ShowJournalPage());
    EXPECT_FALSE(::IsWindowEnabled(Check()));
    EXPECT_FALSE(::IsWindowEnabled(ViewerButton()));
    EXPECT_FALSE(Checked());
    // Real clicks on the two controls, then on the paper settings' row: the input is taken in
    // order, so once the paper page shows the two clicks before it have been taken too.
    const POINT paper = MenuRow(L"Paper Settings");
    ASSERT_GE(paper.y, 0);
    ClickWithMouse(Check(), POINT{4, 4});
    ClickWithMouse(ViewerButton(), POINT{4, 4});
    // The menu follows the mouse before the click, as for the journal's row: a click jumping
    // in with its move, while the menu still held the capture of its last hover, was lost.
    ASSERT_TRUE(HoverUntilCaptured(Menu(), paper)) << "the menu does not follow the mouse";
    ClickWithMouse(Menu(), paper);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindowVisible(Page()); }, 15000))
        << "the click on the paper row was not taken; foreground "
        << testing::PrintToString(WindowText(::GetForegroundWindow())) << ", box "
        << testing::PrintToString(WaitForMessageBox(program_.Id(), 0).text) << ", row " << paper.y;
    EXPECT_EQ(MessageBoxWithin(program_.Id()).hwnd, nullptr);
    EXPECT_TRUE(TopLevelWindows(0, L"QKJrnlView").empty());
    EXPECT_FALSE(Checked());
    EXPECT_EQ(ReadBytes(ParserIni()).find("[127.0.0.1]"), std::string::npos);
    EXPECT_TRUE(ReadBytes(ToolsLog()).empty());
}

} // namespace
} // namespace qk::test
