// The data store on real files under Wine, with the real profile and file system.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "framework/context/TextSlot.h"
#include "framework/store/PluginDataMgr.h"
#include "platform/os/RealOs.h"
#include "tests/framework/TempFolder.h"

namespace qk::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Block(uint32_t key, uint32_t size, uint8_t seed) {
    Bytes block(size, 0);
    std::memcpy(block.data(), "PND", 4);
    std::memcpy(block.data() + 4, &key, 4);
    const uint32_t version = 0x10000;
    std::memcpy(block.data() + 8, &version, 4);
    for (uint32_t i = 32; i < size; ++i)
        block[i] = static_cast<uint8_t>(seed * 7 + i);
    return block;
}

bool FileExists(const std::u16string& path) {
    return GetFileAttributesW(WidePtr(path)) != INVALID_FILE_ATTRIBUTES;
}

TEST(RealStore, ExitSaveAndNextStartLoadTheSameBlocksAndPrinters) {
    TempFolder temp;
    const std::u16string data = temp.Path();
    const std::u16string device = u"QK-R40";
    const std::u16string port = u"ESDPRT\u00e9\u65e5";
    {
        PluginDataMgr mgr; // the real file system and profile
        EXPECT_EQ(mgr.LoadPrinterList(data.c_str()), 0);
        ASSERT_EQ(mgr.CreateBlock(0x10001, 0x10000, 992), 0);
        Bytes info = Block(0x10001, 992, 1);
        ASSERT_EQ(mgr.WriteBlock(0x10001, 992, info.data()), 0);
        ASSERT_EQ(mgr.CreateBlock(0x10010, 0x10000, 36), 0);
        Bytes journal = Block(0x10010, 36, 2);
        ASSERT_EQ(mgr.WriteBlock(0x10010, 36, journal.data()), 0);
        mgr.SetSaveFlag(1);
        ASSERT_EQ(mgr.RegisterAndSave(data, device, port, u"QK-R40", 0x10000, 0x10000), 1);
    }
    const std::u16string file = data + u"\\PORT_0\\QK-R40_Setting.DAT";
    ASSERT_TRUE(FileExists(file));
    ASSERT_TRUE(FileExists(data + u"\\PrinterSetting.INI"));

    PluginDataMgr next;
    ASSERT_EQ(next.LoadPrinterList(data.c_str()), 1);
    EXPECT_EQ(next.HasSettingsFile(device.c_str(), port.c_str()), 1);
    const std::u16string path = next.SettingsPathOf(device, port);
    ASSERT_EQ(path, file);
    ASSERT_EQ(next.LoadSettingsFile(path.c_str()), 0);
    ASSERT_EQ(next.GetBlockCount(), 2);
    Bytes back(992);
    ASSERT_EQ(next.ReadBlock(0x10001, back.data(), 992), 0);
    Bytes expected = Block(0x10001, 992, 1);
    const uint32_t size = 992;
    std::memcpy(expected.data() + 12, &size, 4);
    EXPECT_EQ(back, expected);
}

TEST(RealStore, AFailedSaveLeavesNoFileAndNoList) {
    TempFolder temp;
    PluginDataMgr mgr;
    ASSERT_EQ(mgr.CreateBlock(1, 1, 40), 0);
    Bytes block = Block(1, 40, 3);
    ASSERT_EQ(mgr.WriteBlock(1, 40, block.data()), 0);
    mgr.SetSaveFlag(1);
    // The data folder itself is missing: its settings folder cannot be made in one step.
    const std::u16string data = temp.Path() + u"\\missing";
    EXPECT_EQ(mgr.RegisterAndSave(data, u"QK-R40", u"USB001", u"QK-R40", 1, 1), 0);
    EXPECT_FALSE(FileExists(data + u"\\PORT_0\\QK-R40_Setting.DAT"));
    EXPECT_FALSE(FileExists(data + u"\\PrinterSetting.INI"));
    EXPECT_FALSE(FileExists(data));
}

TEST(RealStore, DamagedFileOnDiskEndsEmpty) {
    TempFolder temp;
    const std::u16string file = temp.Path() + u"\\bad_Setting.DAT";
    Bytes bytes(136, 0);
    std::memcpy(bytes.data(), "PSD", 4);
    const uint32_t count = 1;
    std::memcpy(bytes.data() + 12, &count, 4);
    Bytes block = Block(1, 64, 1);
    const uint32_t huge = 0x7FFFFFFF;
    std::memcpy(block.data() + 12, &huge, 4);
    bytes.insert(bytes.end(), block.begin(), block.end());
    ASSERT_TRUE(os::RealFileSystem().WriteFile(file, bytes));
    PluginDataMgr mgr;
    ASSERT_EQ(mgr.CreateBlock(9, 1, 40), 0);
    EXPECT_EQ(mgr.LoadSettingsFile(file.c_str()), -4);
    EXPECT_EQ(mgr.GetBlockCount(), 0);
    EXPECT_EQ(mgr.LoadSettingsFile((temp.Path() + u"\\none.DAT").c_str()), -2);
}

// The printer list as the platform writes it key by key into a copy of the earlier file (the
// list's own layout, which files in the field have): the count, then each entry's three keys.
// values: each entry's device, port and folder as they are written.
Bytes ListWrittenKeyByKey(const std::u16string& file, const Bytes& earlier,
                          const std::vector<std::u16string>& values) {
    os::IFileSystem& files = os::RealFileSystem();
    os::IProfile& profile = os::RealProfile();
    EXPECT_TRUE(files.WriteFile(file, earlier));
    const size_t count = values.size() / 3;
    profile.WriteString(file, u"INFO", u"COUNT",
                        std::u16string(1, static_cast<char16_t>(u'0' + count)));
    for (size_t i = 0; i < count; ++i) {
        const std::u16string section =
            u"PORT_" + std::u16string(1, static_cast<char16_t>(u'0' + i));
        profile.WriteString(file, section, u"DeviceName", values[3 * i]);
        profile.WriteString(file, section, u"PortName", values[3 * i + 1]);
        profile.WriteString(file, section, u"Dir", values[3 * i + 2]);
    }
    Bytes bytes;
    EXPECT_TRUE(files.ReadFile(file, bytes));
    return bytes;
}

Bytes Utf16Bytes(const std::u16string& text) {
    Bytes bytes = {0xFF, 0xFE};
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

TEST(RealStore, APrinterListSaveWritesTheBytesTheKeyByKeyWriteDid) {
    TempFolder temp;
    const std::u16string data = temp.Path();
    const std::u16string list = data + u"\\PrinterSetting.INI";
    // Names the image writes itself, one it quotes (blanks at its ends), and one beyond ASCII.
    const std::pair<std::u16string, std::u16string> printers[] = {
        {u"QK-R40", u"USB001"}, {u"QK-R40", u" COM3 "}, {u"Dr\u00fccker \u65e5", u"ESDPRT001"}};
    const std::vector<std::u16string> values = {u"QK-R40",
                                                u"USB001",
                                                u"PORT_0",
                                                u"QK-R40",
                                                u"\" COM3 \"",
                                                u"PORT_1",
                                                u"Dr\u00fccker \u65e5",
                                                u"ESDPRT001",
                                                u"PORT_2"};
    const Bytes bom = {0xFF, 0xFE};
    // Earlier lists: none; a longer one in the platform's layout with a section of another
    // program; one laid out by hand (blank lines, blanks around '=').
    const std::u16string platformLaid =
        u"[INFO]\r\nCOUNT=5\r\nOwner=other\r\n[PORT_0]\r\nDeviceName=Old\r\nPortName=LPT1\r\n"
        u"Dir=PORT_0\r\n[Other]\r\nkey=value\r\n[PORT_4]\r\nDeviceName=E\r\n";
    const std::u16string byHand =
        u"\r\n[INFO]\r\n COUNT = 1\r\n\r\n[PORT_0]\r\nDeviceName = Old\r\n[PORT_1]";
    const Bytes earlierLists[] = {bom, Utf16Bytes(platformLaid), Utf16Bytes(byHand)};
    for (size_t n = 0; n < std::size(earlierLists); ++n) {
        SCOPED_TRACE(n);
        const Bytes& earlier = earlierLists[n];
        if (n > 0)
            ASSERT_TRUE(os::RealFileSystem().WriteFile(list, earlier));
        else
            ::DeleteFileW(WidePtr(list));
        PluginDataMgr mgr;
        for (const auto& [device, port] : printers)
            ASSERT_GE(mgr.AddPrinter(data.c_str(), device.c_str(), port.c_str()), 0);
        ASSERT_EQ(mgr.SavePrinterList(data.c_str()), 0);
        Bytes saved;
        ASSERT_TRUE(os::RealFileSystem().ReadFile(list, saved));
        EXPECT_EQ(saved, ListWrittenKeyByKey(data + u"\\keybykey.ini", earlier, values));
    }
}

// Every file and folder below a folder, as paths relative to it.
void CollectTree(const std::wstring& folder, const std::wstring& relative,
                 std::vector<std::wstring>& found) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + relative + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring child = relative + L"\\" + name;
        found.push_back(child);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CollectTree(folder, child, found);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

// Another program wrote the printer list: its names, and the names a printer reports, must
// not make the exit sequence create folders or files anywhere but in the data folder.
TEST(RealStore, AHostilePrinterListWritesNothingOutsideTheDataFolder) {
    TempFolder temp;
    const std::u16string root = temp.Path() + u"\\ProgramData";
    const std::u16string data = root + u"\\TARROW\\QK40Utl";
    ASSERT_TRUE(CreateDirectoryW(WidePtr(root), nullptr));
    ASSERT_TRUE(CreateDirectoryW(WidePtr(root + u"\\TARROW"), nullptr));
    ASSERT_TRUE(CreateDirectoryW(WidePtr(data), nullptr));
    WriteUtf16File(data + u"\\PrinterSetting.INI",
                   u"[INFO]\r\nCOUNT=4\r\n"
                   u"[PORT_0]\r\nDeviceName=QK-R40\r\nPortName=COM1\r\nDir=..\\..\\Escaped\r\n"
                   u"[PORT_1]\r\nDeviceName=..\\..\\..\\Escaped2\r\nPortName=COM2\r\nDir=PORT_1\r\n"
                   u"[PORT_2]\r\nDeviceName=QK-R40\r\nPortName=COM3\r\nDir=" +
                       temp.Path() +
                       u"\r\n"
                       u"[PORT_3]\r\nDeviceName=QK-R40\r\nPortName=COM4\r\nDir=PORT_3\r\n");
    PluginDataMgr mgr;
    ASSERT_EQ(mgr.LoadPrinterList(data.c_str()), 1);
    ASSERT_EQ(mgr.CreateBlock(1, 1, 40), 0);
    Bytes block = Block(1, 40, 5);
    ASSERT_EQ(mgr.WriteBlock(1, 40, block.data()), 0);
    mgr.SetSaveFlag(1);
    // The exit sequence for every printer the list names, and for printers that report
    // hostile names of their own.
    const std::pair<std::u16string, std::u16string> printers[] = {
        {u"QK-R40", u"COM1"},
        {u"..\\..\\..\\Escaped2", u"COM2"},
        {u"QK-R40", u"COM3"},
        {u"QK-R40", u"COM4"},
        {u"..\\..\\Escaped3", u"USB001"},
        {u"C:\\Escaped4", u"USB002"},
        {std::u16string(240, u'N'), u"USB003"}};
    for (const auto& [device, port] : printers)
        mgr.RegisterAndSave(data, device, port, u"QK-R40", 1, 1);

    std::vector<std::wstring> tree;
    CollectTree(ToWide(temp.Path()), L"", tree);
    for (const std::wstring& path : tree) {
        EXPECT_TRUE(path == L"\\ProgramData" || path == L"\\ProgramData\\TARROW" ||
                    path == L"\\ProgramData\\TARROW\\QK40Utl" ||
                    path.rfind(L"\\ProgramData\\TARROW\\QK40Utl\\", 0) == 0)
            << testing::PrintToString(path);
    }
    EXPECT_TRUE(FileExists(data + u"\\PORT_3\\QK-R40_Setting.DAT"));
    EXPECT_TRUE(FileExists(data + u"\\PORT_4\\QK-R40_Setting.DAT")) << "COM1, registered anew";
}

// A text slot at the very end of readable memory: reading one character past it faults.
class GuardedSlot {
public:
    GuardedSlot() {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        page_ = system.dwPageSize;
        base_ = static_cast<uint8_t*>(
            VirtualAlloc(nullptr, 2 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base_ + page_, page_, PAGE_NOACCESS, &old);
        slot_ = reinterpret_cast<char16_t*>(base_ + page_) - kStoreTextChars;
        std::fill(slot_, slot_ + kStoreTextChars, u'A');
    }
    ~GuardedSlot() { VirtualFree(base_, 0, MEM_RELEASE); }
    const char16_t* Get() const { return slot_; }

private:
    DWORD page_ = 0;
    uint8_t* base_ = nullptr;
    char16_t* slot_ = nullptr;
};

TEST(RealStore, TextsHandedInAreReadNoFurtherThanTheirSlot) {
    GuardedSlot full; // 260 characters and no NUL
    EXPECT_EQ(SlotView(full.Get(), kStoreTextChars).size(), kStoreTextChars);
    PluginDataMgr mgr;
    ASSERT_EQ(mgr.AddPrinter(u"C:\\Data", u"QK-R40", u"COM1"), 0);
    EXPECT_EQ(mgr.HasSettingsFile(full.Get(), u"COM1"), 0);
    EXPECT_EQ(mgr.HasSettingsFile(u"QK-R40", full.Get()), 0);
    char16_t path[kStoreTextChars];
    EXPECT_EQ(mgr.GetSettingsPath(full.Get(), u"COM1", path, kStoreTextChars), 0);
    EXPECT_EQ(mgr.AddPrinter(full.Get(), u"QK-R40", u"COM2"), -3) << "no path fits";
    EXPECT_EQ(mgr.AddPrinter(u"C:\\Data", full.Get(), u"COM2"), -3);
    EXPECT_EQ(mgr.LoadPrinterList(full.Get()), 0);
    EXPECT_EQ(mgr.LoadSettingsFile(full.Get()), -2);
}

// <windows.h> came first in this file: AddPrinter and GetPrinter are spooler macros here.
TEST(RealStore, PrinterOperationsKeepTheirNamesAfterWindowsHeaders) {
    PluginDataMgr mgr;
    EXPECT_EQ(mgr.AddPrinter(u"C:\\Data", u"QK-R40", u"USB001"), 0);
    RegisteredPrinter entry{};
    ASSERT_EQ(mgr.GetPrinter(0, &entry), 0);
    EXPECT_EQ(std::u16string(entry.portName), u"USB001");
    IPluginDataMgr& api = mgr;
    EXPECT_EQ(api.AddPrinter(u"C:\\Data", u"QK-R40", u"COM1"), 1);
    EXPECT_EQ(api.GetPrinter(1, &entry), 0);
}

} // namespace
} // namespace qk::test
