// Benchmark, not a test: the utility's start-up and status strip against their floors,
// measured in the same run under the same Wine server.
// (a) process start to the main window visible, file mode; (b) process start to the printer
// selection visible, one printer registered; both against a bare window of the main window's
// size and against a skeleton program that does the same window's work (median of RUNS), and
// to the first wait for input after it (window painted, message loop reached).
// (b) again with 10, 100 and 1,000 registered printers, against its skeleton with as many rows.
// (c) a state flip on the simulator's control channel to the status strip's text changed.
// (d) one settings read (offline, then online): the questions the printer was asked against
// the different ones among them, and the time from the flip to the last question.
// Prints a table and one "bench<TAB>name<TAB>ms<TAB>floor ms" line per figure.
// Usage: startup_bench.exe [RUNS] [a]   (inside scripts/xvfb-session.sh; "a": (a) only)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <filesystem>
#include <map>
#include <string>
#include <vector>
#include "app/shell/Model.h"
#include "app/status/UtilStatusView.h"
#include "maker/common/WinText.h"
#include "tests/maker/SimulatorProcess.h"
#include "tests/support/WindowDriver.h"

namespace {

using namespace qk::test;

double NowMs() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The program folder measured: QK_BENCH_STAGE (a release build's, say) or the build's own.
std::wstring ProgramFolder() {
    wchar_t value[MAX_PATH] = {};
    if (::GetEnvironmentVariableW(L"QK_BENCH_STAGE", value, MAX_PATH) == 0)
        return StageDir();
    std::wstring folder = value;
    for (wchar_t& c : folder)
        if (c == L'/')
            c = L'\\';
    if (folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

// Polls every 4 ms: the 10 ms of the test helpers would blur the figures, and polling every
// millisecond slowed the program measured on two cores by half (file mode 1.19 s against
// 0.74 s).
bool PollUntil(const std::function<bool()>& done, double timeoutMs) {
    const double start = NowMs();
    while (!done()) {
        if (NowMs() - start > timeoutMs)
            return false;
        ::Sleep(4);
    }
    return true;
}

struct ThreadWindowQuery {
    const std::wstring& className;
    const std::wstring& title;
    // Whether each window seen is of a class that may be the one awaited: a window keeps its
    // class, so each is asked for it once, not at every poll.
    std::map<HWND, bool>& candidates;
    bool found = false;
};

// The system's own top-level windows of a program's thread (the drop-down lists of its combo
// boxes, the input method's window), which a program's main window or dialog never is.
bool NeverAwaited(const std::wstring& className) {
    return className == L"ComboLBox" || className == L"IME" || className == L"tooltips_class32";
}

// The window's text as the system keeps it: no message to the program, which would answer
// only from its message loop (after its first paint), not when the window shows. Under Wine
// every question about another process's window is a call to the server: the windows ruled
// out by their class are skipped, so a poll of the utility's first thread makes 2 calls, not 8.
BOOL CALLBACK FindShownWindow(HWND window, LPARAM param) {
    auto* query = reinterpret_cast<ThreadWindowQuery*>(param);
    auto known = query->candidates.find(window);
    if (known == query->candidates.end()) {
        const std::wstring className = ClassName(window);
        const bool candidate =
            !NeverAwaited(className) && (query->className.empty() || className == query->className);
        known = query->candidates.emplace(window, candidate).first;
    }
    if (!known->second || !::IsWindowVisible(window))
        return TRUE;
    wchar_t text[256] = {};
    ::InternalGetWindowText(window, text, 256);
    query->found = query->title.empty() || query->title == text;
    return !query->found;
}

// The file's size, 0 when there is none.
uintmax_t FileSize(const std::wstring& path) {
    std::error_code missing;
    const uintmax_t size = std::filesystem::file_size(path, missing);
    return missing ? 0 : size;
}

// One program start: from CreateProcess to a visible top-level window of the process's first
// thread with the class (empty: any) and title (empty: any).
struct Start {
    std::wstring exe, arguments, className, title;
    std::vector<std::wstring> environment;
    // The utility starts its restore tool once its window is up: a start killed while it
    // creates the tool left the tool's process half made under Wine, blocked for good and
    // holding the benchmark's output open.
    bool startsRestoreTool = false;
};

// Milliseconds from CreateProcess to the window visible, and to the program's first wait for
// input after it (its window painted, its message loop reached); -1 when not reached.
struct Shown {
    double visible = -1, ready = -1;
};

struct Bench {
    std::wstring folder; // scratch: the library's files, the file mode's output
    std::vector<std::wstring> environment;
    std::wstring restoreLog; // where the restore tool writes its line
    int runs = 7;

    // A poll lists the windows of the program's first thread only (one call to the Wine
    // server, and one per window): walking all top-level windows of the desktop took some
    // forty calls (3.6 ms with the utility's thirteen windows), every 4 ms, and the server
    // busy with them half of the time slowed the program measured, the more so the more
    // server calls the program makes itself.
    Shown TimeToWindow(const Start& start) const {
        ProcessRunner program;
        const uintmax_t restoreRuns = FileSize(restoreLog);
        const double begin = NowMs();
        if (!program.Start(start.exe, start.arguments, folder, start.environment))
            return {};
        Shown shown;
        std::map<HWND, bool> candidates;
        const bool visible = PollUntil(
            [&] {
                ThreadWindowQuery query{start.className, start.title, candidates};
                ::EnumThreadWindows(program.ThreadId(), FindShownWindow,
                                    reinterpret_cast<LPARAM>(&query));
                return query.found;
            },
            30000);
        if (visible) {
            shown.visible = NowMs() - begin;
            if (::WaitForInputIdle(program.Handle(), 30000) == 0)
                shown.ready = NowMs() - begin;
        }
        if (visible && start.startsRestoreTool)
            PollUntil([&] { return FileSize(restoreLog) > restoreRuns; }, 5000);
        program.Kill();
        program.Wait(5000);
        return shown;
    }

    // Each start's runs, round by round (-1 where a run failed). The starts are taken in turn
    // (a, b, c, a, b, c ...): the machine's speed drifts during a run, and programs timed one
    // after the other in blocks carried that drift into their ratios. The first round is not
    // counted: a program's first start pays for what the system does once (its files' first
    // read; under Wine, the desktop process starting).
    std::vector<std::vector<Shown>> TimeInTurn(const std::vector<Start>& starts) const {
        std::vector<std::vector<Shown>> rounds;
        for (int round = -1; round < runs; ++round) {
            std::vector<Shown> turn;
            for (const Start& start : starts)
                turn.push_back(TimeToWindow(start));
            if (round >= 0)
                rounds.push_back(std::move(turn));
        }
        return rounds;
    }
};

// The median of start `i`'s runs.
Shown MedianOf(const std::vector<std::vector<Shown>>& rounds, size_t i) {
    std::vector<double> visible, ready;
    for (const std::vector<Shown>& turn : rounds) {
        if (turn[i].visible >= 0)
            visible.push_back(turn[i].visible);
        if (turn[i].ready >= 0)
            ready.push_back(turn[i].ready);
    }
    return {Median(visible), Median(ready)};
}

std::vector<Shown> Medians(const std::vector<std::vector<Shown>>& rounds) {
    std::vector<Shown> medians;
    for (size_t i = 0; !rounds.empty() && i < rounds.front().size(); ++i)
        medians.push_back(MedianOf(rounds, i));
    return medians;
}

// Start `i` against start `floor` round by round: the two ran seconds apart, so the machine's
// drift over the whole run (2x on this one) cancels, which a ratio of the two medians (from
// rounds minutes apart) does not do. Prints the median ratio and the middle half of them.
void RoundByRound(const char* name, const std::vector<std::vector<Shown>>& rounds, size_t i,
                  size_t floor, double Shown::*figure) {
    std::vector<double> ratios;
    for (const std::vector<Shown>& turn : rounds)
        if (turn[i].*figure > 0 && turn[floor].*figure > 0)
            ratios.push_back(turn[i].*figure / turn[floor].*figure);
    std::sort(ratios.begin(), ratios.end());
    if (ratios.empty())
        return;
    std::printf("%-44s x%.2f  (median of %zu rounds' ratios; middle half x%.2f to x%.2f)\n", name,
                ratios[ratios.size() / 2], ratios.size(), ratios[ratios.size() / 4],
                ratios[std::min(ratios.size() - 1, (3 * ratios.size()) / 4)]);
}

// The library's port store in its folder, with `count` registered printers QKBENCH1...
bool WritePorts(const std::wstring& commFolder, int count) {
    std::string ports =
        "[Ports]\r\nFormat=QKComm.Ports.1\r\nCount=" + std::to_string(count) + "\r\n";
    for (int i = 1; i <= count; ++i)
        ports += "[Port" + std::to_string(i) + "]\r\nInterface=COM\r\nPortName=QKBENCH" +
                 std::to_string(i) + "\r\nDeviceName=QK-R40\r\nField1040=-1\r\nField1044=-1\r\n";
    return qk::win::WriteFileText(commFolder + L"\\Ports.ini", ports);
}

void Row(const char* name, double ms, double floorMs, const char* floorName) {
    std::printf("%-44s %9.1f ms  %-34s %9.1f ms  x%.2f\n", name, ms, floorName, floorMs,
                floorMs > 0 ? ms / floorMs : 0.0);
    std::printf("bench\t%s\t%.1f\t%.1f\n", name, ms, floorMs);
}

BOOL CALLBACK KeepStatusLine(HWND child, LPARAM param) {
    if (::GetDlgCtrlID(child) != qk::app::CUtilStatusView::kStatusLineId ||
        ClassName(child) != L"Static")
        return TRUE;
    *reinterpret_cast<HWND*>(param) = child;
    return FALSE;
}

// The status strip's status line in the main window (its first line names the printer).
HWND StatusText(HWND frame) {
    HWND found = nullptr;
    ::EnumChildWindows(frame, KeepStatusLine, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The utility on the simulator, through the printer selection to the main window, with the
// start-up's settings read over; (c) and (d) are measured in it.
class PrinterSession {
public:
    explicit PrinterSession(const Bench& bench) : bench_(bench) {}
    ~PrinterSession() {
        program_.Kill();
        program_.Wait(5000);
    }

    bool Start() {
        if (!simulator_.Start())
            return Fail("no simulator");
        // The simulator's port, registered and mapped, chosen in the printer selection.
        const std::string map =
            "[COM]\r\nQKBENCH1=" + simulator_.Endpoint() + "\r\n[Features]\r\n2=1\r\n";
        if (!qk::win::WriteFileText(bench_.folder + L"\\comm\\DeviceMap.ini", map) ||
            !WritePorts(bench_.folder + L"\\comm", 1))
            return Fail("cannot write the library's files");
        if (!program_.Start(ProgramFolder() + L"QK40UTL.exe", L"", bench_.folder,
                            bench_.environment))
            return Fail("cannot start the utility");
        HWND selection = WaitForTopLevel(program_.Id(), L"#32770", L"QK-R40 Utility", 30000);
        if (!selection)
            return Fail("no printer selection");
        PressButton(selection, IDOK);
        const std::wstring title = std::wstring(L"QK-R40 Utility ") + qk::app::kVersionText;
        HWND frame = WaitForTopLevel(program_.Id(), L"", title, 30000);
        if (!frame)
            return Fail("no main window after OK");
        text_ = StatusText(frame);
        if (!text_)
            return Fail("no status strip text");
        // The start-up's settings read first: a progress dialog that had not shown yet when
        // the window came has come and gone after a while.
        if (!PollUntil([&] { return Idle(); }, 30000))
            return Fail("the start-up's settings read did not end");
        ::Sleep(3000);
        if (!PollUntil([&] { return Idle(); }, 30000))
            return Fail("the start-up's settings read did not end");
        return true;
    }

    // (c): the median of `flips` cover flips to the strip's text changed.
    double CoverFlips(int flips) {
        std::vector<double> times;
        for (int i = 0; i < flips; ++i) {
            const std::wstring before = WindowText(text_);
            const double start = NowMs();
            simulator_.Control(i % 2 == 0 ? "cover open" : "cover closed");
            if (PollUntil([&] { return WindowText(text_) != before; }, 5000))
                times.push_back(NowMs() - start);
            ::Sleep(200);
        }
        if (times.empty())
            std::printf("(c): the status strip's text did not follow the flips\n");
        return Median(times);
    }

    struct Read {
        double ms = -1; // from the online flip to the read's last question
        long total = -1, distinct = -1;
        std::string repeats; // the simulator's "OK" and the repeated questions
    };
    // (d): offline, then online: the strip reads the settings again. The printer counts the
    // questions; their time is the printer's, from the flip to the last question, so the
    // progress dialog's extra second after the read is not in it.
    Read SettingsRead() {
        Read read;
        const std::wstring online = WindowText(text_);
        simulator_.Control("offline");
        if (!PollUntil([&] { return WindowText(text_) != online; }, 5000)) {
            std::printf("(d): the strip did not show the printer offline\n");
            return read;
        }
        const std::wstring offline = WindowText(text_);
        simulator_.Control("requests reset");
        simulator_.Control("online");
        // The strip shows the new state once the read is over.
        if (!PollUntil([&] { return WindowText(text_) != offline && Idle(); }, 60000)) {
            std::printf("(d): the settings read did not end\n");
            return read;
        }
        const std::string tally = simulator_.Control("get requests");
        long lastMs = -1;
        if (std::sscanf(tally.c_str(), "OK %ld %ld %ld", &read.total, &read.distinct, &lastMs) !=
            3) {
            std::printf("(d): the simulator answered \"%s\"\n", tally.c_str());
            return Read{};
        }
        read.ms = static_cast<double>(lastMs);
        read.repeats = simulator_.Control("get repeats");
        return read;
    }

private:
    bool Fail(const char* why) {
        std::printf("(c), (d): %s\n", why);
        return false;
    }
    // No dialog of the utility is up (the progress dialog, a message).
    bool Idle() { return TopLevelWindows(program_.Id(), L"#32770").empty(); }

    const Bench& bench_;
    SimulatorProcess simulator_;
    ProcessRunner program_;
    HWND text_ = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    Bench bench;
    if (argc > 1)
        bench.runs = std::max(1, atoi(argv[1]));
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    bench.folder = std::wstring(temp) + L"qk-bench-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(bench.folder.c_str(), nullptr);
    ::CreateDirectoryW((bench.folder + L"\\comm").c_str(), nullptr);
    bench.environment = {L"QKCOMM_DATA_DIR=" + bench.folder + L"\\comm",
                         L"QKRESTORE_DATA_DIR=" + bench.folder + L"\\restore"};
    bench.restoreLog = bench.folder + L"\\restore\\runs.log";

    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring bin = self;
    bin.resize(bin.find_last_of(L'\\') + 1);

    const std::wstring size =
        std::to_wstring(qk::app::kFrameWidth) + L" " + std::to_wstring(qk::app::kFrameHeight);
    const std::wstring exe = ProgramFolder() + L"QK40UTL.exe";
    std::printf("program folder: %ls\n", ProgramFolder().c_str());
    const std::wstring title = std::wstring(L"QK-R40 Utility ") + qk::app::kVersionText;
    const std::vector<std::vector<Shown>> mainRounds = bench.TimeInTurn({
        {bin + L"bench_bare_window.exe", size, L"", L"", bench.environment},
        {exe, L"/mF" + bench.folder + L"\\R40.dat", L"", title, bench.environment, true},
        {bin + L"bench_skeleton_main_window.exe", L"", L"", L"", bench.environment},
    });
    const std::vector<Shown> main = Medians(mainRounds);
    const Shown bare = main[0], fileMode = main[1], skeletonMain = main[2];
    auto mainRows = [&] {
        Row("(a) start to main window, file mode", fileMode.visible, bare.visible,
            "bare window of its size");
        Row("(a) against its skeleton", fileMode.visible, skeletonMain.visible,
            "skeleton main window");
        Row("(a) ready for input, against skeleton", fileMode.ready, skeletonMain.ready,
            "skeleton main window, ready");
        RoundByRound("(a) against its skeleton, round by round", mainRounds, 1, 2, &Shown::visible);
        RoundByRound("(a) ready, against skeleton, round by round", mainRounds, 1, 2,
                     &Shown::ready);
    };
    if (argc > 2 && std::string(argv[2]) == "a") {
        mainRows();
        return fileMode.visible > 0 && bare.visible > 0 ? 0 : 1;
    }

    // The printer selection with 1 to 1,000 registered printers, each count in a library
    // folder of its own so that all of them take their turns in one round.
    const int counts[] = {1, 10, 100, 1000};
    std::vector<Start> selections;
    std::vector<std::wstring> commFolders;
    for (int printers : counts) {
        const std::wstring comm = bench.folder + L"\\comm-" + std::to_wstring(printers);
        ::CreateDirectoryW(comm.c_str(), nullptr);
        WritePorts(comm, printers);
        commFolders.push_back(comm);
        const std::vector<std::wstring> environment = {L"QKCOMM_DATA_DIR=" + comm};
        selections.push_back({exe, L"", L"#32770", L"QK-R40 Utility", environment});
        selections.push_back({bin + L"bench_skeleton_printer_selection.exe",
                              std::to_wstring(printers), L"#32770", L"", environment});
    }
    const std::vector<std::vector<Shown>> selectionRounds = bench.TimeInTurn(selections);
    const std::vector<Shown> selected = Medians(selectionRounds);
    const double selection = selected[0].visible, skeletonSelection = selected[1].visible;
    struct Scale {
        int printers;
        double ms, skeletonMs;
    };
    std::vector<Scale> scale;
    for (size_t i = 1; i < std::size(counts); ++i)
        scale.push_back({counts[i], selected[2 * i].visible, selected[2 * i + 1].visible});
    double flip = -1;
    PrinterSession::Read read;
    {
        PrinterSession session(bench);
        if (session.Start()) {
            flip = session.CoverFlips(10);
            read = session.SettingsRead();
        }
    }

    std::printf("%-44s %12s  %-34s %12s  %s\n", "measured", "median", "floor", "median", "ratio");
    mainRows();
    Row("(b) start to printer selection", selection, bare.visible, "bare window of its size");
    Row("(b) against its skeleton", selection, skeletonSelection, "skeleton selection, 1 row");
    Row("(b) ready for input, against skeleton", selected[0].ready, selected[1].ready,
        "skeleton selection, 1 row, ready");
    RoundByRound("(b) against its skeleton, round by round", selectionRounds, 0, 1,
                 &Shown::visible);
    RoundByRound("(b) ready, against skeleton, round by round", selectionRounds, 0, 1,
                 &Shown::ready);
    for (const Scale& s : scale) {
        const std::string name = "(b) " + std::to_string(s.printers) + " printers";
        const std::string floor = "skeleton selection, " + std::to_string(s.printers) + " rows";
        Row(name.c_str(), s.ms, s.skeletonMs, floor.c_str());
        const std::string against = name + " against 1 printer";
        Row(against.c_str(), s.ms, selection, "1 printer");
    }
    std::printf("%-44s %9.1f ms  (floor: maker_comm_bench's flip to status procedure)\n",
                "(c) cover flip to status strip text", flip);
    std::printf("bench\t(c) cover flip to status strip text\t%.1f\t\n", flip);
    std::printf("%-44s %9ld     (floor: the different questions among them) %9ld     x%.2f\n",
                "(d) settings read: round trips", read.total, read.distinct,
                read.distinct > 0 ? static_cast<double>(read.total) / read.distinct : 0.0);
    std::printf("bench\t(d) settings read: round trips (count)\t%ld\t%ld\n", read.total,
                read.distinct);
    std::printf("%-44s %s\n", "(d) settings read: asked again", read.repeats.c_str());
    std::printf("%-44s %9.1f ms  (online flip to its last question; no dialog second)\n",
                "(d) settings read: time", read.ms);
    std::printf("bench\t(d) settings read: online to last question\t%.1f\t\n", read.ms);
    ::DeleteFileW((bench.folder + L"\\comm\\DeviceMap.ini").c_str());
    ::DeleteFileW((bench.folder + L"\\comm\\Ports.ini").c_str());
    for (const std::wstring& comm : commFolders) {
        ::DeleteFileW((comm + L"\\Ports.ini").c_str());
        ::RemoveDirectoryW(comm.c_str());
    }
    return fileMode.visible > 0 && selection > 0 && bare.visible > 0 ? 0 : 1;
}
