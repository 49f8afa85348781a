// The status strip inside the real main frame, driven with the messages the frame, the pages
// and the communication library's status procedure send it.
#include <process.h>
#include <atomic>
#include <cstring>
#include <string>
#include "app/status/PrinterSettingView.h"
#include "app/status/UtilStatusView.h"
#include "framework/store/PrinterInfoBlock.h"
#include "platform/Text.h"
#include "tests/app/MainFrameTestSupport.h"
#include "tests/support/ScriptedPresenter.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

using app::CUtilStatusView;

struct StatusStrip : FrameFixture {
    StatusStrip() {
        host.context->interfaceKind = 1;
        std::u16string(u"COM7").copy(host.context->portRecord.portName, 259);
    }
    CUtilStatusView& Pane() { return *Frame().StatusView(); }
    HWND PaneWindow() { return Pane().m_hWnd; }
    std::wstring Line(int id) { return ChildText(PaneWindow(), id); }
    LRESULT Report(int32_t code) {
        return ::SendMessageW(PaneWindow(), WM_UTIL_STATUSCHANGED, static_cast<WPARAM>(code),
                              reinterpret_cast<LPARAM>(&Pane()));
    }
    void StoreName(const std::u16string& name) {
        PrinterInfoBlock block{};
        ASSERT_EQ(host.store.ReadBlock(kPrinterInfoBlockKey, &block, sizeof(block)), 0);
        std::memset(block.strings[1], 0, sizeof(block.strings[1]));
        name.copy(block.strings[1], kPrinterInfoStringChars - 1);
        ASSERT_EQ(host.store.WriteBlock(kPrinterInfoBlockKey, sizeof(block), &block), 0);
    }
};

TEST_F(StatusStrip, StartsWithThePrinterBlockItsLinesAndOnline) {
    PrinterInfoBlock block{};
    ASSERT_EQ(host.store.ReadBlock(kPrinterInfoBlockKey, &block, sizeof(block)), 0)
        << "the strip registers the printer information block";
    EXPECT_EQ(block.header.key, kPrinterInfoBlockKey);
    EXPECT_EQ(block.header.version, kPrinterInfoBlockVersion);
    EXPECT_EQ(block.header.size, kPrinterInfoBlockSize);
    EXPECT_EQ(std::memcmp(block.header.magic, "PND", 4), 0);
    EXPECT_EQ(block.value984, 80);
    EXPECT_EQ(block.value988, 180);
    EXPECT_EQ(block.informationRead, 0);

    EXPECT_EQ(Line(CUtilStatusView::kNameLineId), L"Printer Name: Unknown");
    EXPECT_EQ(Line(CUtilStatusView::kPortLineId), L"Port: COM7");
    EXPECT_EQ(Line(CUtilStatusView::kStatusLineId), L"Status: Online");
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(PaneWindow(), CUtilStatusView::kIconId)));
    EXPECT_NE(CStatic(::GetDlgItem(PaneWindow(), CUtilStatusView::kPictureId)).GetBitmap(),
              nullptr);
}

TEST_F(StatusStrip, UpdatePrinterInfoReadsTheNameAndAnswersMinusOneWithoutTheBlock) {
    StoreName(u"QK-R40");
    EXPECT_EQ(::SendMessageW(PaneWindow(), WM_UTIL_UPDATEPRINTERINFO, 0, 0), 0);
    EXPECT_EQ(Line(CUtilStatusView::kNameLineId), L"Printer Name: QK-R40");

    ASSERT_EQ(host.store.RemoveBlock(host.store.FindBlock(kPrinterInfoBlockKey)), 0);
    std::u16string(u"COM8").copy(host.context->portRecord.portName, 259);
    EXPECT_EQ(::SendMessageW(PaneWindow(), WM_UTIL_UPDATEPRINTERINFO, 0, 0), -1);
    EXPECT_EQ(Line(CUtilStatusView::kPortLineId), L"Port: COM7") << "lines stay as they are";
}

TEST_F(StatusStrip, StatusReportsFollowTheInkOverlayRules) {
    struct Row {
        int32_t code;
        const wchar_t* line;
        int32_t current;
    };
    const Row rows[] = {
        {7, L"Status: Out of paper", 7},        {12, L"Status: Out of ink 1", 12},
        {0, L"Status: Out of ink 1", 12},       {4, L"Status: Recoverable error", 4},
        {100, L"Status: Recoverable error", 4}, {15, L"Status: Cleaning", 15},
        {6, L"Status: Cover is open", 6},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(Report(rows[i].code), 1) << "row " << i;
        EXPECT_EQ(Line(CUtilStatusView::kStatusLineId), rows[i].line) << "row " << i;
        int32_t current = -99;
        ::SendMessageW(frame, WM_UTIL_GETSTATUS, reinterpret_cast<WPARAM>(&current), 0);
        EXPECT_EQ(current, rows[i].current) << "row " << i;
    }
    EXPECT_TRUE(presenter.Shown().empty());
}

TEST_F(StatusStrip, StopStatusEndsEveryLaterUpdate) {
    EXPECT_EQ(::SendMessageW(frame, WM_UTIL_STOPSTATUS, 0, 0), 0);
    EXPECT_EQ(Report(6), 1);
    EXPECT_EQ(::SendMessageW(PaneWindow(), WM_UTIL_SETICON, 0x3130, 0), 1);
    EXPECT_EQ(Line(CUtilStatusView::kStatusLineId), L"Status: Online");
    EXPECT_EQ(Pane().CurrentStatus(), 0);
}

TEST_F(StatusStrip, BackOnlineRunsTheReadAndAFailedIdentificationRestoresTheLine) {
    // No printer information library beside the tests: the read cannot identify the printer.
    ASSERT_EQ(Report(1), 1);
    EXPECT_EQ(Line(CUtilStatusView::kStatusLineId), L"Status: Offline");
    EXPECT_TRUE(Pane().SettingsReadNeeded());
    EXPECT_EQ(Report(0), 0) << "the printer did not identify itself";
    EXPECT_EQ(Line(CUtilStatusView::kStatusLineId), L"Status: Offline");
    EXPECT_EQ(Pane().CurrentStatus(), 1);
    EXPECT_TRUE(Pane().SettingsReadNeeded());
    ASSERT_EQ(presenter.Shown().size(), 1u);
    EXPECT_EQ(presenter.Shown()[0].text, L"A communication error occurred.");
    EXPECT_EQ(presenter.Shown()[0].caption, L"QK-R40 Utility");
    EXPECT_EQ(presenter.Shown()[0].Icon(), static_cast<UINT>(MB_ICONWARNING));
    EXPECT_NE(presenter.Shown()[0].owner, nullptr) << "owned by the progress dialog";
    EXPECT_EQ(Frame().CommStateDialog(), nullptr) << "the progress dialog is gone";
}

// Reports a status to the strip from the settings read's worker whenever it shows a message,
// as the status procedure's post would arrive while the progress dialog runs.
class StatusDuringMessage : public ScriptedPresenter {
public:
    StatusDuringMessage(HWND pane, void* context, int32_t code)
        : pane_(pane), context_(context), code_(code) {}
    int Show(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override {
        ::SendMessageW(pane_, WM_UTIL_STATUSCHANGED, static_cast<WPARAM>(code_),
                       reinterpret_cast<LPARAM>(context_));
        return ScriptedPresenter::Show(owner, text, caption, type);
    }

private:
    HWND pane_;
    void* context_;
    int32_t code_;
};

TEST_F(StatusStrip, AStatusTakenDuringTheReadIsTheOneShownAfterIt) {
    ASSERT_EQ(Report(1), 1);
    StatusDuringMessage boxes(PaneWindow(), &Pane(), 6);
    Report(0); // back online: the read runs, and the cover opens meanwhile
    ASSERT_EQ(boxes.Shown().size(), 1u) << "the read reported its failure";
    EXPECT_EQ(Line(CUtilStatusView::kStatusLineId), L"Status: Cover is open");
    EXPECT_EQ(Pane().CurrentStatus(), 6);
}

TEST_F(StatusStrip, ReadWhileOfflineIsRefusedWithoutAnExchange) {
    ASSERT_EQ(Report(16), 1);
    EXPECT_EQ(::SendMessageW(PaneWindow(), WM_UTIL_READSETTINGS, 0, 0), -64);
    EXPECT_TRUE(presenter.Shown().empty());
}

TEST_F(StatusStrip, EraseFillsWithTheWindowColour) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    RECT client{};
    ::GetClientRect(PaneWindow(), &client);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    EXPECT_EQ(::SendMessageW(PaneWindow(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    EXPECT_EQ(::GetPixel(dc, client.right / 2, client.bottom - 1), ::GetSysColor(COLOR_WINDOW));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
}

// Notes when this thread takes a close of the window from its queue.
struct CloseWatch {
    static inline HWND target = nullptr;
    static inline std::atomic<bool> taken{false};
    HHOOK hook;
    explicit CloseWatch(HWND watched) {
        target = watched;
        taken = false;
        hook = ::SetWindowsHookExW(WH_GETMESSAGE, OnGet, nullptr, ::GetCurrentThreadId());
    }
    ~CloseWatch() { ::UnhookWindowsHookEx(hook); }
    static LRESULT CALLBACK OnGet(int code, WPARAM wp, LPARAM lp) {
        auto* msg = reinterpret_cast<MSG*>(lp);
        if (code >= 0 && wp == PM_REMOVE && msg->hwnd == target && msg->message == WM_CLOSE)
            taken = true;
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }
};

// A worker that asks the main window to close while it still runs.
struct CloseDuringExchange {
    HWND frame;
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;
    bool closeHandled = false;
    bool frameAliveAtEnd = false;
    static unsigned __stdcall Worker(void* self) {
        auto* run = static_cast<CloseDuringExchange*>(self);
        ::PostMessageW(run->frame, WM_CLOSE, 0, 0);
        // The dialog's loop takes the close; a message sent after it is answered only once
        // the close has been handled.
        DWORD_PTR answer = 0;
        run->closeHandled =
            PollUntil([] { return CloseWatch::taken.load(); }, 5000) &&
            ::SendMessageTimeoutW(run->frame, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer) != 0;
        run->frameAliveAtEnd = ::IsWindow(run->frame) != FALSE;
        return 0;
    }
};

TEST_F(StatusStrip, CloseDuringAnExchangeWaitsForItsEnd) {
    CloseDuringExchange run{frame};
    CloseWatch watch(frame);
    ASSERT_NE(::SendMessageW(frame, WM_UTIL_CREATECOMMSTATE, 0, 0), 0);
    run.thread = reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, &CloseDuringExchange::Worker, &run, 0, nullptr));
    CommStateRequest request = {&run.thread, &run.event, 2, 1};
    EXPECT_EQ(::SendMessageW(frame, WM_UTIL_RUNCOMMSTATE, reinterpret_cast<WPARAM>(&request), 0),
              0);
    EXPECT_TRUE(run.closeHandled);
    EXPECT_TRUE(run.frameAliveAtEnd) << "the panes outlive the exchange's worker";
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(frame); }, 5000)) << "then the window closes";
    ::WaitForSingleObject(run.thread, 5000);
    ::CloseHandle(run.thread);
    ::CloseHandle(run.event);
}

struct FileModeStrip : StatusStrip {
    FileModeStrip() {
        host.context->startMode = kStartFileMode;
        host.context->interfaceKind = 0;
        host.connectionResult = -1;
    }
};

TEST_F(FileModeStrip, ShowsTheModelAndTheStatusLabelAlone) {
    EXPECT_EQ(Line(CUtilStatusView::kNameLineId), L"Printer Name: QK-R40");
    EXPECT_EQ(Line(CUtilStatusView::kPortLineId), L"Port: ");
    EXPECT_EQ(Line(CUtilStatusView::kStatusLineId), L"Status:");
    EXPECT_EQ(Pane().CurrentStatus(), -1);
}

struct NoLanguageStrip : StatusStrip {
    NoLanguageStrip() { host.context->languageFolder[0] = 0; }
};

TEST_F(NoLanguageStrip, WarnsWithoutOwnerAndClosesTheMainWindow) {
    ASSERT_FALSE(presenter.Shown().empty());
    EXPECT_EQ(presenter.Shown()[0].text,
              L"Could not find the required files.\nClosing application.");
    EXPECT_EQ(presenter.Shown()[0].owner, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(frame); }, 5000));
}

} // namespace
} // namespace qk::test
