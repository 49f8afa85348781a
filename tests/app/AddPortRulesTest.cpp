// The add-port dialog's window-free rules: offered interfaces, the control table, found
// addresses, the port record it builds, and where the companion tools are found.
#include <gtest/gtest.h>
#include <cstring>
#include <map>
#include <string>
#include <vector>
#include "app/connection/AddPortRules.h"
#include "app/connection/CompanionTools.h"
#include "app/connection/PortRecordText.h"
#include "framework/context/StartMode.h"
#include "tests/support/fakes/FakeFileSystem.h"
#include "tests/support/fakes/FakeKnownFolders.h"
#include "tests/support/fakes/FakeRegistry.h"

namespace qk::test {
namespace {

using namespace app;

TEST(AddPortRules, OfferedInterfacesAndTheDefault) {
    struct Row {
        int32_t entries[5];
        int32_t defaultIndex;
        std::vector<int> offered;
        int chosen;
    } rows[] = {
        {{3, 2, -1, 0, 1}, 0, {3, 2}, 3},          // ended early; default not offered
        {{0, 1, 2, 3, 4}, 4, {0, 1, 2, 3, 4}, 4},  // all
        {{2, 2, 7, -5, 4}, 2, {2, 4}, 2},          // repeats and unknown values skipped
        {{-1, 0, 0, 0, 0}, 1, {0, 1, 2, 3, 4}, 1}, // none offered: all
        {{4, -1, -1, -1, -1}, -1, {4}, 4},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        std::vector<int> offered = OfferedInterfaces(rows[i].entries);
        EXPECT_EQ(offered, rows[i].offered) << "row " << i;
        EXPECT_EQ(ChooseInterface(rows[i].defaultIndex, offered), rows[i].chosen) << "row " << i;
    }
}

TEST(AddPortRules, EnumerationKeywords) {
    EXPECT_EQ(EnumKeyword(kPortSerial, false), u"COM");
    EXPECT_EQ(EnumKeyword(kPortSerial, true), u"SERIAL") << "Bluetooth ports listed apart";
    EXPECT_EQ(EnumKeyword(kPortParallel, true), u"LPT");
    EXPECT_EQ(EnumKeyword(kPortUsb, false), u"USB");
    EXPECT_EQ(EnumKeyword(kPortBluetooth, true), u"BT");
    EXPECT_EQ(EnumKeyword(kPortEthernet, false), u"");
    EXPECT_EQ(PortPrefix(kPortUsb), u"USB-");
    EXPECT_EQ(PortPrefix(kPortSerial), u"");
}

TEST(AddPortRules, FoundAddressLines) {
    struct Row {
        std::u16string line;
        bool read;
        uint32_t address;
    } rows[] = {
        {u"192.168.0.10", true, 0xC0A8000A},
        {u"300.1.2.3", true, 0xFF010203},
        {u"1.2.3.99999999999999999999", true, 0x010203FF}, // no overflow back to small values
        {u" 10. 0.0.1", true, 0x0A000001},                 // blanks before a number, as %u
        {u"10.0.0.1 printer", true, 0x0A000001},
        {u"10.0.0", false, 0},
        {u"10..0.1", false, 0},
        {u"-1.0.0.1", false, 0},
        {u"", false, 0},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        uint32_t address = 0xDEADBEEF;
        EXPECT_EQ(ParseFoundAddress(rows[i].line, address), rows[i].read) << "row " << i;
        EXPECT_EQ(address, rows[i].read ? rows[i].address : 0xDEADBEEF) << "row " << i;
    }
    EXPECT_EQ(FormatAddress(0xFF010203), u"255.1.2.3");
    EXPECT_EQ(FormatAddress(0), u"0.0.0.0");
    EXPECT_EQ(FormatAddress(0xC0A8C0A8), u"192.168.192.168");
}

PortChoice Choice(int iface, const std::u16string& text) {
    PortChoice choice;
    choice.iface = iface;
    choice.portText = text;
    return choice;
}

// Bytes that no field of the interface may touch stay zero.
bool ZeroOutside(const comm::PortRecord& record,
                 const std::vector<std::pair<size_t, size_t>>& used) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
    for (size_t at = 0; at < sizeof(record); ++at) {
        bool inField = false;
        for (const auto& [offset, size] : used)
            inField = inField || (at >= offset && at < offset + size);
        if (!inField && bytes[at] != 0)
            return false;
    }
    return true;
}

TEST(AddPortRules, PortRecordPerInterface) {
    comm::PortRecord record;
    std::memset(&record, 0xCC, sizeof(record));
    PortChoice serial;
    serial.iface = kPortSerial;
    serial.portText = u"COM7";
    serial.serial[0] = 38400;
    serial.serial[1] = 2;
    serial.serial[2] = 1;
    ASSERT_TRUE(BuildPortRecord(serial, record));
    EXPECT_EQ(SlotText(record.interfaceKeyword), u"COM");
    EXPECT_EQ(SlotText(record.portName), u"COM7");
    EXPECT_EQ(SlotText(record.deviceName), u"QK-R40");
    EXPECT_EQ(record.reserved1040, -1);
    EXPECT_EQ(record.reserved1044, -1);
    EXPECT_EQ(record.serialFlag, 1);
    EXPECT_EQ(record.serialSetting1, 38400);
    EXPECT_EQ(record.serialSetting2, 2);
    EXPECT_EQ(record.serialSetting3, 1);
    EXPECT_TRUE(ZeroOutside(record, {{0, 1040}, {1040, 8}, {2092, 520}, {2612, 16}}));

    char16_t usbId[400] = {};
    for (size_t i = 0; i < std::size(usbId) - 1; ++i)
        usbId[i] = u'a' + i % 26;
    PortChoice usb;
    usb.iface = kPortUsb;
    usb.portText = u"USB-001";
    usb.usbDeviceId = usbId;
    std::memset(&record, 0xCC, sizeof(record));
    ASSERT_TRUE(BuildPortRecord(usb, record));
    EXPECT_EQ(SlotText(record.interfaceKeyword), u"USB");
    EXPECT_EQ(SlotText(record.portName), u"001");
    EXPECT_EQ(std::memcmp(record.deviceId, usbId, 260), 0);
    EXPECT_EQ(record.serialFlag, 0);
    EXPECT_TRUE(ZeroOutside(record, {{0, 1040}, {1040, 8}, {1572, 260}, {2092, 520}}))
        << "only the first 260 bytes of the identification are carried";

    PortChoice net;
    net.iface = kPortEthernet;
    net.portText = u"ignored";
    net.address = 0x0A000105;
    ASSERT_TRUE(BuildPortRecord(net, record));
    EXPECT_EQ(SlotText(record.interfaceKeyword), u"NET");
    EXPECT_EQ(SlotText(record.portName), u"10.0.1.5");

    PortChoice parallel = Choice(kPortParallel, u"LPT1");
    ASSERT_TRUE(BuildPortRecord(parallel, record));
    EXPECT_EQ(SlotText(record.interfaceKeyword), u"LPT");
    PortChoice bluetooth = Choice(kPortBluetooth, u"COM5");
    ASSERT_TRUE(BuildPortRecord(bluetooth, record));
    EXPECT_EQ(SlotText(record.interfaceKeyword), u"BT");
    EXPECT_EQ(SlotText(record.portName), u"COM5");
    EXPECT_EQ(record.serialFlag, 0) << "the serial settings belong to serial ports only";

    PortChoice none = Choice(kPortSerial, u"");
    EXPECT_FALSE(BuildPortRecord(none, record));
    EXPECT_EQ(SlotText(record.interfaceKeyword), u"") << "no half-built record is left";
    PortChoice unknown = Choice(7, u"COM1");
    EXPECT_FALSE(BuildPortRecord(unknown, record));
    PortChoice bareUsb = Choice(kPortUsb, u"USB-");
    EXPECT_FALSE(BuildPortRecord(bareUsb, record));
}

TEST(AddPortRules, ServedModelStrictOutsideTheInstallerModes) {
    EXPECT_TRUE(IsServedModel(u"QK-R40", kStartOrdinary));
    EXPECT_FALSE(IsServedModel(u"QK-R40II", kStartOrdinary));
    EXPECT_FALSE(IsServedModel(u"QK-R40II", kStartRemote));
    EXPECT_TRUE(IsServedModel(u"QK-R40II", kStartInstaller));
    EXPECT_TRUE(IsServedModel(u"QK-R40 Receipt", kStartInstallerLogo));
    EXPECT_FALSE(IsServedModel(u"QK-R40S", kStartInstaller));
}

class FakeShortcuts : public IShortcutResolver {
public:
    std::map<std::u16string, std::u16string> targets;
    std::vector<std::u16string> asked;
    bool Target(const std::u16string& shortcut, std::u16string& target) override {
        asked.push_back(shortcut);
        auto found = targets.find(shortcut);
        if (found == targets.end())
            return false;
        target = found->second;
        return true;
    }
};

class CompanionToolsTest : public ::testing::Test {
protected:
    ToolSeams Seams() { return {registry, files, folders, shortcuts}; }
    FakeRegistry registry;
    FakeFileSystem files;
    FakeKnownFolders folders;
    FakeShortcuts shortcuts;
};

TEST_F(CompanionToolsTest, NetworkToolFromItsUninstallEntryElseProgramFiles) {
    EXPECT_EQ(FindNetworkTool(Seams()), u"") << "nothing installed";
    files.AddFile(u"C:\\Program Files\\TARROW\\TarrowNet Config V4\\TNConfig.exe", {1});
    EXPECT_EQ(FindNetworkTool(Seams()),
              u"C:\\Program Files\\TARROW\\TarrowNet Config V4\\TNConfig.exe");
    registry.SetString(os::RegRoot::LocalMachine, kNetworkToolUninstallKey, u"InstallLocation",
                       u"D:\\Tools\\TNC\\");
    EXPECT_EQ(FindNetworkTool(Seams()), u"") << "the recorded location wins, and it has no file";
    files.AddFile(u"D:\\Tools\\TNC\\TNConfig.exe", {1});
    EXPECT_EQ(FindNetworkTool(Seams()), u"D:\\Tools\\TNC\\TNConfig.exe");
}

TEST_F(CompanionToolsTest, VirtualPortToolFirstFoundWins) {
    const std::u16string programs = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\";
    const std::u16string userPrograms =
        u"C:\\Users\\operator\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\";
    EXPECT_TRUE(FindVirtualPortTool(Seams()).location.empty());
    EXPECT_EQ(shortcuts.asked.size(), 4u) << "two shortcuts in each of the two start menus";
    if (shortcuts.asked.size() == 4) {
        EXPECT_EQ(shortcuts.asked[0],
                  programs + u"TARROW QKCOMUSB Serial Emulation Driver\\COM Assignment Tool.lnk");
        EXPECT_EQ(shortcuts.asked[1],
                  programs + u"TARROW\\QK Virtual Port Driver\\Port Assignment Tool.lnk");
        EXPECT_EQ(shortcuts.asked[2],
                  userPrograms +
                      u"TARROW QKCOMUSB Serial Emulation Driver\\COM Assignment Tool.lnk");
    }

    files.AddFile(u"C:\\Program Files\\TARROW\\QKCOMUSB\\TarCa.exe", {1});
    VirtualPortTool tool = FindVirtualPortTool(Seams());
    EXPECT_EQ(tool.location, u"C:\\Program Files\\TARROW\\QKCOMUSB\\TarCa.exe");
    EXPECT_FALSE(tool.isFolder) << "the default location is the program itself";

    files.AddFile(u"E:\\Driver\\Tool\\PortTool.exe", {1});
    shortcuts.targets[userPrograms + u"TARROW\\QK Virtual Port Driver\\Port Assignment Tool.lnk"] =
        u"E:\\Driver\\Tool\\PortTool.exe";
    tool = FindVirtualPortTool(Seams());
    EXPECT_EQ(tool.location, u"E:\\Driver\\Tool");
    EXPECT_TRUE(tool.isFolder);

    // The application path entry comes first; its environment strings are expanded.
    files.AddFolder(u"F:\\Vendor\\QKCOMUSB");
    folders.SetEnvironment(u"VendorRoot", u"F:\\Vendor");
    registry.SetExpandString(os::RegRoot::LocalMachine, kVirtualPortAppPathKey, u"Path",
                             u"%VendorRoot%\\QKCOMUSB\\");
    tool = FindVirtualPortTool(Seams());
    EXPECT_EQ(tool.location, u"F:\\Vendor\\QKCOMUSB");
    EXPECT_TRUE(tool.isFolder);
}

TEST_F(CompanionToolsTest, BluetoothConnectorAndItsSettingsFile) {
    EXPECT_EQ(FindBluetoothConnector(Seams()), u"");
    const std::u16string connector =
        u"C:\\Program Files\\TARROW\\QK Bluetooth Connector\\QKBluetoothConnector.exe";
    files.AddFile(connector, {1});
    EXPECT_EQ(FindBluetoothConnector(Seams()), connector);
    EXPECT_EQ(BluetoothSettingsPath(folders),
              u"C:\\ProgramData\\TARROW\\QKBTConnector\\QKBTSetting.ini");
}

} // namespace
} // namespace qk::test
