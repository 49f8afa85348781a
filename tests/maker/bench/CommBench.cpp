// Timings of the communication library against the simulator (a benchmark, not a test):
// from a state flip at the simulator to the status procedure's call, and the round trip of
// QKC_CommunicationTest; how long the library, PrinfoLib.dll and the simulator take to give up
// on a silent, refusing or slow printer (the tests assert only how each call ends). Run:
// scripts/xvfb-session.sh scripts/wine-run.sh maker_comm_bench.exe
#include <windows.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>
#include "framework/comm/PrinfoLibApi.h"
#include "framework/comm/ProcAddress.h"
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

double Since(LONGLONG start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start) / frequency.QuadPart;
}

LONGLONG Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void Took(const char* what, const char* outcome, double ms) {
    std::printf("%-40s %.1f ms (%s)\n", what, ms, outcome);
    std::printf("bench\t%s\t%.1f\t\n", what, ms);
}

// How long each way of giving up takes: a read that finds nothing, a silent printer, a
// refusing one, a slow one. The port of the library is open on entry and closed on return.
void GivingUpTimes(qk::test::CommFixture& fx) {
    uint8_t buffer[16];
    int32_t got = 0;
    LONGLONG start = Now();
    int32_t rc = fx.qkc.QKC_Read(buffer, sizeof(buffer), &got, 300);
    Took("QKC_Read, nothing to read, wait 300", rc == kQkcTimeout ? "time-out" : "OTHER",
         Since(start));

    fx.sim.Control("silent on");
    HMODULE prinfo = LoadLibraryW((qk::test::StageDir() + L"PrinfoLib.dll").c_str());
    auto initialize = GetProcAs<PFN_PRINFO_Initialize>(prinfo, "Initialize");
    auto finalize = GetProcAs<PFN_PRINFO_Finalize>(prinfo, "Finalize");
    auto getName = GetProcAs<PFN_PRINFO_GetPrinterName>(prinfo, "GetPrinterName");
    auto getId = GetProcAs<PFN_PRINFO_GetDeviceID>(prinfo, "GetDeviceID");
    if (initialize && finalize && getName && getId) {
        void* context = initialize(&fx.qkc);
        char name[90] = {};
        int32_t id = 0;
        start = Now();
        const bool failed = getName(context, name, 90) == 0 && getId(context, &id) == 0;
        Took("PrinfoLib name and id, silent printer", failed ? "both failed" : "ANSWERED",
             Since(start));
        finalize(&context);
    }
    if (prinfo)
        FreeLibrary(prinfo);
    fx.qkc.QKC_Close();
    PortRecord record = qk::test::MakePortRecord(u"NET", u"127.0.0.1");
    start = Now();
    rc = fx.qkc.QKC_CommunicationTest(&record);
    Took("QKC_CommunicationTest, silent printer", rc == kQkcTimeout ? "time-out" : "OTHER",
         Since(start));
    fx.sim.Control("silent off");

    fx.sim.Control("refuse on");
    start = Now();
    rc = fx.qkc.QKC_CommunicationTest(&record);
    Took("QKC_CommunicationTest, refused", rc == kQkcConnectFailed ? "connect failed" : "OTHER",
         Since(start));
    PortRecord nobody = qk::test::MakePortRecord(u"COM", u"COM2");
    start = Now();
    rc = fx.qkc.QKC_CommunicationTest(&nobody);
    Took("QKC_CommunicationTest, nobody listens",
         rc == kQkcConnectFailed ? "connect failed" : "OTHER", Since(start));
    qk::net::TcpSocket socket;
    start = Now();
    const bool refused =
        socket.Connect("127.0.0.1", fx.sim.DataPort(), 3000) == qk::net::TcpSocket::Result::Refused;
    Took("simulator connect, refused", refused ? "refused" : "OTHER", Since(start));
    fx.sim.Control("refuse off");

    fx.sim.Control("delay 700");
    qk::test::PrinterConnection printer;
    if (printer.Connect(fx.sim.DataPort()) && printer.Send({0x10, 0x04, 0x01})) {
        start = Now();
        const bool answered = printer.ReadExactly(1, 5000).size() == 1;
        Took("simulator answer, delay 700", answered ? "answered" : "NO ANSWER", Since(start));
    }
    fx.sim.Control("delay 0");
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
    GivingUpTimes(fx);
    fx.TearDown();
    return 0;
}
