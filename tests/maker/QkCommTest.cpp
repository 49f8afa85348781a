// QKComm.dll against a running simulator: ports, communication test, exclusive open, status
// reports, reads and writes, and the failures that must end in bounded time.
#include "tests/maker/CommFixture.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>
#include "maker/common/WinText.h"

using namespace qk::comm;
using qk::test::FromSlot;
using qk::test::MakePortRecord;

namespace {

// Collects what the library reports, from its own thread.
struct StatusLog {
    std::mutex mutex;
    std::vector<int32_t> codes;
    std::atomic<DWORD> threadId{0};

    static int32_t QKC_CALL Proc(int32_t status, void* context) {
        auto* log = static_cast<StatusLog*>(context);
        std::lock_guard lock(log->mutex);
        log->codes.push_back(status);
        log->threadId = GetCurrentThreadId();
        return 1;
    }
    bool WaitFor(int32_t code, DWORD timeoutMs) {
        return qk::test::PumpUntil(
            [&] {
                std::lock_guard lock(mutex);
                return !codes.empty() && codes.back() == code;
            },
            timeoutMs);
    }
    std::vector<int32_t> Codes() {
        std::lock_guard lock(mutex);
        return codes;
    }
};

class QkComm : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fx.SetUp(qk::test::StandardDeviceMap())); }
    void TearDown() override { fx.TearDown(); }

    int32_t OpenPort(const std::u16string& keyword, const std::u16string& name) {
        PortRecord record = MakePortRecord(keyword, name);
        int32_t rc = fx.qkc.QKC_SetPort(&record);
        return rc != kQkcOk ? rc : fx.qkc.QKC_Open(1);
    }
    std::vector<PortRecord> Enumerate(const std::u16string& keyword, int32_t firstCapacity) {
        std::vector<PortRecord> records(static_cast<std::size_t>(firstCapacity));
        int32_t count = 0;
        EXPECT_EQ(kQkcOk,
                  fx.qkc.QKC_EnumDevPort(keyword.c_str(), records.data(), firstCapacity, &count));
        if (count > firstCapacity) {
            records.assign(static_cast<std::size_t>(count), PortRecord{});
            EXPECT_EQ(kQkcOk,
                      fx.qkc.QKC_EnumDevPort(keyword.c_str(), records.data(), count, &count));
        }
        records.resize(static_cast<std::size_t>(count));
        return records;
    }

    qk::test::CommFixture fx;
};

} // namespace

TEST_F(QkComm, EnumeratesEveryInterfaceOfTheDeviceMap) {
    auto com = Enumerate(u"COM", 128);
    ASSERT_EQ(3u, com.size()); // COM1, COM2 and the Bluetooth COM7
    EXPECT_EQ(L"COM7", FromSlot(com[2].portName));
    EXPECT_EQ(L"COM", FromSlot(com[2].interfaceKeyword));
    EXPECT_EQ(L"\\\\.\\COM1", FromSlot(com[0].devicePath));
    EXPECT_EQ(2u, Enumerate(u"SERIAL", 128).size());
    auto bt = Enumerate(u"BT", 128);
    ASSERT_EQ(1u, bt.size());
    EXPECT_EQ(L"BT", FromSlot(bt[0].interfaceKeyword));
    auto usb = Enumerate(u"USB", 128);
    ASSERT_EQ(1u, usb.size());
    EXPECT_EQ(L"001", FromSlot(usb[0].portName));
    std::wstring deviceId = FromSlot(usb[0].deviceId);
    EXPECT_EQ(3, std::count(deviceId.begin(), deviceId.end(), L'#'));
    auto net = Enumerate(u"NET", 128);
    ASSERT_EQ(1u, net.size());
    EXPECT_EQ(L"tcp://" + qk::win::FromUtf8(fx.sim.Endpoint()), FromSlot(net[0].devicePath));
    int32_t count = -1;
    EXPECT_EQ(kQkcBadArgument, fx.qkc.QKC_EnumDevPort(u"FLOPPY", nullptr, 0, &count));
    EXPECT_EQ(kQkcBadArgument, fx.qkc.QKC_EnumDevPort(u"COM", nullptr, 5, &count));
}

TEST_F(QkComm, EnumerationGrowsBeyondTheFirstCapacity) {
    std::string map = "[COM]\n";
    for (int i = 1; i <= 150; ++i)
        map += "COM" + std::to_string(i) + "={SIM}\n";
    ASSERT_TRUE(qk::win::WriteFileText(fx.dataFolder + L"DeviceMap.ini", map));
    int32_t count = 0;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_EnumDevPort(u"COM", nullptr, 0, &count));
    EXPECT_EQ(150, count);
    // A first call with room for 128 fills 128 and reports all 150.
    std::vector<PortRecord> records(129);
    records[128].portName[0] = u'X';
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_EnumDevPort(u"COM", records.data(), 128, &count));
    EXPECT_EQ(150, count);
    EXPECT_EQ(L"COM128", FromSlot(records[127].portName));
    EXPECT_EQ(u'X', records[128].portName[0]) << "wrote beyond the capacity";
    auto all = Enumerate(u"COM", 128);
    ASSERT_EQ(150u, all.size());
    EXPECT_EQ(L"COM150", FromSlot(all[149].portName));
}

TEST_F(QkComm, RegisteredPortsAreAddedListedAndRemoved) {
    int32_t count = -1;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_EnumPort(nullptr, 0, &count));
    EXPECT_EQ(0, count);
    PortRecord net = MakePortRecord(u"NET", u"127.0.0.1");
    PortRecord usb = MakePortRecord(u"USB", u"001");
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_AddPort(&net));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_AddPort(&usb));
    net.serialSetting1 = 7; // the same port again replaces it
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_AddPort(&net));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_EnumPort(nullptr, 0, &count));
    ASSERT_EQ(2, count);
    std::vector<PortRecord> records(2);
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_EnumPort(records.data(), 2, &count));
    EXPECT_EQ(L"127.0.0.1", FromSlot(records[0].portName));
    EXPECT_EQ(7, records[0].serialSetting1);
    EXPECT_EQ(-1, records[0].reserved1040);
    EXPECT_EQ(L"QK-R40", FromSlot(records[0].deviceName));
    EXPECT_EQ(L"USB", FromSlot(records[1].interfaceKeyword));
    EXPECT_FALSE(FromSlot(records[1].deviceId).empty());
    // The registry is a file of the library's own, readable by a person.
    std::string text;
    ASSERT_TRUE(qk::win::ReadFileText(fx.dataFolder + L"Ports.ini", text));
    EXPECT_NE(std::string::npos, text.find("PortName=127.0.0.1"));

    ASSERT_EQ(kQkcOk, fx.qkc.QKC_RemovePort(&net));
    EXPECT_EQ(kQkcPortNotFound, fx.qkc.QKC_RemovePort(&net));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_EnumPort(nullptr, 0, &count));
    EXPECT_EQ(1, count);
    PortRecord unknown = MakePortRecord(u"COM", u"COM99");
    EXPECT_EQ(kQkcPortNotFound, fx.qkc.QKC_AddPort(&unknown));
    EXPECT_EQ(kQkcNoPortRecord, fx.qkc.QKC_AddPort(nullptr));
    EXPECT_EQ(kQkcNoPortRecord, fx.qkc.QKC_CommunicationTest(nullptr));
}

TEST_F(QkComm, CommunicationTestWritesTheReportedModel) {
    for (auto name : {u"127.0.0.1", u"COM1"}) {
        PortRecord record = MakePortRecord(name[0] == u'C' ? u"COM" : u"NET", name);
        ASSERT_EQ(kQkcOk, fx.qkc.QKC_CommunicationTest(&record));
        EXPECT_EQ(L"QK-R40", FromSlot(record.deviceName));
    }
    ASSERT_EQ("OK", fx.sim.Control("model QK-T20 II"));
    PortRecord record = MakePortRecord(u"NET", u"127.0.0.1");
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_CommunicationTest(&record));
    EXPECT_EQ(L"QK-T20 II", FromSlot(record.deviceName));
    EXPECT_EQ(L"tcp://" + qk::win::FromUtf8(fx.sim.Endpoint()), FromSlot(record.devicePath));
}

TEST_F(QkComm, SetPortAndGetPortFillTheLibraryFields) {
    PortRecord out{};
    EXPECT_EQ(kQkcNoPortRecord, fx.qkc.QKC_GetPort(&out));
    EXPECT_EQ(kQkcNoPortRecord, fx.qkc.QKC_Open(1));
    PortRecord record = MakePortRecord(u"LPT", u"LPT1");
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&record));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_GetPort(&out));
    EXPECT_EQ(L"\\\\.\\LPT1", FromSlot(out.devicePath));
    EXPECT_EQ(L"LPT1", FromSlot(out.portName));
    EXPECT_EQ(-1, out.reserved1044);
    // The connector switch belongs to the port and follows it to the next selection.
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_AddPort(&record));
    int32_t flag = -1;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPortConnector(1));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_IsPortConnectorEnabled(&flag));
    EXPECT_EQ(1, flag);
    PortRecord again = MakePortRecord(u"LPT", u"LPT1");
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&again));
    flag = -1;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_IsPortConnectorEnabled(&flag));
    EXPECT_EQ(1, flag);
    EXPECT_EQ(kQkcBadArgument, fx.qkc.QKC_SetPortConnector(2));
    PortRecord missing = MakePortRecord(u"USB", u"999");
    EXPECT_EQ(kQkcPortNotFound, fx.qkc.QKC_SetPort(&missing));
}

TEST_F(QkComm, FeaturesAndCommandsComeFromTheDeviceMap) {
    int32_t flag = -1;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_IsSupported(2, &flag));
    EXPECT_EQ(1, flag);
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_IsSupported(3, &flag));
    EXPECT_EQ(0, flag);
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_IsARPSupported(&flag));
    EXPECT_EQ(1, flag);
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_IsEnableCommand(1, 14, 48, &flag));
    EXPECT_EQ(1, flag);
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_IsEnableCommand(1, 6, 10, &flag));
    EXPECT_EQ(0, flag);
    EXPECT_EQ(kQkcBadArgument, fx.qkc.QKC_IsEnableCommand(2, 6, 10, &flag));
    EXPECT_EQ(kQkcBadArgument, fx.qkc.QKC_IsSupported(2, nullptr));
    EXPECT_EQ(kQkcOk, fx.qkc.QKC_SetCaller(3));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_GetCaller(&flag));
    EXPECT_EQ(3, flag);
}

TEST_F(QkComm, OpenIsExclusiveAcrossProcesses) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.resize(folder.find_last_of(L'\\') + 1);
    std::wstring ready = fx.dataFolder + L"holder.ready";
    // No backslash before a closing quote: it would escape the quote.
    std::wstring stage = qk::test::StageDir();
    stage.pop_back();
    qk::test::ProcessRunner holder;
    ASSERT_TRUE(holder.Start(folder + L"maker_port_holder.exe",
                             L"\"" + stage + L"\" NET 127.0.0.1 \"" + ready + L"\""));
    std::string text;
    ASSERT_TRUE(qk::test::PumpUntil(
        [&] { return qk::win::ReadFileText(ready, text) && !text.empty(); }, 20000))
        << "holder exit code " << holder.ExitCode();
    ASSERT_EQ("0", text);
    EXPECT_EQ(kQkcPortInUse, OpenPort(u"NET", u"127.0.0.1"));
    PortRecord record = MakePortRecord(u"NET", u"127.0.0.1");
    EXPECT_EQ(kQkcPortInUse, fx.qkc.QKC_CommunicationTest(&record));
    // Another port of this process is not affected.
    EXPECT_EQ(kQkcOk, fx.qkc.QKC_Close());
    // The holder ends: the port is free again.
    holder.Kill();
    ASSERT_TRUE(holder.Wait(5000));
    EXPECT_EQ(kQkcOk, OpenPort(u"NET", u"127.0.0.1"));
    DeleteFileW(ready.c_str());
}

TEST_F(QkComm, StatusProcedureReportsEveryFlipFromItsOwnThread) {
    StatusLog log;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_RegisterStatusProc(&StatusLog::Proc, &log));
    ASSERT_EQ(kQkcOk, OpenPort(u"USB", u"001"));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_Initialize());
    ASSERT_TRUE(log.WaitFor(kStatusOnline, 5000));
    EXPECT_NE(GetCurrentThreadId(), log.threadId.load());
    const std::pair<const char*, int32_t> flips[] = {
        {"cover open", kStatusCoverOpen},    {"cover closed", kStatusOnline},
        {"paper near", kStatusPaperNearEnd}, {"paper out", kStatusPaperOut},
        {"paper ok", kStatusOnline},         {"offline", kStatusOffline},
        {"fatal on", kStatusFatalError},     {"online", kStatusOnline},
        {"ink out2", kStatusOutOfInk2},      {"ink none", kStatusInkCleared}};
    for (auto [command, code] : flips) {
        ASSERT_EQ("OK", fx.sim.Control(command));
        EXPECT_TRUE(log.WaitFor(code, 5000)) << command;
    }
    int32_t status = -1;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_GetStatus(&status));
    EXPECT_EQ(kStatusOnline, status);
    // After unregistering nothing more arrives.
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_UnregisterStatusProc());
    std::size_t seen = log.Codes().size();
    ASSERT_EQ("OK", fx.sim.Control("cover open"));
    // The library has taken the flip once its status says so; no call came with it.
    EXPECT_TRUE(qk::test::PumpUntil(
        [&] { return fx.qkc.QKC_GetStatus(&status) == kQkcOk && status == kStatusCoverOpen; },
        5000));
    EXPECT_EQ(seen, log.Codes().size());
    // Registering again tells the current status at once.
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_RegisterStatusProc(&StatusLog::Proc, &log));
    EXPECT_TRUE(log.WaitFor(kStatusCoverOpen, 5000));
}

TEST_F(QkComm, DroppedConnectionIsReportedAndBroughtBack) {
    StatusLog log;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_RegisterStatusProc(&StatusLog::Proc, &log));
    ASSERT_EQ(kQkcOk, OpenPort(u"NET", u"127.0.0.1"));
    ASSERT_TRUE(log.WaitFor(kStatusOnline, 5000));
    const std::size_t before = log.Codes().size();
    ASSERT_EQ("OK", fx.sim.Control("drop"));
    // The loss is reported, then the library connects again by itself.
    EXPECT_TRUE(qk::test::PumpUntil(
        [&] {
            const std::vector<int32_t> codes = log.Codes();
            auto lost = std::find(codes.begin() + before, codes.end(), kStatusNoStatus);
            return lost != codes.end() &&
                   std::find(lost, codes.end(), kStatusOnline) != codes.end();
        },
        10000))
        << testing::PrintToString(log.Codes());
    // Reopening by hand still works.
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_ReopenPort());
    EXPECT_TRUE(log.WaitFor(kStatusOnline, 5000));
}

TEST_F(QkComm, ReadAndWriteReachThePrinterWithTimeouts) {
    uint8_t buffer[16] = {};
    int32_t got = -1, written = -1;
    EXPECT_EQ(kQkcNotOpen, fx.qkc.QKC_Write("x", 1, &written, 100));
    ASSERT_EQ(kQkcOk, OpenPort(u"COM", u"COM7"));
    const uint8_t request[] = {0x10, 0x04, 0x04, 0x1D, 0x49, 0x01};
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_Write(request, sizeof(request), &written, 1000));
    EXPECT_EQ(6, written);
    ASSERT_EQ("OK", fx.sim.Control("cover open")); // a status packet in between is not data
    std::vector<uint8_t> answers;
    for (int i = 0; i < 10 && answers.size() < 2; ++i)
        if (fx.qkc.QKC_Read(buffer, sizeof(buffer), &got, 1000) == kQkcOk)
            answers.insert(answers.end(), buffer, buffer + got);
    EXPECT_EQ((std::vector<uint8_t>{0x12, 0x40}), answers);
    EXPECT_EQ(kQkcTimeout, fx.qkc.QKC_Read(buffer, sizeof(buffer), &got, 300));
    EXPECT_EQ(0, got);
    char serial[32] = {};
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_GetSerialNumber(serial, sizeof(serial)));
    EXPECT_STREQ("QK4A000001", serial);
    EXPECT_EQ(kQkcBufferTooSmall, fx.qkc.QKC_GetFirmVersion(serial, 4));
    // Acknowledged writes wait for the printer to answer behind the data.
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetResponseACK(1));
    EXPECT_EQ(kQkcOk, fx.qkc.QKC_Write("Hello\n", 6, &written, 2000));
    ASSERT_EQ("OK", fx.sim.Control("silent on"));
    EXPECT_EQ(kQkcTimeout, fx.qkc.QKC_Write("Hello\n", 6, &written, 500));
    EXPECT_EQ(kQkcBadArgument, fx.qkc.QKC_Read(nullptr, 1, &got, 10));
}

// The test gives up on its own wait: a time-out, not a failed line (how long it takes is
// maker_comm_bench's figure).
TEST_F(QkComm, SilentPrinterEndsWithATimeout) {
    ASSERT_EQ("OK", fx.sim.Control("silent on"));
    PortRecord record = MakePortRecord(u"NET", u"127.0.0.1");
    EXPECT_EQ(kQkcTimeout, fx.qkc.QKC_CommunicationTest(&record));
    // Open succeeds (the line is there) but the status becomes "Cannot Get Status".
    StatusLog log;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_RegisterStatusProc(&StatusLog::Proc, &log));
    ASSERT_EQ(kQkcOk, OpenPort(u"NET", u"127.0.0.1"));
    EXPECT_TRUE(log.WaitFor(kStatusNoStatus, 6000));
}

// A refusal ends the try as a failed connection, not as a wait that ran out.
TEST_F(QkComm, RefusedConnectionEndsWithAConnectError) {
    ASSERT_EQ("OK", fx.sim.Control("refuse on"));
    PortRecord record = MakePortRecord(u"NET", u"127.0.0.1");
    EXPECT_EQ(kQkcConnectFailed, fx.qkc.QKC_CommunicationTest(&record));
    EXPECT_EQ(kQkcConnectFailed, OpenPort(u"NET", u"127.0.0.1"));
    PortRecord nobody = MakePortRecord(u"COM", u"COM2"); // nothing listens there at all
    EXPECT_EQ(kQkcConnectFailed, fx.qkc.QKC_CommunicationTest(&nobody));
    // A failed open leaves the port free for the next attempt.
    ASSERT_EQ("OK", fx.sim.Control("refuse off"));
    EXPECT_EQ(kQkcOk, OpenPort(u"NET", u"127.0.0.1"));
}

TEST_F(QkComm, OpeningAgainWhileThePrinterRefusesReportsThatThereIsNoStatus) {
    StatusLog log;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_RegisterStatusProc(&StatusLog::Proc, &log));
    ASSERT_EQ(kQkcOk, OpenPort(u"NET", u"127.0.0.1"));
    ASSERT_TRUE(log.WaitFor(kStatusOnline, 6000));
    ASSERT_EQ("OK", fx.sim.Control("refuse on"));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_Close());
    EXPECT_EQ(kQkcConnectFailed, fx.qkc.QKC_Open(1));
    EXPECT_TRUE(log.WaitFor(kStatusNoStatus, 6000)) << "not the online status from before";
}

TEST_F(QkComm, GarbageAndTruncatedAnswersGiveErrors) {
    PortRecord record = MakePortRecord(u"NET", u"127.0.0.1");
    ASSERT_EQ("OK", fx.sim.Control("garbage on"));
    EXPECT_EQ(kQkcBadAnswer, fx.qkc.QKC_CommunicationTest(&record));
    EXPECT_EQ(L"QK-R40", FromSlot(record.deviceName)) << "a failed test must leave the name";
    ASSERT_EQ("OK", fx.sim.Control("garbage off"));
    ASSERT_EQ("OK", fx.sim.Control("truncate on"));
    EXPECT_EQ(kQkcTimeout, fx.qkc.QKC_CommunicationTest(&record));
}

TEST_F(QkComm, PortListSurvivesBackupAndRestore) {
    PortRecord net = MakePortRecord(u"NET", u"127.0.0.1");
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_AddPort(&net));
    std::u16string backup = qk::test::U16(fx.dataFolder + L"ports.bak");
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_Backup(backup.c_str()));
    EXPECT_EQ(kQkcOk, fx.qkc.QKC_FileCheck(backup.c_str()));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_RemovePort(&net));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_Restore(backup.c_str()));
    int32_t count = 0;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_EnumPort(nullptr, 0, &count));
    EXPECT_EQ(1, count);
    std::u16string bogus = qk::test::U16(fx.dataFolder + L"DeviceMap.ini");
    EXPECT_NE(kQkcOk, fx.qkc.QKC_FileCheck(bogus.c_str()));
    EXPECT_NE(kQkcOk, fx.qkc.QKC_Restore(bogus.c_str()));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_EnumPort(nullptr, 0, &count));
    EXPECT_EQ(1, count);
    DeleteFileW((fx.dataFolder + L"ports.bak").c_str());
}

TEST_F(QkComm, RestoreNeverEmptiesThePortsWhenTheBackupChangesUnderIt) {
    PortRecord net = MakePortRecord(u"NET", u"127.0.0.1");
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_AddPort(&net));
    const std::wstring backup = fx.dataFolder + L"ports.bak";
    std::u16string path = qk::test::U16(backup);
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_Backup(path.c_str()));
    std::string good;
    ASSERT_TRUE(qk::win::ReadFileText(backup, good));
    // Another program keeps replacing the backup, with a port list and with something else.
    struct Flipper {
        std::wstring path;
        std::string good;
        std::atomic<bool> stop{false};
        static DWORD WINAPI Run(void* parameter) {
            auto* f = static_cast<Flipper*>(parameter);
            for (int i = 0; !f->stop; ++i)
                qk::win::WriteFileText(f->path, i % 2 ? f->good : std::string("[Other]\nA=1\n"));
            return 0;
        }
    } flipper{backup, good};
    HANDLE thread = CreateThread(nullptr, 0, &Flipper::Run, &flipper, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    int restored = 0, refused = 0;
    for (int i = 0; i < 600; ++i) {
        (fx.qkc.QKC_Restore(path.c_str()) == kQkcOk ? restored : refused)++;
        int32_t count = -1;
        ASSERT_EQ(kQkcOk, fx.qkc.QKC_EnumPort(nullptr, 0, &count));
        ASSERT_EQ(1, count) << "after restore " << i;
    }
    flipper.stop = true;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 5000));
    CloseHandle(thread);
    EXPECT_GT(restored, 0);
    EXPECT_GT(refused, 0);
    DeleteFileW(backup.c_str());
    DeleteFileW((backup + L".new").c_str());
}
