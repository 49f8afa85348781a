// Timings of the printer list (not a test): the list of registered printers that start-up
// loads and the exit saves, with 1, 10, 100 and 1,000 printers, on the real profile and file
// system. A list that scales linearly takes about the same time per printer at every size.
// Run: scripts/wine-run.sh build/tests/bin/framework_printer_list_bench.exe
#include <windows.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>
#include "framework/store/PluginDataMgr.h"
#include "platform/Text.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Figures {
    double saveMs = 0, loadMs = 0;
    int loaded = 0;
};

Figures Measure(const std::u16string& folder, int printers, int runs) {
    std::vector<double> saves, loads;
    int loaded = 0;
    for (int run = 0; run < runs; ++run) {
        ::DeleteFileW(qk::ToWide(folder + u"\\" + PluginDataMgr::kPrinterListFile).c_str());
        PluginDataMgr store;
        for (int i = 0; i < printers; ++i)
            store.AddPrinter(folder.c_str(), u"QK-R40",
                             (u"QKBENCH" + qk::FromWide(std::to_wstring(i + 1))).c_str());
        auto start = Clock::now();
        store.SavePrinterList(folder.c_str());
        saves.push_back(Ms(Clock::now() - start));
        PluginDataMgr again;
        start = Clock::now();
        loaded = again.LoadPrinterList(folder.c_str());
        loads.push_back(Ms(Clock::now() - start));
    }
    return {Median(saves), Median(loads), loaded};
}

} // namespace

int main() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder =
        std::wstring(temp) + L"qkbench_list_" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::u16string data = qk::FromWide(folder);
    const Figures one = Measure(data, 1, 7);
    std::printf("%-10s %12s %12s %14s %14s\n", "printers", "save ms", "load ms", "save ms each",
                "load ms each");
    for (int printers : {1, 10, 100, 1000}) {
        const Figures f = printers == 1 ? one : Measure(data, printers, printers >= 1000 ? 3 : 5);
        std::printf("%-10d %12.2f %12.2f %14.3f %14.3f%s\n", printers, f.saveMs, f.loadMs,
                    f.saveMs / printers, f.loadMs / printers,
                    f.loaded == printers ? "" : "  (not every printer came back)");
        if (printers == 1)
            continue;
        std::printf("bench\t(f) printer list save, %d printers\t%.2f\t%.2f\n", printers, f.saveMs,
                    one.saveMs * printers);
        std::printf("bench\t(f) printer list load, %d printers\t%.2f\t%.2f\n", printers, f.loadMs,
                    one.loadMs * printers);
    }
    ::DeleteFileW(
        (folder + L"\\" + qk::ToWide(std::u16string(PluginDataMgr::kPrinterListFile))).c_str());
    ::RemoveDirectoryW(folder.c_str());
    return 0;
}
