// The data store on real files under Wine, with the real profile and file system.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "framework/store/PluginDataMgr.h"
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

// A plug-in sees the store only through the table of operations.
TEST(RealStore, CallsThroughTheCrossModuleTable) {
    PluginDataMgr mgr;
    IPluginDataMgr* api = &mgr;
    EXPECT_EQ(static_cast<void*>(api), static_cast<void*>(&mgr));
    ASSERT_EQ(api->CreateBlock(0x10010, 0x10000, 36), 0);
    Bytes block = Block(0x10010, 36, 4);
    ASSERT_EQ(api->WriteBlock(0x10010, 36, block.data()), 0);
    Bytes back(36);
    ASSERT_EQ(api->ReadBlock(0x10010, back.data(), 36), 0);
    EXPECT_EQ(back, block);
    EXPECT_EQ(api->FindBlock(0x10010), 0);
}

} // namespace
} // namespace qk::test
