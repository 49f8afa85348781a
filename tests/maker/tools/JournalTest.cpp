// The electronic journal end to end on the maker's side: the simulated printer behind the
// command emulator keeps what is printed on a port only while that port's section has the
// journal on and the port tool has routed the port; the viewer lists the kept journal in its
// window, follows new lines and ends when it is closed.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "tests/maker/SimulatorProcess.h"
#include "tests/maker/tools/ToolTestSupport.h"

namespace qk::test {
namespace {

constexpr int kListId = 100;
constexpr int kSummaryId = 101;

// The emulator's and the tools' files in private folders, seen by every program started here.
class JournalFolders {
public:
    JournalFolders() : emulator(FreshFolder(L"qkemu")), tools(FreshFolder(L"qktools-ej")) {
        SetEnvironmentVariableW(L"QKEMU_DATA_DIR", emulator.c_str());
        SetEnvironmentVariableW(L"QKTOOLS_DATA_DIR", tools.c_str());
    }
    ~JournalFolders() {
        SetEnvironmentVariableW(L"QKEMU_DATA_DIR", nullptr);
        SetEnvironmentVariableW(L"QKTOOLS_DATA_DIR", nullptr);
    }
    void WriteSection(const std::wstring& section, const std::wstring& key,
                      const std::wstring& value) const {
        WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(),
                                   (emulator + L"CMDSETParser.ini").c_str());
    }
    std::string Journal(const std::wstring& section) const {
        return FileText(emulator + L"Journal_" + section + L".txt");
    }
    const std::wstring emulator;
    const std::wstring tools;
};

// Prints over the printer port as an application does, with a bold start; answers when the
// printer has taken it (its real-time status answer comes after the text).
bool PrintOverThePort(SimulatorProcess& sim, const std::string& line) {
    PrinterConnection printer;
    if (!printer.Connect(sim.DataPort()))
        return false;
    static const char kStart[] = "\x1B@\x1B"
                                 "E\x01"; // reset, bold on
    static const char kEnd[] = "\x1B"
                               "E\x00\r\n\x1DVB\x00\x10\x04\x01"; // bold off, cut, status
    const std::string text =
        std::string(kStart, sizeof(kStart) - 1) + line + std::string(kEnd, sizeof(kEnd) - 1);
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    return printer.Send(bytes) && printer.ReadExactly(1).size() == 1;
}

struct ViewerWindow {
    HWND window = nullptr;
    HWND list = nullptr;
    int Count() const { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }
    std::wstring Item(int index) const {
        wchar_t text[512] = {};
        if (SendMessageW(list, LB_GETTEXTLEN, index, 0) >= 512)
            return L"";
        SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
        return text;
    }
};

ViewerWindow WaitForViewer(const ProcessRunner& viewer, const std::wstring& section) {
    ViewerWindow view;
    view.window =
        WaitForTopLevel(viewer.Id(), L"QKJrnlView", L"Electronic Journal - " + section, 60000);
    view.list = view.window ? GetDlgItem(view.window, kListId) : nullptr;
    return view;
}

TEST(ElectronicJournal, KeptOnlyWhileEnabledAndRoutedAndListedByTheViewer) {
    JournalFolders folders;
    const std::wstring port = UniquePortName(L"COM", 5);
    const std::wstring section = L"QKEJ" + port;
    TestPortEntry entry(L"J", port, section, 0, true);
    folders.WriteSection(section, L"Model", L"QK-R40");
    folders.WriteSection(section, L"Port", port);
    folders.WriteSection(section, L"JournalEnable", L"1");
    SimulatorProcess sim;
    ASSERT_TRUE(sim.Start(L"--emulator-port " + port));

    EXPECT_EQ(sim.Control("print not routed yet"), "OK");
    ASSERT_EQ(RunStaged(L"TarrowPA.exe", L"-RE1:" + port), 0);
    EXPECT_EQ(sim.Control("print Receipt 1"), "OK");
    ASSERT_TRUE(PrintOverThePort(sim, "Total 12.50"));
    folders.WriteSection(section, L"JournalEnable", L"0");
    EXPECT_EQ(sim.Control("print journal off"), "OK");
    folders.WriteSection(section, L"JournalEnable", L"1");
    EXPECT_EQ(sim.Control("print Receipt 2"), "OK");
    ASSERT_EQ(RunStaged(L"TarrowPA.exe", L"-RE0:" + port), 0);
    EXPECT_EQ(sim.Control("print routed no more"), "OK");
    EXPECT_EQ(folders.Journal(section), "Receipt 1\r\nTotal 12.50\r\nReceipt 2\r\n");

    ProcessRunner viewer;
    ASSERT_TRUE(viewer.Start(StageDir() + L"JrnlView.exe", section));
    ViewerWindow view = WaitForViewer(viewer, section);
    ASSERT_NE(view.list, nullptr);
    ASSERT_EQ(view.Count(), 3);
    EXPECT_EQ(view.Item(1), L"Total 12.50");
    EXPECT_EQ(ChildText(view.window, kSummaryId), L"Journal of " + section + L": 3 lines");

    // Printed while the viewer is open: it shows the new line.
    ASSERT_EQ(RunStaged(L"TarrowPA.exe", L"-RE1:" + port), 0);
    EXPECT_EQ(sim.Control("print Receipt 3"), "OK");
    EXPECT_TRUE(PumpUntil([&] { return view.Count() == 4; }, 10000));
    EXPECT_EQ(view.Item(3), L"Receipt 3");

    PostMessageW(view.window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(viewer.Wait(60000)) << "the viewer ends when its window is closed";
    EXPECT_EQ(viewer.ExitCode(), 0u);
    EXPECT_NE(FileText(folders.tools + L"runs.log").find("JrnlView.exe 20"), std::string::npos);
    EXPECT_NE(FileText(folders.tools + L"runs.log").find(" " + Narrow(section) + "\r\n"),
              std::string::npos);
}

TEST(ElectronicJournal, ViewerOfASectionWithoutJournalSaysSoAndClosesByItsButton) {
    JournalFolders folders;
    ProcessRunner viewer;
    ASSERT_TRUE(viewer.Start(StageDir() + L"JrnlView.exe", L"\"USB QK4A000009\""));
    ViewerWindow view = WaitForViewer(viewer, L"USB QK4A000009");
    ASSERT_NE(view.list, nullptr);
    EXPECT_EQ(view.Count(), 0);
    EXPECT_EQ(ChildText(view.window, kSummaryId),
              L"No journal has been kept for USB QK4A000009 yet.");
    PressButton(view.window, IDCANCEL);
    ASSERT_TRUE(viewer.Wait(60000));
    EXPECT_EQ(viewer.ExitCode(), 0u);
}

} // namespace
} // namespace qk::test
