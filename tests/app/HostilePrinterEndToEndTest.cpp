// The real QK40UTL.exe against a printer that answers one question badly (the simulator's
// control channel): noise, half an answer, an answer too long, a late one or one that
// trickles in a byte at a time. One row per page's exchange and fault: the exchange that sends
// the question ends within its bound in the page's own failure message, leaves the printer out
// of user setting mode and nothing half-written in the data folder or the emulator's folder,
// and once the fault is cleared the utility reads the printer in full again. The printer is on
// the virtual serial port of the maker's port driver, so that the journal page can route it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include "framework/store/PluginDataMgr.h"
#include "platform/Text.h"
#include "tests/app/RemoteListView.h"
#include "app/status/UtilStatusView.h"
#include "tests/app/JournalPortRun.h"

namespace qk::test {
namespace {

namespace fs = std::filesystem;

constexpr int kPaperPageId = 9;
constexpr int kLogoPageId = 10;
constexpr int kPaperWidthCombo = 1101;
constexpr int kLogoOpenButton = 1201;
constexpr int kLogoFileLine = 1202;
constexpr int kLogoStoredList = 1207;
constexpr int kLogoDeleteButton = 1208;
constexpr int kJournalPageId = 8;
constexpr int kJournalCheckId = 10019;
constexpr wchar_t kIncomplete[] = L"Could not get some settings from the printer.";
constexpr wchar_t kSaveQuestion[] =
    L"Do you want to save your changes to the settings to the printer?";
constexpr wchar_t kNotWritten[] = L"Failed to change settings.";
constexpr wchar_t kGraphicNotTaken[] = L"Stored graphic";
constexpr wchar_t kJournalQuestion[] =
    L"Do you want to change the electronic journal setting for this printer port?";

// The questions the faults are set on: the paper width (1D 28 45, fn 6, value 3), which the
// settings read asks; the entry into user setting mode, the paper write's first question; the
// key code list (1D 28 4C, fn 0x40 "KC"), by which the logo page's store and delete see what
// the printer now holds; the automatic status switch-on (1D 61 n), the only question of the
// journal page's switch, which reopens the port after routing it and is answered with the
// printer's status.
constexpr wchar_t kPaperWidthQuestion[] = L"1D284502000603";
constexpr wchar_t kEntryQuestion[] = L"1D2845030001494E";
constexpr wchar_t kKeyCodeListQuestion[] = L"1D284C040030404B43";
constexpr wchar_t kStatusSwitchOnQuestion[] = L"1D61";

enum class Page { SettingsRead, PaperWrite, LogoStore, LogoDelete, JournalSwitch };

struct Row {
    Page page;
    // Late and trickling answers just past the pages' one-second wait for an answer.
    const wchar_t* fault;
};

const Row kRows[] = {
    {Page::SettingsRead, L"garbage"},
    {Page::SettingsRead, L"truncate"},
    {Page::SettingsRead, L"long"},
    {Page::SettingsRead, L"late 1500"},
    {Page::SettingsRead, L"trickle 1500"},

    {Page::PaperWrite, L"garbage"},
    {Page::PaperWrite, L"truncate"},
    {Page::PaperWrite, L"long"},
    {Page::PaperWrite, L"late 1500"},
    {Page::PaperWrite, L"trickle 1500"},

    {Page::LogoStore, L"garbage"},
    {Page::LogoStore, L"truncate"},
    {Page::LogoStore, L"long"},
    {Page::LogoStore, L"late 1500"},
    {Page::LogoStore, L"trickle 1500"},

    {Page::LogoDelete, L"garbage"},
    {Page::LogoDelete, L"truncate"},
    {Page::LogoDelete, L"long"},
    {Page::LogoDelete, L"late 1500"},
    {Page::LogoDelete, L"trickle 1500"},

    {Page::JournalSwitch, L"garbage"},
    {Page::JournalSwitch, L"truncate"},
    {Page::JournalSwitch, L"long"},
    {Page::JournalSwitch, L"late 1500"},
    {Page::JournalSwitch, L"trickle 1500"},
};

const wchar_t* PageName(Page page) {
    switch (page) {
    case Page::SettingsRead:
        return L"settings read";
    case Page::PaperWrite:
        return L"paper page write";
    case Page::LogoStore:
        return L"logo page store";
    case Page::LogoDelete:
        return L"logo page delete";
    case Page::JournalSwitch:
        return L"journal page switch-on";
    }
    return L"?";
}

const wchar_t* Question(Page page) {
    switch (page) {
    case Page::SettingsRead:
        return kPaperWidthQuestion;
    case Page::PaperWrite:
        return kEntryQuestion;
    case Page::LogoStore:
    case Page::LogoDelete:
        return kKeyCodeListQuestion;
    case Page::JournalSwitch:
        return kStatusSwitchOnQuestion;
    }
    return L"";
}

std::string RowName(const Row& row) {
    const std::wstring name = std::wstring(PageName(row.page)) + L" x " + row.fault;
    return std::string(name.begin(), name.end());
}

std::wstring FirstLine(const std::wstring& text) {
    return text.substr(0, text.find(L'\n'));
}

// A 24-bit BMP of 64 x 16 dots, black on the left half.
void WritePicture(const std::wstring& path) {
    const int32_t width = 64, height = 16;
    const uint32_t stride = width * 3;
    std::vector<uint8_t> file(54 + stride * height, 0xFF);
    auto put = [&](std::size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    std::fill(file.begin(), file.begin() + 54, 0);
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<uint32_t>(file.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, width, 4);
    put(22, height, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (int32_t y = 0; y < height; ++y)
        std::fill_n(file.begin() + 54 + y * stride, (width / 2) * 3, 0);
    std::ofstream(fs::path(path), std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()),
               static_cast<std::streamsize>(file.size()));
}

class HostilePrinterRun : public JournalPortRun {
protected:
    void TearDown() override {
        JournalPortRun::TearDown();
        const std::u16string path = SettingsFile();
        std::error_code error;
        if (!path.empty())
            fs::remove(fs::path(ToWide(path)), error);
    }

    std::u16string SettingsFile() const {
        PluginDataMgr store;
        store.LoadPrinterList(DataFolder().c_str());
        return store.SettingsPathOf(u"QK-R40", FromWide(PortNameForTest()));
    }

    // What the utility writes: the data folder and the command emulator's folder beside it.
    static DataFolderFiles WrittenFiles() {
        DataFolderFiles files = DataFiles();
        const std::u16string data = DataFolder();
        const DataFolderFiles emulator =
            FilesBelow(data.substr(0, data.rfind(u'\\')) + u"\\QKCommandEmulator");
        files.insert(emulator.begin(), emulator.end());
        return files;
    }

    // The different questions asked since the last reset, -1 when the printer did not say.
    int DistinctRequests() {
        int total = 0;
        int distinct = -1;
        if (std::sscanf(PrinterControl(L"get requests").c_str(), "OK %d %d", &total, &distinct) !=
            2)
            return -1;
        return distinct;
    }

    // The number of graphics the printer stores, -1 when it did not say.
    int StoredGraphics() {
        int count = -1;
        if (std::sscanf(PrinterControl(L"get graphics").c_str(), "OK %d", &count) != 1)
            return -1;
        return count;
    }

    // A start whose settings read gets every answer: it asks every question of a complete
    // start, says nothing and leaves the printer out of user setting mode.
    void StartReadingInFull(HWND& frame) {
        ASSERT_EQ(PrinterControl(L"requests reset"), "OK");
        ASSERT_NO_FATAL_FAILURE(StartWithTools(frame));
        // The strip may show the printer before the read has begun: a fault must not meet it.
        ASSERT_TRUE(PumpUntil(
            [&] {
                return DistinctRequests() >= completeRead_ &&
                       PrinterControl(L"get usermode") == "OK 0";
            },
            60000))
            << "the start's read asked " << DistinctRequests() << " of " << completeRead_;
    }

    // The page's failure message within the exchange's bound: the answer waits of its tries
    // and the read-backs after them, each ended within about a second and a half.
    std::wstring FailureMessage() {
        MessageBoxView box = WaitForMessageBox(program_.Id(), 90000);
        if (!box.hwnd)
            return L"(the exchange never ended)";
        PressButton(box.hwnd, IDOK);
        EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(box.hwnd); }, 10000));
        return box.text;
    }

    // Ends the program the row started: a close that declines what is asked, or it ended.
    void EndRun(HWND frame) {
        ASSERT_TRUE(program_.Wait(0) || Close(program_, frame)) << "the program did not end";
    }

    // The settings read with the fault at the start: its message, then an ordinary exit.
    void RunSettingsRead(const std::wstring& fault) {
        ASSERT_EQ(PrinterControl(fault), "OK");
        HWND frame = nullptr;
        ASSERT_NO_FATAL_FAILURE(StartWithTools(frame, false));
        EXPECT_EQ(FailureMessage(), kIncomplete);
        ASSERT_TRUE(
            PumpUntil([&] { return TopLevelWindows(program_.Id(), L"#32770").empty(); }, 30000))
            << "a second message: "
            << testing::PrintToString(WaitForMessageBox(program_.Id(), 0).text);
        ASSERT_NO_FATAL_FAILURE(EndRun(frame));
    }

    // The paper page's write with the fault: another paper width, then the close's save
    // question with Yes.
    void RunPaperWrite(HWND frame, const std::wstring& fault) {
        HWND page = nullptr;
        ASSERT_NO_FATAL_FAILURE(ShowPage(frame, L"Paper Settings", kPaperPageId, page));
        ASSERT_NO_FATAL_FAILURE(ChooseAnotherPaperWidth(page));
        ASSERT_EQ(PrinterControl(fault), "OK");
        ::PostMessageW(frame, WM_CLOSE, 0, 0);
        EXPECT_EQ(Answer(IDYES), kSaveQuestion);
        EXPECT_EQ(FirstLine(FailureMessage()), kNotWritten);
        ASSERT_NO_FATAL_FAILURE(EndRun(frame));
    }

    // The logo page's store with the fault: a picture opened, then the close's save question
    // with Yes. The graphic is sent whole, but the printer's list cannot be read back, so the
    // page may not say the printer took it.
    void RunLogoStore(HWND frame, const std::wstring& fault) {
        HWND page = nullptr;
        ASSERT_NO_FATAL_FAILURE(ShowPage(frame, L"Logo Settings", kLogoPageId, page));
        ASSERT_NO_FATAL_FAILURE(OpenPicture(page));
        ASSERT_EQ(PrinterControl(fault), "OK");
        ::PostMessageW(frame, WM_CLOSE, 0, 0);
        EXPECT_EQ(Answer(IDYES), kSaveQuestion);
        const std::wstring message = FailureMessage();
        EXPECT_EQ(FirstLine(message), kNotWritten);
        EXPECT_NE(message.find(kGraphicNotTaken), std::wstring::npos)
            << testing::PrintToString(message);
        ASSERT_NO_FATAL_FAILURE(EndRun(frame));
    }

    // The logo page's delete of the first stored graphic with the fault.
    void RunLogoDelete(HWND frame, const std::wstring& fault) {
        HWND page = nullptr;
        ASSERT_NO_FATAL_FAILURE(ShowPage(frame, L"Logo Settings", kLogoPageId, page));
        HWND list = ::GetDlgItem(page, kLogoStoredList);
        ASSERT_NE(list, nullptr);
        ASSERT_TRUE(PumpUntil([&] { return ::SendMessageW(list, LB_GETCOUNT, 0, 0) > 0; }, 10000))
            << "the page lists no stored graphic";
        ::SendMessageW(list, LB_SETCURSEL, 0, 0);
        ASSERT_EQ(PrinterControl(fault), "OK");
        ::PostMessageW(::GetDlgItem(page, kLogoDeleteButton), BM_CLICK, 0, 0);
        EXPECT_EQ(Answer(IDYES).rfind(L"Delete the stored graphic ", 0), 0u);
        const std::wstring message = FailureMessage();
        EXPECT_EQ(FirstLine(message), kNotWritten);
        EXPECT_NE(message.find(kGraphicNotTaken), std::wstring::npos)
            << testing::PrintToString(message);
        ASSERT_NO_FATAL_FAILURE(EndRun(frame));
    }

    // The journal page's switch-on with the fault on the status that answers the port's
    // reopening. The switch is the routing's and the emulator section's: it holds, and the box
    // stays with it. What the status brought is the strip's to say: nothing it can read, but
    // the late status, which arrives within the library's grace for it. Once the fault is
    // cleared the strip follows the printer again (the port is open); the exit stores the flag.
    void RunJournalSwitch(HWND frame, const Row& row, const std::wstring& fault) {
        HWND page = nullptr;
        ASSERT_NO_FATAL_FAILURE(ShowPage(frame, L"Electronic Journal", kJournalPageId, page));
        HWND check = ::GetDlgItem(page, kJournalCheckId);
        ASSERT_TRUE(check && ::IsWindowEnabled(check));
        ASSERT_EQ(::SendMessageW(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        const int routings = ToolRuns(L"-RE1:" + port);
        ASSERT_EQ(PrinterControl(fault), "OK");
        ::PostMessageW(check, BM_CLICK, 0, 0);
        EXPECT_EQ(Answer(IDYES), kJournalQuestion);
        ASSERT_TRUE(PumpUntil([&] { return ToolRuns(L"-RE1:" + port) == routings + 1; }, 60000))
            << "the port tool did not route the port";
        // The click's handling, the reopening with it, is over once the page answers again.
        ASSERT_TRUE(::SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr))
            << "the switch did not end";
        EXPECT_EQ(::SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SectionValue(L"JournalEnable"), L"1");
        EXPECT_EQ(SectionValue(L"Port"), port);
        EXPECT_EQ(RoutingMode() & kRoutingBit, kRoutingBit);
        const int line = app::CUtilStatusView::kStatusLineId;
        const std::wstring late(row.fault);
        EXPECT_TRUE(WaitForDescendantText(
            frame, line,
            late.rfind(L"late", 0) == 0 ? L"Status: Online" : L"Status: Cannot Get Status", 30000))
            << testing::PrintToString(WindowText(Descendant(frame, line, nullptr)));
        ASSERT_EQ(PrinterControl(L"answer off"), "OK");
        ASSERT_EQ(PrinterControl(L"cover open"), "OK");
        EXPECT_TRUE(WaitForDescendantText(frame, line, L"Status: Cover is open"));
        ASSERT_EQ(PrinterControl(L"cover closed"), "OK");
        EXPECT_TRUE(WaitForDescendantText(frame, line, L"Status: Online"));
        ASSERT_NO_FATAL_FAILURE(EndRun(frame));
        EXPECT_EQ(SavedJournalFlag(), 1);
    }

    // Puts the files back as they were and the port unrouted, for the rows after a switch.
    void PutBack(const DataFolderFiles& before) {
        ForgetSectionAndRouting();
        std::error_code error;
        for (const auto& [path, bytes] : WrittenFiles())
            if (!before.count(path))
                fs::remove(fs::path(path), error);
        for (const auto& [path, bytes] : before)
            std::ofstream(fs::path(path), std::ios::binary | std::ios::trunc)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(WrittenFiles() == before) << "the files could not be put back";
    }

    // A graphic for the delete rows to delete, stored through the logo page.
    void StoreAGraphic() {
        HWND frame = nullptr;
        ASSERT_NO_FATAL_FAILURE(StartReadingInFull(frame));
        HWND page = nullptr;
        ASSERT_NO_FATAL_FAILURE(ShowPage(frame, L"Logo Settings", kLogoPageId, page));
        ASSERT_NO_FATAL_FAILURE(OpenPicture(page));
        ::PostMessageW(frame, WM_CLOSE, 0, 0);
        EXPECT_EQ(Answer(IDYES), kSaveQuestion);
        EXPECT_EQ(Answer(IDOK), L"Settings were changed successfully.");
        ASSERT_NO_FATAL_FAILURE(EndRun(frame));
    }

    // Chooses the menu's row with the text with the mouse and waits for its page.
    void ShowPage(HWND frame, const wchar_t* rowText, int pageId, HWND& page) {
        HWND menu = Descendant(frame, 0, L"SysListView32");
        ASSERT_NE(menu, nullptr);
        const std::vector<std::vector<std::wstring>> rows = RemoteListRows(menu, 1);
        const int height =
            HIWORD(::SendMessageW(menu, LVM_APPROXIMATEVIEWRECT, 1, MAKELPARAM(-1, -1)));
        POINT row{-1, -1};
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (!rows[i].empty() && rows[i][0] == rowText)
                row = POINT{40, static_cast<int>(i) * height + height / 2};
        ASSERT_GE(row.y, 0) << "no menu row " << testing::PrintToString(std::wstring(rowText));
        ASSERT_TRUE(BringToForeground(frame));
        ASSERT_TRUE(HoverUntilCaptured(menu, row)) << "the menu does not follow the mouse";
        ClickWithMouse(menu, row);
        ASSERT_TRUE(PumpUntil(
            [&] {
                page = Descendant(frame, pageId, nullptr);
                return page && ::IsWindowVisible(page);
            },
            15000))
            << "the page did not show: " << testing::PrintToString(std::wstring(rowText));
    }

    // The page's open dialog: the picture's path typed in, Open pressed.
    void OpenPicture(HWND page) {
        ::PostMessageW(::GetDlgItem(page, kLogoOpenButton), BM_CLICK, 0, 0);
        HWND dialog = nullptr;
        ASSERT_TRUE(PumpUntil(
            [&] {
                for (HWND w : TopLevelWindows(program_.Id(), L"#32770"))
                    if (::GetDlgItem(w, 0x47C) || ::GetDlgItem(w, 0x480))
                        dialog = w;
                return dialog != nullptr;
            },
            30000))
            << "no open dialog";
        for (int id : {0x47C, 0x480})
            ::SetDlgItemTextW(dialog, id, picture_.c_str());
        PressButton(dialog, IDOK);
        ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(dialog); }, 15000));
        ASSERT_TRUE(PumpUntil([&] { return !ChildText(page, kLogoFileLine).empty(); }, 10000))
            << "the page does not name the picture";
    }

    static void ChooseAnotherPaperWidth(HWND page) {
        HWND combo = ::GetDlgItem(page, kPaperWidthCombo);
        ASSERT_NE(combo, nullptr);
        const LRESULT shown = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
        ASSERT_GT(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 1);
        ::SendMessageW(combo, CB_SETCURSEL, shown == 0 ? 1 : 0, 0);
        ::SendMessageW(page, WM_COMMAND, MAKEWPARAM(kPaperWidthCombo, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(combo));
    }

    // A start reading in full as the proof that the previous row's printer is read again
    // once its fault was cleared (a write row's own start serves for it).
    void StartAfterCleared(HWND& frame) {
        SCOPED_TRACE(cleared_.empty() ? std::string("the first start")
                                      : "the start after " + cleared_ + " was cleared");
        cleared_.clear();
        ASSERT_NO_FATAL_FAILURE(StartReadingInFull(frame));
    }

    void ProveCleared() {
        if (cleared_.empty())
            return;
        HWND frame = nullptr;
        ASSERT_NO_FATAL_FAILURE(StartAfterCleared(frame));
        ASSERT_NO_FATAL_FAILURE(EndRun(frame));
    }

    // One row: the exchange with the fault, then what it must have left.
    void RunRow(const Row& row) {
        const std::wstring fault =
            L"answer " + std::wstring(Question(row.page)) + L" " + std::wstring(row.fault);
        if (row.page == Page::SettingsRead) {
            ASSERT_NO_FATAL_FAILURE(ProveCleared());
        }
        if (row.page == Page::LogoDelete && StoredGraphics() < 1) {
            ASSERT_NO_FATAL_FAILURE(ProveCleared());
            ASSERT_NO_FATAL_FAILURE(StoreAGraphic());
        }
        const DataFolderFiles before = WrittenFiles();
        const int graphics = StoredGraphics();
        if (row.page == Page::SettingsRead) {
            ASSERT_NO_FATAL_FAILURE(RunSettingsRead(fault));
        } else {
            HWND frame = nullptr;
            ASSERT_NO_FATAL_FAILURE(StartAfterCleared(frame));
            if (row.page == Page::PaperWrite) {
                ASSERT_NO_FATAL_FAILURE(RunPaperWrite(frame, fault));
            } else if (row.page == Page::LogoStore) {
                ASSERT_NO_FATAL_FAILURE(RunLogoStore(frame, fault));
            } else if (row.page == Page::JournalSwitch) {
                ASSERT_NO_FATAL_FAILURE(RunJournalSwitch(frame, row, fault));
            } else {
                ASSERT_NO_FATAL_FAILURE(RunLogoDelete(frame, fault));
            }
        }
        // A late or trickling answer may still be on its way, the leave behind it.
        EXPECT_TRUE(PumpUntil([&] { return PrinterControl(L"get usermode") == "OK 0"; }, 15000))
            << "the printer was left in user setting mode";
        if (row.page == Page::JournalSwitch) {
            ASSERT_NO_FATAL_FAILURE(PutBack(before));
        } else {
            EXPECT_TRUE(WrittenFiles() == before)
                << "a file of the data or emulator folder changed";
        }
        // The store (under a code not taken yet) and the delete went through; only their
        // reading back failed.
        if (row.page == Page::LogoStore) {
            EXPECT_EQ(StoredGraphics(), graphics + 1);
        } else if (row.page == Page::LogoDelete) {
            EXPECT_EQ(StoredGraphics(), graphics - 1);
        }
        ASSERT_EQ(PrinterControl(L"answer off"), "OK");
    }

    // Ends what a failed row left running, so that the next row starts clean.
    void EndLeftovers() {
        if (program_.Handle() && !program_.Wait(0)) {
            program_.Kill();
            program_.Wait(5000);
        }
        PrinterControl(L"answer off");
    }

    int completeRead_ = 0; // the different questions of a complete start
    std::wstring picture_;
    std::string cleared_; // the row whose fault was cleared last, until a start proved it
};

TEST_F(HostilePrinterRun,
       EachPageExchangeEndsInItsMessageLeavesNothingHalfDoneAndThePrinterIsReadAgain) {
    ASSERT_NO_FATAL_FAILURE(StartPrinterKeepingTheJournal());
    picture_ = Folder() + L"\\logo.bmp";
    WritePicture(picture_);
    // A complete start registers the printer and saves its settings file.
    ASSERT_EQ(PrinterControl(L"requests reset"), "OK");
    HWND frame = nullptr;
    ASSERT_NO_FATAL_FAILURE(StartWithTools(frame));
    ASSERT_TRUE(Close(program_, frame));
    completeRead_ = DistinctRequests();
    ASSERT_GT(completeRead_, 0);
    ASSERT_FALSE(SettingsFile().empty()) << "the printer was not registered";

    for (const Row& row : kRows) {
        SCOPED_TRACE(RowName(row));
        RunRow(row);
        EndLeftovers();
        cleared_ = RowName(row);
    }
    ProveCleared();
}

} // namespace
} // namespace qk::test
