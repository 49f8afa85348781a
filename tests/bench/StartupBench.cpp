// Benchmark, not a test: the utility's start-up and status strip against their floors,
// measured in the same run under the same Wine server.
// (a) process start to the main window visible, file mode; (b) process start to the printer
// selection visible; both against a bare window of the main window's size (median of RUNS).
// (c) a state flip on the simulator's control channel to the status strip's text changed.
// Prints a table and one "bench<TAB>name<TAB>ms<TAB>floor ms" line per figure.
// Usage: startup_bench.exe [RUNS]   (inside scripts/xvfb-session.sh)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "app/shell/Model.h"
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

// Polls every millisecond (the 10 ms of the test helpers would blur the figures).
bool PollUntil(const std::function<bool()>& done, double timeoutMs) {
    const double start = NowMs();
    while (!done()) {
        if (NowMs() - start > timeoutMs)
            return false;
        ::Sleep(1);
    }
    return true;
}

struct Bench {
    std::wstring folder; // scratch: the library's files, the file mode's output
    std::vector<std::wstring> environment;
    int runs = 7;

    // Milliseconds from CreateProcess to a visible top-level window of the process with the
    // class (empty: any) and title; the median of the runs, -1 when it never showed.
    double TimeToWindow(const std::wstring& exe, const std::wstring& arguments,
                        const std::wstring& className, const std::wstring& title) const {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            ProcessRunner program;
            const double start = NowMs();
            if (!program.Start(exe, arguments, folder, environment))
                return -1;
            const bool shown = PollUntil(
                [&] {
                    for (HWND window : TopLevelWindows(program.Id(), className))
                        if (title.empty() || WindowText(window) == title)
                            return true;
                    return false;
                },
                30000);
            const double end = NowMs();
            program.Kill();
            program.Wait(5000);
            if (shown)
                times.push_back(end - start);
        }
        return Median(times);
    }
};

void Row(const char* name, double ms, double floorMs, const char* floorName) {
    std::printf("%-44s %9.1f ms  %-34s %9.1f ms  x%.2f\n", name, ms, floorName, floorMs,
                floorMs > 0 ? ms / floorMs : 0.0);
    std::printf("bench\t%s\t%.1f\t%.1f\n", name, ms, floorMs);
}

// The status strip's first line in the main window.
HWND StatusText(HWND frame) {
    HWND found = nullptr;
    ::EnumChildWindows(
        frame,
        [](HWND child, LPARAM param) -> BOOL {
            if (::GetDlgCtrlID(child) != 1021 || ClassName(child) != L"Static")
                return TRUE;
            *reinterpret_cast<HWND*>(param) = child;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// (c): the utility on the simulator, the cover flipped `flips` times.
double StatusFlip(const Bench& bench, int flips) {
    SimulatorProcess simulator;
    if (!simulator.Start())
        return -1;
    // The simulator's port, registered and mapped, chosen in the printer selection with OK.
    const std::string map =
        "[COM]\r\nQKBENCH=" + simulator.Endpoint() + "\r\n[Features]\r\n2=1\r\n";
    const std::string ports = "[Ports]\r\nFormat=QKComm.Ports.1\r\nCount=1\r\n[Port1]\r\n"
                              "Interface=COM\r\nPortName=QKBENCH\r\nDeviceName=QK-R40\r\n"
                              "Field1040=-1\r\nField1044=-1\r\n";
    if (!qk::win::WriteFileText(bench.folder + L"\\comm\\DeviceMap.ini", map) ||
        !qk::win::WriteFileText(bench.folder + L"\\comm\\Ports.ini", ports))
        return -1;
    ProcessRunner program;
    if (!program.Start(ProgramFolder() + L"QK40UTL.exe", L"", bench.folder, bench.environment))
        return -1;
    HWND selection = WaitForTopLevel(program.Id(), L"#32770", L"QK-R40 Utility", 30000);
    if (selection)
        PressButton(selection, IDOK);
    const std::wstring title = std::wstring(L"QK-R40 Utility ") + qk::app::kVersionText;
    HWND frame = selection ? WaitForTopLevel(program.Id(), L"", title, 30000) : nullptr;
    HWND text = frame ? StatusText(frame) : nullptr;
    if (!text)
        std::printf("(c): %s\n", !selection ? "no printer selection"
                                 : !frame   ? "no main window after OK"
                                            : "no status strip text");
    std::vector<double> times;
    // The start-up's settings read first; the strip then shows the printer online.
    if (text &&
        PollUntil([&] { return TopLevelWindows(program.Id(), L"#32770").empty(); }, 30000)) {
        ::Sleep(3000); // a progress dialog that had not shown yet has come and gone
        for (int i = 0; i < flips; ++i) {
            const std::wstring before = WindowText(text);
            const double start = NowMs();
            simulator.Control(i % 2 == 0 ? "cover open" : "cover closed");
            if (PollUntil([&] { return WindowText(text) != before; }, 5000))
                times.push_back(NowMs() - start);
            ::Sleep(200);
        }
    }
    if (text && times.empty())
        std::printf("(c): the status strip's text did not follow the flips\n");
    program.Kill();
    program.Wait(5000);
    return Median(times);
}

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
    bench.environment = {L"QKCOMM_DATA_DIR=" + bench.folder + L"\\comm"};

    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring bin = self;
    bin.resize(bin.find_last_of(L'\\') + 1);

    const std::wstring size =
        std::to_wstring(qk::app::kFrameWidth) + L" " + std::to_wstring(qk::app::kFrameHeight);
    const double bare = bench.TimeToWindow(bin + L"bench_bare_window.exe", size, L"", L"");
    const std::wstring exe = ProgramFolder() + L"QK40UTL.exe";
    std::printf("program folder: %ls\n", ProgramFolder().c_str());
    const std::wstring title = std::wstring(L"QK-R40 Utility ") + qk::app::kVersionText;
    const double fileMode =
        bench.TimeToWindow(exe, L"/mF" + bench.folder + L"\\R40.dat", L"", title);
    const double selection = bench.TimeToWindow(exe, L"", L"#32770", L"QK-R40 Utility");
    const double flip = StatusFlip(bench, 10);

    std::printf("%-44s %12s  %-34s %12s  %s\n", "measured", "median", "floor", "median", "ratio");
    Row("(a) start to main window, file mode", fileMode, bare, "bare window of its size");
    Row("(b) start to printer selection", selection, bare, "bare window of its size");
    std::printf("%-44s %9.1f ms  (floor: maker_comm_bench's flip to status procedure)\n",
                "(c) cover flip to status strip text", flip);
    std::printf("bench\t(c) cover flip to status strip text\t%.1f\t\n", flip);
    ::DeleteFileW((bench.folder + L"\\comm\\DeviceMap.ini").c_str());
    ::DeleteFileW((bench.folder + L"\\comm\\Ports.ini").c_str());
    return fileMode > 0 && selection > 0 && bare > 0 ? 0 : 1;
}
