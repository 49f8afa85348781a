// The real QK40UTL.exe against the printer simulator with the journal library in its menu
// between two test plug-ins: the settings read at start calls every plug-in's reader in menu
// order, and the journal entry is chosen by mouse and by keys.
#include <windows.h>
#include <commctrl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include "tests/app/StartupEndToEndFixture.h"

namespace qk::test {
namespace {

namespace fs = std::filesystem;

constexpr char kMenu[] = "[MENUITEM_1]\r\nITEMID=1\r\nFONT_BOLD=1\r\nSTRING=Settings_0\r\n"
                         "[MENUITEM_2]\r\nITEMID=10\r\nPARENTITEMID=1\r\nSELECTING=1\r\n"
                         "USE_DLL_NAME=QKMenuTestPage.dll\r\nSTRING=Test page\r\n"
                         "[MENUITEM_3]\r\nITEMID=12\r\nPARENTITEMID=1\r\nSELECTING=2\r\n"
                         "USE_DLL_NAME=QKUEJ.dll\r\nSTRING=Electronic Journal_1\r\n"
                         "[MENUITEM_4]\r\nITEMID=11\r\nPARENTITEMID=1\r\nSELECTING=2\r\n"
                         "USE_DLL_NAME=QKMenuTestPage2.dll\r\nSTRING=Second test page\r\n";
constexpr int kJournalRow = 2;
constexpr int kTestPageRow = 1;
constexpr int kJournalPageId = 8;

struct MenuRun : UtilityRun {
    std::wstring program;
    std::wstring log;
    HWND frame = nullptr;
    HWND list = nullptr;

    void Start() {
        ASSERT_NO_FATAL_FAILURE(StartPrinter());
        program = CopyOfStage();
        wchar_t self[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        const fs::path bin = fs::path(self).parent_path();
        for (const wchar_t* plugin : {L"QKMenuTestPage.dll", L"QKMenuTestPage2.dll"})
            fs::copy_file(bin / plugin, fs::path(program + plugin));
        std::ofstream(fs::path(program + L"MENUITEM_REMOTE.DAT"), std::ios::binary) << kMenu;
        log = Folder() + L"\\calls.log";
        std::vector<std::wstring> environment = Environment();
        environment.push_back(L"QKMENUTEST_LOG=" + log);
        ASSERT_TRUE(program_.Start(program + L"QK40UTL.exe", L"/bM /mR /r" + DevicePath(), Folder(),
                                   environment));
        frame = WaitForTopLevel(program_.Id(), L"", kTitle, 30000);
        ASSERT_NE(frame, nullptr);
        list = Descendant(frame, 0, L"SysListView32");
        ASSERT_NE(list, nullptr);
    }
    std::vector<std::string> Calls() const {
        std::vector<std::string> lines;
        std::ifstream file(fs::path(log), std::ios::binary);
        for (std::string line; std::getline(file, line);)
            lines.push_back(line);
        return lines;
    }
    // The libraries whose settings reader ran, in order.
    std::vector<std::string> ReadOrder() const {
        std::vector<std::string> readers;
        for (const std::string& line : Calls())
            if (line.find(" Read ") != std::string::npos)
                readers.push_back(line.substr(0, line.find(' ')));
        return readers;
    }
    bool JournalShown() const {
        HWND page = Descendant(frame, kJournalPageId, nullptr);
        return page && ::IsWindowVisible(page);
    }
    bool TestPageShown() const {
        HWND page = ::FindWindowExW(::GetParent(Descendant(frame, kJournalPageId, nullptr)),
                                    nullptr, L"Static", L"QKMenuTestPage.dll");
        return page && ::IsWindowVisible(page);
    }
    POINT RowCentre(int row) const {
        // One row's height, as the list computes it for a single row.
        const int height =
            HIWORD(::SendMessageW(list, LVM_APPROXIMATEVIEWRECT, 1, MAKELPARAM(-1, -1)));
        return POINT{40, row * height + height / 2};
    }
};

// Choosing a page by mouse and by keys is the menu view's own case (MenuViewTest); in the real
// program the readers run in menu order at the start and every plug-in is finalised at the end.
TEST_F(MenuRun, ReadsEveryPluginInMenuOrderAndFinalisesEveryOneAtTheEnd) {
    ASSERT_NO_FATAL_FAILURE(Start());
    // The test pages' readers run in menu order.
    ASSERT_TRUE(PumpUntil([&] { return ReadOrder().size() == 2; }, 20000))
        << testing::PrintToString(Calls());
    EXPECT_EQ(ReadOrder(), (std::vector<std::string>{"QKMenuTestPage.dll", "QKMenuTestPage2.dll"}));
    EXPECT_EQ(MessageBoxWithin(program_.Id()).hwnd, nullptr) << "every reader succeeded";
    EXPECT_TRUE(TestPageShown());
    EXPECT_FALSE(JournalShown());

    ASSERT_TRUE(Close(program_, frame));
    const std::vector<std::string> calls = Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(
        std::vector<std::string>(calls.end() - 2, calls.end()),
        (std::vector<std::string>{"QKMenuTestPage.dll Finalize", "QKMenuTestPage2.dll Finalize"}));
}

TEST_F(MenuRun, AfterAClickTheMenuKeepsTheKeyboardAndTabEntersThePageAtItsFirstControl) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(PumpUntil([&] { return ReadOrder().size() == 2; }, 20000));
    ASSERT_TRUE(
        PumpUntil([&] { return TopLevelWindows(program_.Id(), L"#32770").empty(); }, 30000));
    ASSERT_TRUE(BringToForeground(frame));
    const auto focusIs = [&](HWND window) {
        return PumpUntil([&] { return FocusOfThread(frame) == window; }, 10000);
    };
    HWND testPage = ::FindWindowExW(::GetParent(Descendant(frame, kJournalPageId, nullptr)),
                                    nullptr, L"Static", L"QKMenuTestPage.dll");
    ASSERT_NE(testPage, nullptr);
    HWND testButton = ::GetDlgItem(testPage, 1);

    ASSERT_TRUE(HoverUntilCaptured(list, RowCentre(kJournalRow)));
    ClickWithMouse(list, RowCentre(kJournalRow));
    ASSERT_TRUE(PumpUntil([&] { return JournalShown(); }, 15000));
    EXPECT_TRUE(focusIs(list)) << "the focus went to "
                               << testing::PrintToString(ClassName(FocusOfThread(frame)));
    // The journal's controls cannot be used on this port: Tab finds nothing to enter (the
    // group box is no stop), and the keys go on acting on the menu at once.
    ASSERT_FALSE(::IsWindowEnabled(Descendant(frame, 10019, nullptr)));
    PressKey(VK_TAB);
    PressKey(VK_UP);
    PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return TestPageShown(); }, 15000)) << "Tab, Up, Enter";
    EXPECT_TRUE(focusIs(list));

    PressKey(VK_TAB);
    EXPECT_TRUE(focusIs(testButton)) << "Tab enters the page at its first control";
    PressKey(VK_TAB, true);
    EXPECT_TRUE(focusIs(list)) << "Shift+Tab comes back";
    PressKey(VK_END);
    PressKey(VK_RETURN);
    HWND secondPage =
        ::FindWindowExW(::GetParent(testPage), nullptr, L"Static", L"QKMenuTestPage2.dll");
    EXPECT_TRUE(PumpUntil([&] { return secondPage && ::IsWindowVisible(secondPage); }, 15000))
        << "End, Enter: the last page";
    PressKey(VK_HOME);
    PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return TestPageShown(); }, 15000)) << "Home, Enter";
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return JournalShown(); }, 15000)) << "Down, Enter";
    EXPECT_TRUE(focusIs(list));
    ASSERT_TRUE(Close(program_, frame));
}

} // namespace
} // namespace qk::test
