// Timings of the communication library against the simulator (a benchmark, not a test):
// from a state flip at the simulator to the status procedure's call, and the round trip of
// QKC_CommunicationTest. Run: scripts/xvfb-session.sh scripts/wine-run.sh maker_comm_bench.exe
#include <windows.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>
#include "maker/comm/PortStore.h"
#include "tests/maker/CommFixture.h"

using namespace qk::comm;

namespace {

std::atomic<int32_t> g_last{-1};
std::atomic<LONGLONG> g_at{0};

int32_t QKC_CALL OnStatus(int32_t status, void*) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    g_at = now.QuadPart;
    g_last = status;
    return 1;
}

void Report(const char* what, std::vector<double> ms) {
    if (ms.empty()) {
        std::printf("%-40s no samples\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-40s n=%zu min=%.2f ms median=%.2f ms max=%.2f ms\n", what, ms.size(), ms[0],
                ms[ms.size() / 2], ms.back());
}

// The port store's text with 20,000 ports written and read back. Each section was looked up
// by a scan of all before (47 s to read natively); sections are indexed once now.
void PortStoreTimes() {
    std::vector<PortRecord> records(20000);
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i] = qk::test::MakePortRecord(u"NET", u"127.0.0.1");
        records[i].portName[10] = static_cast<char16_t>(u'A' + i % 26);
    }
    LARGE_INTEGER frequency, start, written, read;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const std::string text = PortStore::Serialize(records);
    QueryPerformanceCounter(&written);
    std::vector<PortRecord> back;
    const bool parsed = PortStore::Parse(text, back);
    QueryPerformanceCounter(&read);
    auto ms = [&](LONGLONG ticks) { return 1000.0 * ticks / frequency.QuadPart; };
    std::printf("%-40s write %.1f ms, read %.1f ms (%s, %zu ports)\n", "port store, 20,000 ports",
                ms(written.QuadPart - start.QuadPart), ms(read.QuadPart - written.QuadPart),
                parsed ? "read back" : "NOT READ", back.size());
}

} // namespace

int main() {
    PortStoreTimes();
    qk::test::CommFixture fx;
    if (!fx.SetUp(qk::test::StandardDeviceMap())) {
        std::printf("cannot start the simulator or bind QKComm.dll\n");
        return 1;
    }
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    auto toMs = [&](LONGLONG ticks) { return 1000.0 * ticks / frequency.QuadPart; };

    PortRecord record = qk::test::MakePortRecord(u"NET", u"127.0.0.1");
    std::vector<double> tests;
    for (int i = 0; i < 50; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        int32_t rc = fx.qkc.QKC_CommunicationTest(&record);
        QueryPerformanceCounter(&end);
        if (rc == kQkcOk)
            tests.push_back(toMs(end.QuadPart - start.QuadPart));
    }
    Report("QKC_CommunicationTest (port closed)", tests);

    fx.qkc.QKC_RegisterStatusProc(&OnStatus, nullptr);
    fx.qkc.QKC_SetPort(&record);
    fx.qkc.QKC_Open(1);
    tests.clear();
    for (int i = 0; i < 50; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        int32_t rc = fx.qkc.QKC_CommunicationTest(&record);
        QueryPerformanceCounter(&end);
        if (rc == kQkcOk)
            tests.push_back(toMs(end.QuadPart - start.QuadPart));
    }
    Report("QKC_CommunicationTest (port open)", tests);

    std::vector<double> flips;
    qk::test::PumpUntil([] { return g_last == kStatusOnline; }, 5000);
    for (int i = 0; i < 50; ++i) {
        bool open = i % 2 == 0;
        int32_t expected = open ? kStatusCoverOpen : kStatusOnline;
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        fx.sim.Control(open ? "cover open" : "cover closed");
        if (qk::test::PumpUntil([&] { return g_last == expected; }, 5000))
            flips.push_back(toMs(g_at - start.QuadPart));
    }
    Report("state flip -> status procedure", flips);
    // The floor of the status strip's flip in startup_bench (scripts/bench.sh pairs them).
    if (!flips.empty()) {
        std::sort(flips.begin(), flips.end());
        std::printf("bench\t(c) floor: flip to status procedure\t%.2f\t\n",
                    flips[flips.size() / 2]);
    }
    fx.TearDown();
    return 0;
}
