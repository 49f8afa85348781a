// QKComm.dll given a port record that names only a device path, as the utility's remote start
// hands it over: which map port the path names, what the record holds afterwards, and which
// printer and port lock the selection and the communication test then reach.
#include <gtest/gtest.h>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <utility>
#include "maker/comm/DeviceMap.h"
#include "maker/common/WinText.h"
#include "tests/maker/CommFixture.h"

using namespace qk::comm;
using qk::test::FromSlot;
using qk::test::MakePortRecord;

namespace {

const std::wstring kUsbClass = L"{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

// The remote start's record: zeroes, -1 at 1040 and 1044, the connector flag and the path.
PortRecord DevicePathRecord(const std::wstring& path) {
    PortRecord record{};
    record.reserved1040 = -1;
    record.reserved1044 = -1;
    record.connectorFlag = 1;
    qk::win::ToU16(path, record.devicePath, kPortTextChars);
    return record;
}

// A record of 0xCC bytes without an interface keyword: every byte the library writes shows.
PortRecord SentinelRecord(const std::wstring& path) {
    PortRecord record;
    std::memset(&record, 0xCC, sizeof(record));
    record.interfaceKeyword[0] = 0;
    qk::win::ToU16(path, record.devicePath, kPortTextChars);
    return record;
}

using Field = std::pair<std::size_t, std::size_t>;
#define RECORD_FIELD(member)                                                                       \
    Field {                                                                                        \
        offsetof(PortRecord, member), sizeof(PortRecord::member)                                   \
    }

// Offset of the first byte that changed outside the given fields, or -1.
long FirstStrayWrite(const PortRecord& before, const PortRecord& after,
                     std::initializer_list<Field> mayChange) {
    const auto* a = reinterpret_cast<const unsigned char*>(&before);
    const auto* b = reinterpret_cast<const unsigned char*>(&after);
    for (std::size_t i = 0; i < sizeof(PortRecord); ++i) {
        bool allowed = false;
        for (const Field& f : mayChange)
            allowed = allowed || (i >= f.first && i < f.first + f.second);
        if (!allowed && a[i] != b[i])
            return static_cast<long>(i);
    }
    return -1;
}

bool Terminated(const char16_t* slot) {
    for (std::size_t i = 0; i < kPortTextChars; ++i)
        if (slot[i] == 0)
            return true;
    return false;
}

class DevicePathLookup : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fx.SetUp(qk::test::StandardDeviceMap())); }
    void TearDown() override { fx.TearDown(); }

    std::wstring SimPath() const { return L"tcp://" + qk::win::FromUtf8(fx.sim.Endpoint()); }
    // Connections the simulator has served so far.
    long Connections() const {
        std::string answer = fx.sim.Control("get connections");
        return answer.rfind("OK ", 0) == 0 ? std::stol(answer.substr(3)) : -1;
    }
    std::vector<PortRecord> Enumerate(const std::u16string& keyword) {
        std::vector<PortRecord> records(32);
        int32_t count = 0;
        EXPECT_EQ(kQkcOk, fx.qkc.QKC_EnumDevPort(keyword.c_str(), records.data(), 32, &count));
        records.resize(static_cast<std::size_t>(count < 32 ? count : 32));
        return records;
    }

    qk::test::CommFixture fx;
};

// Starts the port holder program (another process of the same data folder) on a port.
class PortHolder {
public:
    bool Start(const std::wstring& dataFolder, const std::wstring& keyword,
               const std::wstring& name) {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring folder(self);
        folder.resize(folder.find_last_of(L'\\') + 1);
        ready_ = dataFolder + L"holder-" + name + L".ready";
        std::wstring stage = qk::test::StageDir();
        stage.pop_back(); // a backslash before a closing quote would escape it
        if (!process_.Start(folder + L"maker_port_holder.exe", L"\"" + stage + L"\" " + keyword +
                                                                   L" " + name + L" \"" + ready_ +
                                                                   L"\""))
            return false;
        std::string text;
        return qk::test::PumpUntil(
                   [&] { return qk::win::ReadFileText(ready_, text) && !text.empty(); }, 20000) &&
               text == "0";
    }
    ~PortHolder() {
        process_.Kill();
        process_.Wait(5000);
        DeleteFileW(ready_.c_str());
    }

private:
    qk::test::ProcessRunner process_;
    std::wstring ready_;
};

} // namespace

// The map itself: which port a path names, with the comparison rules a device path needs.
TEST(DeviceMapByPath, NamesThePortWhoseWholePathMatchesWithoutRegardToCase) {
    DeviceMap map;
    map.LoadText("[COM]\nCOM10=127.0.0.1:10\nCOM1=127.0.0.1:1\ncom3 = 127.0.0.1:3 \n"
                 "[LPT]\nLPT1=127.0.0.1:4\n"
                 "[USB]\n001=127.0.0.1:5\n"
                 "002=127.0.0.1:6, \\\\?\\usb#vid_1234&pid_5678#SER9#" +
                 qk::win::ToUtf8(kUsbClass) +
                 "\n"
                 "[NET]\n127.0.0.1=127.0.0.1:9100\nprinter=10.0.0.9:9100\n"
                 "[BT]\nCOM7=127.0.0.1:7\n");
    struct Row {
        std::wstring path, keyword, name;
        std::string endpoint;
    };
    const Row found[] = {
        {L"\\\\.\\COM1", L"COM", L"COM1", "127.0.0.1:1"}, // COM10 comes first in the map
        {L"\\\\.\\COM10", L"COM", L"COM10", "127.0.0.1:10"},
        {L"\\\\.\\com1", L"COM", L"COM1", "127.0.0.1:1"},
        {L"\\\\.\\COM3", L"COM", L"com3", "127.0.0.1:3"}, // the map's spelling of the name
        {L"\\\\.\\LPT1", L"LPT", L"LPT1", "127.0.0.1:4"},
        {L"\\\\?\\USB#VID_0000&PID_0040#QK001#{A5DCBF10-6530-11D2-901F-00C04FB951ED}", L"USB",
         L"001", "127.0.0.1:5"},
        {L"\\\\?\\usb#vid_1234&pid_5678#SER9#" + kUsbClass, L"USB", L"002", "127.0.0.1:6"},
        {L"tcp://127.0.0.1:9100", L"NET", L"127.0.0.1", "127.0.0.1:9100"},
        {L"TCP://10.0.0.9:9100", L"NET", L"printer", "10.0.0.9:9100"},
        {L"\\\\.\\COM7", L"BT", L"COM7", "127.0.0.1:7"},
    };
    for (std::size_t i = 0; i < std::size(found); ++i) {
        SCOPED_TRACE("row " + std::to_string(i));
        auto port = map.FindByDevicePath(found[i].path);
        ASSERT_TRUE(port.has_value());
        EXPECT_EQ(found[i].keyword, port->keyword);
        EXPECT_EQ(found[i].name, port->portName);
        EXPECT_EQ(found[i].endpoint, port->endpoint);
    }
    // Parts, extensions and near misses of a port's path name no port.
    const std::wstring missing[] = {
        L"",
        L"\\\\.\\COM",
        L"\\\\.\\COM1 ",
        L"\\\\.\\COM100",
        L"\\\\.\\COM99",
        L"COM1",
        L"\\\\.\\001", // USB ports are named by their device identification
        L"\\\\?\\usb#vid_1234&pid_5678#SER9#",
        L"tcp://127.0.0.1:910",
        L"tcp://127.0.0.1:91000",
        L"tcp://127.0.0.1",
        L"pipe://qk/RSDPRT1/QK-R40",
    };
    for (std::size_t i = 0; i < std::size(missing); ++i)
        EXPECT_FALSE(map.FindByDevicePath(missing[i]).has_value()) << "row " << i;
}

// Every path the library hands out (enumeration, selected record) leads back to its port.
TEST_F(DevicePathLookup, EveryReportedDevicePathSelectsItsOwnPort) {
    int rows = 0;
    for (auto keyword : {u"SERIAL", u"LPT", u"USB", u"NET", u"BT"})
        for (const PortRecord& listed : Enumerate(keyword)) {
            ++rows;
            std::wstring path = FromSlot(listed.devicePath);
            SCOPED_TRACE(path);
            PortRecord record = DevicePathRecord(path);
            ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&record));
            EXPECT_EQ(FromSlot(listed.interfaceKeyword), FromSlot(record.interfaceKeyword));
            EXPECT_EQ(FromSlot(listed.portName), FromSlot(record.portName));
            PortRecord selected{};
            ASSERT_EQ(kQkcOk, fx.qkc.QKC_GetPort(&selected));
            EXPECT_EQ(path, FromSlot(selected.devicePath));
            EXPECT_EQ(FromSlot(listed.endpoint), FromSlot(selected.endpoint));
            EXPECT_EQ(FromSlot(listed.deviceId), FromSlot(selected.deviceId));
            // What the caller put in the record stays.
            EXPECT_EQ(-1, selected.reserved1040);
            EXPECT_EQ(-1, selected.reserved1044);
            EXPECT_EQ(1, selected.connectorFlag);
        }
    EXPECT_EQ(6, rows); // COM1, COM2, LPT1, 001, 127.0.0.1, COM7
}

TEST_F(DevicePathLookup, CommunicationTestReachesThePrinterOfThePath) {
    // A model name of the test's own: the name in the record can only come from the printer.
    ASSERT_EQ("OK", fx.sim.Control("model QK-R40 LOOKUP"));
    const std::pair<std::wstring, std::wstring> paths[] = {
        {L"\\\\.\\COM1", L"COM"},
        {L"\\\\.\\lpt1", L"LPT"},
        {SimPath(), L"NET"},
        {L"\\\\.\\COM7", L"BT"},
        {L"\\\\?\\usb#vid_0000&pid_0040#QK001#" + kUsbClass, L"USB"}};
    for (const auto& [path, keyword] : paths) {
        SCOPED_TRACE(path);
        long before = Connections();
        PortRecord record = DevicePathRecord(path);
        ASSERT_EQ(kQkcOk, fx.qkc.QKC_CommunicationTest(&record));
        EXPECT_EQ(L"QK-R40 LOOKUP", FromSlot(record.deviceName));
        EXPECT_EQ(keyword, FromSlot(record.interfaceKeyword));
        EXPECT_FALSE(FromSlot(record.portName).empty());
        EXPECT_EQ(before + 1, Connections());
    }
    // COM2 is in the map but nothing listens at its endpoint: its own failure, not a look-up one.
    PortRecord dead = DevicePathRecord(L"\\\\.\\COM2");
    EXPECT_EQ(kQkcConnectFailed, fx.qkc.QKC_CommunicationTest(&dead));
    EXPECT_EQ(L"COM2", FromSlot(dead.portName));
}

TEST_F(DevicePathLookup, UnknownOrEmptyPathIsRefusedAndLeavesRecordAndSelectionAlone) {
    PortRecord lpt = MakePortRecord(u"LPT", u"LPT1");
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&lpt));
    long before = Connections();
    for (const std::wstring& path :
         {std::wstring(L"\\\\.\\COM99"), std::wstring(L""), std::wstring(L"tcp://127.0.0.1:1"),
          std::wstring(L"pipe://qk/RSDPRT1/QK-R40"), SimPath() + L"/"}) {
        SCOPED_TRACE(path);
        for (bool test : {false, true}) {
            PortRecord record = DevicePathRecord(path);
            const PortRecord original = record;
            int32_t rc = test ? fx.qkc.QKC_CommunicationTest(&record) : fx.qkc.QKC_SetPort(&record);
            EXPECT_EQ(kQkcBadArgument, rc) << (test ? "communication test" : "set port");
            EXPECT_EQ(0, std::memcmp(&original, &record, sizeof(record)));
        }
    }
    EXPECT_EQ(before, Connections()) << "a refused record reached a printer";
    PortRecord selected{};
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_GetPort(&selected));
    EXPECT_EQ(L"LPT1", FromSlot(selected.portName)) << "a refused record replaced the selection";
}

TEST_F(DevicePathLookup, RecordThatNamesItsInterfaceIsTakenAsItIs) {
    // A stale path of another port: the named port wins and the library writes its own path.
    PortRecord record = MakePortRecord(u"NET", u"127.0.0.1");
    qk::win::ToU16(L"\\\\.\\COM1", record.devicePath, kPortTextChars);
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&record));
    EXPECT_EQ(L"NET", FromSlot(record.interfaceKeyword));
    EXPECT_EQ(L"127.0.0.1", FromSlot(record.portName));
    EXPECT_EQ(SimPath(), FromSlot(record.devicePath));
    // An interface without a port name is incomplete; the path does not fill it in.
    PortRecord partial = DevicePathRecord(L"\\\\.\\COM1");
    qk::win::ToU16(L"LPT", partial.interfaceKeyword, kPortTextChars);
    const PortRecord original = partial;
    EXPECT_EQ(kQkcBadArgument, fx.qkc.QKC_SetPort(&partial));
    EXPECT_EQ(0, std::memcmp(&original, &partial, sizeof(partial)));
}

TEST_F(DevicePathLookup, LookUpWritesOnlyTheFieldsItFills) {
    PortRecord before = SentinelRecord(L"\\\\.\\COM1");
    PortRecord record = before;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&record));
    EXPECT_EQ(L"COM", FromSlot(record.interfaceKeyword));
    EXPECT_EQ(L"COM1", FromSlot(record.portName));
    EXPECT_EQ(u'\0', record.portName[kPortTextChars - 1]) << "unterminated port name";
    EXPECT_EQ(qk::win::FromUtf8(fx.sim.Endpoint()), FromSlot(record.endpoint));
    EXPECT_EQ(-1, FirstStrayWrite(before, record,
                                  {RECORD_FIELD(interfaceKeyword), RECORD_FIELD(portName),
                                   RECORD_FIELD(devicePath), RECORD_FIELD(endpoint)}));

    before = SentinelRecord(L"\\\\.\\COM1");
    record = before;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_CommunicationTest(&record));
    EXPECT_EQ(L"QK-R40", FromSlot(record.deviceName));
    EXPECT_EQ(-1, FirstStrayWrite(before, record,
                                  {RECORD_FIELD(interfaceKeyword), RECORD_FIELD(portName),
                                   RECORD_FIELD(devicePath), RECORD_FIELD(endpoint),
                                   RECORD_FIELD(deviceName)}));
}

TEST_F(DevicePathLookup, PathFieldIsReadOnlyWithinItsSlot) {
    // A USB port whose identification is longer than a record's path slot.
    std::wstring longId = L"\\\\?\\usb#vid_0000&pid_0040#";
    longId += std::wstring(300 - longId.size() - kUsbClass.size() - 1, L'L') + L"#" + kUsbClass;
    ASSERT_EQ(300u, longId.size());
    std::string map = qk::test::StandardDeviceMap() + "[USB]\n900={SIM}," + qk::win::ToUtf8(longId);
    for (std::size_t at; (at = map.find("{SIM}")) != std::string::npos;)
        map.replace(at, 5, fx.sim.Endpoint());
    ASSERT_TRUE(qk::win::WriteFileText(fx.dataFolder + L"DeviceMap.ini", map));

    // An unterminated path field whose text runs on into the next field: only the slot counts,
    // and its 260 characters are not the port's path.
    PortRecord record = SentinelRecord(L"");
    for (std::size_t i = 0; i < kPortTextChars; ++i)
        record.devicePath[i] = static_cast<char16_t>(longId[i]);
    qk::win::ToU16(longId.substr(kPortTextChars), record.deviceId, kPortTextChars);
    const PortRecord original = record;
    long before = Connections();
    EXPECT_EQ(kQkcBadArgument, fx.qkc.QKC_SetPort(&record));
    EXPECT_EQ(kQkcBadArgument, fx.qkc.QKC_CommunicationTest(&record));
    EXPECT_EQ(0, std::memcmp(&original, &record, sizeof(record)));
    EXPECT_EQ(before, Connections());

    // Selected by name, the port's path is cut to the slot, terminated, and goes no further.
    PortRecord byName = SentinelRecord(L"");
    qk::win::ToU16(L"USB", byName.interfaceKeyword, kPortTextChars);
    qk::win::ToU16(L"900", byName.portName, kPortTextChars);
    byName.deviceId[0] = 0;
    const PortRecord named = byName;
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&byName));
    EXPECT_TRUE(Terminated(byName.devicePath));
    EXPECT_TRUE(Terminated(byName.deviceId));
    EXPECT_EQ(longId.substr(0, kPortTextChars - 1), FromSlot(byName.devicePath));
    EXPECT_EQ(-1, FirstStrayWrite(
                      named, byName,
                      {RECORD_FIELD(devicePath), RECORD_FIELD(deviceId), RECORD_FIELD(endpoint)}));
    // That cut path is only the beginning of the port's path: it names no port.
    PortRecord cut = DevicePathRecord(FromSlot(byName.devicePath));
    EXPECT_EQ(kQkcBadArgument, fx.qkc.QKC_SetPort(&cut));
}

// The port that this process has open is tested through its own connection, whichever name of
// the port the open used: the printer serves one connection at a time.
TEST_F(DevicePathLookup, PortOpenInThisProcessIsTestedThroughItsConnection) {
    PortRecord byPath = DevicePathRecord(L"\\\\.\\COM1");
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&byPath));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_Open(1));
    PortRecord test = DevicePathRecord(L"\\\\.\\com1");
    EXPECT_EQ(kQkcOk, fx.qkc.QKC_CommunicationTest(&test));
    EXPECT_EQ(L"QK-R40", FromSlot(test.deviceName));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_Close());

    // The Bluetooth port as the serial enumeration lists it ("COM"), its path naming it "BT".
    auto com = Enumerate(u"COM");
    ASSERT_EQ(3u, com.size());
    ASSERT_EQ(L"COM7", FromSlot(com[2].portName));
    ASSERT_EQ(L"COM", FromSlot(com[2].interfaceKeyword));
    PortRecord listed = com[2];
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&listed));
    ASSERT_EQ(kQkcOk, fx.qkc.QKC_Open(1));
    PortRecord bt = DevicePathRecord(FromSlot(com[2].devicePath));
    EXPECT_EQ(kQkcOk, fx.qkc.QKC_CommunicationTest(&bt));
    EXPECT_EQ(L"QK-R40", FromSlot(bt.deviceName));
}

// Another application holding the port under any of its names keeps it from a record that names
// it by its path.
TEST_F(DevicePathLookup, PortHeldByAnotherProcessIsInUseForItsPath) {
    const std::pair<std::wstring, std::wstring> held[] = {
        {L"COM", L"COM1"}, // the name the path resolves to
        {L"COM", L"COM7"}, // a Bluetooth port as the serial enumeration lists it
    };
    for (const auto& [keyword, name] : held) {
        SCOPED_TRACE(keyword + L" " + name);
        PortHolder holder;
        ASSERT_TRUE(holder.Start(fx.dataFolder, keyword, name));
        PortRecord record = DevicePathRecord(L"\\\\.\\" + name);
        ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&record));
        EXPECT_EQ(kQkcPortInUse, fx.qkc.QKC_Open(1));
        PortRecord test = DevicePathRecord(L"\\\\.\\" + name);
        EXPECT_EQ(kQkcPortInUse, fx.qkc.QKC_CommunicationTest(&test));
        // Only that port: another one opens.
        PortRecord other = DevicePathRecord(L"\\\\.\\LPT1");
        ASSERT_EQ(kQkcOk, fx.qkc.QKC_SetPort(&other));
        EXPECT_EQ(kQkcOk, fx.qkc.QKC_Open(1));
        fx.qkc.QKC_Close();
    }
}
