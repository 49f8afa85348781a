// `make bench` (not a test): one settings command file applied through QK40UTL.exe, as the
// several printers' dialog runs it (one run per printer, side by side), against the simulator.
// (f) one printer: the apply and its read-back, against the link's time for the bytes the file
// holds (the same bytes written straight to the simulator's port); the check-only run (start,
// open, read) shows what of it is not the apply. (g) five and ten printers at once against one
// (ten is more than the dialog runs side by side: the last two wait for a free run).
// Lines: "bench<TAB>name<TAB>ms<TAB>floor ms".
#include <winsock2.h>

#include <chrono>
#include "plugins/settingsfile/MultiApplyRun.h"
#include "tests/settingsfile/SettingsFileProgram.h"

namespace qk::test {
namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Report(const std::string& name, double ms, double floorMs) {
    std::printf("bench\t%s\t%.1f\t%s\n", name.c_str(), ms,
                floorMs > 0 ? std::to_string(floorMs).c_str() : "");
    std::fflush(stdout);
}

// The program measured: QK_BENCH_STAGE's (the release build's) or the build's own.
std::wstring MeasuredProgram() {
    wchar_t value[MAX_PATH] = L"";
    const DWORD n = ::GetEnvironmentVariableW(L"QK_BENCH_STAGE", value, MAX_PATH);
    const std::wstring folder = n > 0 && n < MAX_PATH ? std::wstring(value) + L"\\" : StageDir();
    return folder + L"QK40UTL.exe";
}

class SettingsFileBench : public SettingsFileProgram {
protected:
    // The runs are started by this process, so they take the test's environment from it.
    void TakeTheRunsEnvironment() {
        for (const std::wstring& pair : Environment()) {
            const size_t eq = pair.find(L'=');
            ::SetEnvironmentVariableW(pair.substr(0, eq).c_str(), pair.substr(eq + 1).c_str());
        }
    }

    // Applies the file to the printers, one run each, side by side; the time to the last end.
    double ApplyAtOnce(const std::wstring& file, const std::vector<int>& printers) {
        settingsfile::CMultiApplyRun run(os::RealProcessLauncher(), os::RealClock(),
                                         os::RealFileSystem(), FromWide(MeasuredProgram()),
                                         FromWide(file), DataFolder());
        for (int printer : printers)
            run.AddTarget(FromWide(Port(printer)));
        const Clock::time_point start = Clock::now();
        run.Run(nullptr);
        const double ms = MsSince(start);
        for (const settingsfile::ChildRow& row : run.Rows())
            EXPECT_EQ(row.exitCode, kUnattendedApplied) << Utf8(row.port);
        return ms;
    }

    // The bytes written straight to the printer's port, until the printer has taken them all.
    double WriteRaw(int printer, const std::vector<uint8_t>& bytes) {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
        const unsigned long long before = Arrived(printer);
        const Clock::time_point start = Clock::now();
        SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = ::htons(static_cast<u_short>(DataPort(printer)));
        at.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        EXPECT_EQ(::connect(s, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
        EXPECT_EQ(::send(s, reinterpret_cast<const char*>(bytes.data()),
                         static_cast<int>(bytes.size()), 0),
                  static_cast<int>(bytes.size()));
        EXPECT_TRUE(PumpUntil([&] { return Arrived(printer) >= before + bytes.size(); }, 30000));
        const double ms = MsSince(start);
        ::closesocket(s);
        ::WSACleanup();
        return ms;
    }

    static std::string Utf8(const std::u16string& text) {
        return std::string(text.begin(), text.end());
    }
};

TEST_F(SettingsFileBench, OneFileToOnePrinterAndToFiveAndTenAtOnce) {
    // 0 alone, 1-5 five at once, 6 the raw floor, 7-16 ten at once.
    ASSERT_NO_FATAL_FAILURE(StartPrinters(17));
    TakeTheRunsEnvironment();
    const std::vector<uint8_t> bytes = FileOtherThanFactory();
    const std::wstring file = WriteFile(L"other.dat", bytes);
    const std::vector<uint8_t> body(bytes.begin() + sizeof(app::SettingsFileHeader), bytes.end());

    // (f) The apply and its read-back, and the bytes that went for it.
    const unsigned long long before = Arrived(0);
    const double one = ApplyAtOnce(file, {0});
    const unsigned long long sent = Arrived(0) - before;
    const Clock::time_point checkStart = Clock::now();
    EXPECT_EQ(Check(file, 0), kUnattendedAlreadyMatching);
    const double check = MsSince(checkStart);
    const double link = WriteRaw(6, body);
    std::printf("file: %zu bytes (body %zu); the apply sent %llu bytes in all\n", bytes.size(),
                body.size(), sent);
    Report("(f) apply and read-back, 1 printer", one, link);
    Report("(f) check only (start, open, read)", check, 0);
    Report("(f) floor: the body straight to the port", link, 0);

    // (g) Five and ten printers at once against one.
    const double five = ApplyAtOnce(file, {1, 2, 3, 4, 5});
    Report("(g) apply to 5 printers at once", five, one);
    const double ten = ApplyAtOnce(file, {7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    Report("(g) apply to 10 printers at once", ten, one);
}

} // namespace
} // namespace qk::test
