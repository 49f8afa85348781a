// The data store over the in-memory file system and profile: blocks, settings files (round
// trip and every kind of damage), the registered printer list and the exit sequence's saves.
#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <thread>
#include <string>
#include <vector>
#include "framework/store/PluginDataMgr.h"
#include "tests/framework/AllocationProbe.h"
#include "tests/support/fakes/FakeFileSystem.h"
#include "tests/support/fakes/FakeProfile.h"

namespace qk::test {
namespace {

using Bytes = std::vector<uint8_t>;

const std::u16string kData = u"C:\\ProgramData\\TARROW\\QK40Utl";
const std::u16string kList = kData + u"\\PrinterSetting.INI";
const std::u16string kFile = kData + u"\\PORT_0\\QK-R40_Setting.DAT";

// Cross-module callers see a table of operations and nothing else.
static_assert(sizeof(IPluginDataMgr) == sizeof(void*));

void Put32(Bytes& bytes, size_t at, uint32_t value) {
    if (bytes.size() < at + 4)
        bytes.resize(at + 4);
    std::memcpy(bytes.data() + at, &value, 4);
}

uint32_t Get32(const Bytes& bytes, size_t at) {
    uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

// A block as a plug-in builds it: header, then a payload pattern.
Bytes MakeBlock(uint32_t key, uint32_t version, uint32_t size, uint8_t seed) {
    Bytes block(size, 0);
    std::memcpy(block.data(), "PND", 4);
    Put32(block, 4, key);
    Put32(block, 8, version);
    Put32(block, 12, size);
    for (uint32_t i = 32; i < size; ++i)
        block[i] = static_cast<uint8_t>(seed + i);
    return block;
}

Bytes FileHeader(uint32_t count, const char* magic = "PSD") {
    Bytes header(136, 0);
    std::memcpy(header.data(), magic, std::strlen(magic) + 1 > 4 ? 4 : std::strlen(magic) + 1);
    Put32(header, 4, 0x10000);
    Put32(header, 8, 0x10000);
    Put32(header, 12, count);
    return header;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct Store {
    FakeFileSystem files;
    FakeProfile profile{files};
    PluginDataMgr mgr{files, profile};

    Store() { files.AddFolder(kData); }

    void AddBlock(uint32_t key, uint32_t size, uint8_t seed) {
        ASSERT_EQ(mgr.CreateBlock(key, 0x10000, size), 0);
        Bytes block = MakeBlock(key, 0x10000, size, seed);
        ASSERT_EQ(mgr.WriteBlock(key, size, block.data()), 0);
    }
    Bytes Read(uint32_t key, uint32_t length) {
        Bytes buffer(length, 0xCC);
        EXPECT_EQ(mgr.ReadBlock(key, buffer.data(), length), 0);
        return buffer;
    }
    Bytes FileBytes(const std::u16string& path) {
        Bytes data;
        EXPECT_TRUE(files.ReadFile(path, data));
        return data;
    }
};

// ---- blocks ----

TEST(StoreBlocks, CreateNeedsMoreThanAHeader) {
    Store s;
    EXPECT_EQ(s.mgr.CreateBlock(1, 1, 0), -5);
    EXPECT_EQ(s.mgr.CreateBlock(1, 1, 32), -5);
    EXPECT_EQ(s.mgr.GetBlockCount(), 0);
    EXPECT_EQ(s.mgr.CreateBlock(1, 1, 33), 0);
    EXPECT_EQ(s.mgr.GetBlockCount(), 1);
    EXPECT_EQ(s.mgr.GetBlockSize(0), 0); // until the first write
}

TEST(StoreBlocks, AnImpossibleSizeIsOutOfMemoryNotACrash) {
    Store s;
    EXPECT_EQ(s.mgr.CreateBlock(1, 1, 0xFFFFFFFFu), -7);
    EXPECT_EQ(s.mgr.GetBlockCount(), 0);
}

TEST(StoreBlocks, KeysMayRepeatAndFindAnswersTheFirst) {
    Store s;
    ASSERT_EQ(s.mgr.CreateBlock(0x10001, 1, 40), 0);
    ASSERT_EQ(s.mgr.CreateBlock(0x10002, 1, 40), 0);
    ASSERT_EQ(s.mgr.CreateBlock(0x10001, 2, 40), 0);
    EXPECT_EQ(s.mgr.GetBlockCount(), 3);
    EXPECT_EQ(s.mgr.FindBlock(0x10001), 0);
    EXPECT_EQ(s.mgr.FindBlock(0x10002), 1);
    EXPECT_EQ(s.mgr.FindBlock(0x10003), -1);
}

TEST(StoreBlocks, WriteStoresTheSizeInTheCallersRecordAndReadCopiesAtMostTheBlock) {
    Store s;
    ASSERT_EQ(s.mgr.CreateBlock(0x10010, 0x10000, 36), 0);
    Bytes block = MakeBlock(0x10010, 0x10000, 36, 7);
    Put32(block, 12, 0); // the caller's size field is set by the write
    EXPECT_EQ(s.mgr.WriteBlock(0x10099, 36, block.data()), -1);
    ASSERT_EQ(s.mgr.WriteBlock(0x10010, 36, block.data()), 0);
    EXPECT_EQ(Get32(block, 12), 36u);
    EXPECT_EQ(s.mgr.GetBlockSize(0), 36);

    // A longer buffer gets the block and keeps the rest.
    Bytes longer = s.Read(0x10010, 100);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), longer.begin()));
    for (size_t i = 36; i < longer.size(); ++i)
        ASSERT_EQ(longer[i], 0xCC) << i;
    // A shorter one gets its length, header included.
    Bytes shorter = s.Read(0x10010, 20);
    EXPECT_TRUE(std::equal(shorter.begin(), shorter.end(), block.begin()));
    Bytes none(8, 0xCC);
    EXPECT_EQ(s.mgr.ReadBlock(0x10099, none.data(), 8), -1);
}

TEST(StoreBlocks, ANeverWrittenBlockReadsAsNothing) {
    Store s;
    ASSERT_EQ(s.mgr.CreateBlock(5, 1, 64), 0);
    Bytes buffer(64, 0xCC);
    EXPECT_EQ(s.mgr.ReadBlock(5, buffer.data(), 64), 0);
    EXPECT_EQ(buffer, Bytes(64, 0xCC));
}

TEST(StoreBlocks, WriteMayGrowOrShrinkTheBlock) {
    Store s;
    ASSERT_EQ(s.mgr.CreateBlock(9, 1, 40), 0);
    Bytes big = MakeBlock(9, 1, 500, 3);
    ASSERT_EQ(s.mgr.WriteBlock(9, 500, big.data()), 0);
    EXPECT_EQ(s.Read(9, 500), big);
    Bytes small = MakeBlock(9, 1, 40, 9);
    ASSERT_EQ(s.mgr.WriteBlock(9, 40, small.data()), 0);
    EXPECT_EQ(s.mgr.GetBlockSize(0), 40);
    Bytes back = s.Read(9, 500);
    EXPECT_TRUE(std::equal(small.begin(), small.end(), back.begin()));
    EXPECT_EQ(back[40], 0xCC);
}

TEST(StoreBlocks, AShortRecordIsNeverWrittenPastItsEnd) {
    Store s;
    ASSERT_EQ(s.mgr.CreateBlock(9, 1, 40), 0);
    Bytes record(24, 0xAB);
    EXPECT_EQ(s.mgr.WriteBlock(9, 8, record.data()), 0);
    EXPECT_EQ(record, Bytes(24, 0xAB)); // no size field inside the 8 bytes
    EXPECT_EQ(s.mgr.GetBlockSize(0), 8);
}

TEST(StoreBlocks, NullPointersAreRefused) {
    Store s;
    ASSERT_EQ(s.mgr.CreateBlock(9, 1, 40), 0);
    EXPECT_EQ(s.mgr.WriteBlock(9, 40, nullptr), -6);
    Bytes block = MakeBlock(9, 1, 40, 1);
    ASSERT_EQ(s.mgr.WriteBlock(9, 40, block.data()), 0);
    EXPECT_EQ(s.mgr.ReadBlock(9, nullptr, 40), -6);
    EXPECT_EQ(s.mgr.ReadBlock(9, nullptr, 0), 0);
}

TEST(StoreBlocks, RemoveAndClear) {
    Store s;
    s.AddBlock(1, 40, 1);
    s.AddBlock(2, 40, 2);
    s.AddBlock(3, 40, 3);
    EXPECT_EQ(s.mgr.RemoveBlock(3), -3);
    EXPECT_EQ(s.mgr.RemoveBlock(-1), -3);
    EXPECT_EQ(s.mgr.RemoveBlock(1), 0);
    EXPECT_EQ(s.mgr.FindBlock(2), -1);
    EXPECT_EQ(s.mgr.FindBlock(3), 1);
    s.mgr.ClearBlocks();
    EXPECT_EQ(s.mgr.GetBlockCount(), 0);
}

TEST(StoreBlocks, SaveFlagStartsClear) {
    Store s;
    EXPECT_EQ(s.mgr.GetSaveFlag(), 0);
    s.mgr.SetSaveFlag(1);
    EXPECT_EQ(s.mgr.GetSaveFlag(), 1);
}

// ---- settings files ----

TEST(StoreSettingsFile, RoundTripKeepsEveryBlockAndTheLayout) {
    Store s;
    s.AddBlock(0x10001, 992, 1);
    s.AddBlock(0x10010, 36, 2);
    s.AddBlock(0x10005, 152, 3);
    s.mgr.SetSaveFlag(1);
    ASSERT_EQ(s.mgr.SaveSettingsFile(u"QK-R40", kFile.c_str(), 0x10000, 0x20000), 1);

    const Bytes file = s.FileBytes(kFile);
    ASSERT_EQ(file.size(), 136u + 992 + 36 + 152);
    EXPECT_EQ(std::memcmp(file.data(), "PSD\0", 4), 0);
    EXPECT_EQ(Get32(file, 4), 0x10000u);
    EXPECT_EQ(Get32(file, 8), 0x20000u);
    EXPECT_EQ(Get32(file, 12), 3u);
    EXPECT_STREQ(reinterpret_cast<const char*>(file.data() + 16), "QK-R40 Utility");
    EXPECT_STREQ(reinterpret_cast<const char*>(file.data() + 48), "TARROW");
    EXPECT_STREQ(reinterpret_cast<const char*>(file.data() + 80), "QK-R40");
    for (size_t i = 16 + 14; i < 48; ++i)
        ASSERT_EQ(file[i], 0) << i;
    for (size_t i = 80 + 6; i < 136; ++i)
        ASSERT_EQ(file[i], 0) << i;
    const Bytes first = MakeBlock(0x10001, 0x10000, 992, 1);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), file.begin() + 136));
    const Bytes last = MakeBlock(0x10005, 0x10000, 152, 3);
    EXPECT_TRUE(std::equal(last.begin(), last.end(), file.begin() + 136 + 992 + 36));

    Store t;
    t.files.AddFile(kFile, file);
    ASSERT_EQ(t.mgr.LoadSettingsFile(kFile.c_str()), 0);
    ASSERT_EQ(t.mgr.GetBlockCount(), 3);
    EXPECT_EQ(t.mgr.FindBlock(0x10010), 1);
    EXPECT_EQ(t.Read(0x10001, 992), first);
    EXPECT_EQ(t.Read(0x10010, 36), MakeBlock(0x10010, 0x10000, 36, 2));
    EXPECT_EQ(t.Read(0x10005, 152), last);

    // And back out again, byte for byte.
    t.mgr.SetSaveFlag(1);
    ASSERT_EQ(t.mgr.SaveSettingsFile(u"QK-R40", kFile.c_str(), 0x10000, 0x20000), 1);
    EXPECT_EQ(t.FileBytes(kFile), file);
}

TEST(StoreSettingsFile, RepeatedKeysLoadIntoTheirOwnBlocks) {
    Store s;
    const Bytes a = MakeBlock(7, 1, 48, 10);
    const Bytes b = MakeBlock(7, 2, 64, 20);
    const Bytes file = Join({FileHeader(2), a, b});
    s.files.AddFile(kFile, file);
    ASSERT_EQ(s.mgr.LoadSettingsFile(kFile.c_str()), 0);
    ASSERT_EQ(s.mgr.GetBlockCount(), 2);
    EXPECT_EQ(s.mgr.GetBlockSize(0), 48);
    EXPECT_EQ(s.mgr.GetBlockSize(1), 64);
    EXPECT_EQ(s.Read(7, 48), a);
    s.mgr.SetSaveFlag(1);
    ASSERT_EQ(s.mgr.SaveSettingsFile(u"QK-R40", kFile.c_str(), 0x10000, 0x10000), 1);
    const Bytes saved = s.FileBytes(kFile);
    EXPECT_EQ(Bytes(saved.begin() + 136, saved.end()), Bytes(file.begin() + 136, file.end()));
    EXPECT_EQ(Get32(saved, 12), 2u);
}

TEST(StoreSettingsFile, HeaderWithNoBlocksLoadsEmpty) {
    Store s;
    s.files.AddFile(kFile, FileHeader(0));
    s.AddBlock(1, 40, 1);
    EXPECT_EQ(s.mgr.LoadSettingsFile(kFile.c_str()), 0);
    EXPECT_EQ(s.mgr.GetBlockCount(), 1); // a load adds to what is there
}

struct Damage {
    const char* name;
    Bytes file;
    int32_t code;
};

std::vector<Damage> DamagedFiles() {
    const Bytes good = MakeBlock(0x10001, 0x10000, 64, 5);
    Bytes size32 = good;
    Put32(size32, 12, 32);
    Bytes size0 = good;
    Put32(size0, 12, 0);
    Bytes badMagic = good;
    badMagic[0] = 'X';
    Bytes noZero = good;
    noZero[3] = '!';
    Bytes huge = good;
    Put32(huge, 12, 0x7FFFFFFF);
    Bytes hugeUnsigned = good;
    Put32(hugeUnsigned, 12, 0xFFFFFFF0u);
    Bytes truncated = Join({FileHeader(1), good});
    truncated.resize(136 + 40);
    Bytes shortHeader = FileHeader(1);
    shortHeader.resize(135);
    Bytes blockHeaderCut = Join({FileHeader(1), good});
    blockHeaderCut.resize(136 + 20);
    return {
        {"empty file", {}, -4},
        {"short header", shortHeader, -4},
        {"bad magic", Join({FileHeader(1, "PSX"), good}), -3},
        {"magic without its zero", Join({FileHeader(1, "PSDX"), good}), -3},
        {"block size 32", Join({FileHeader(1), size32}), -3},
        {"block size 0", Join({FileHeader(1), size0}), -3},
        {"block magic", Join({FileHeader(1), badMagic}), -3},
        {"block magic without its zero", Join({FileHeader(1), noZero}), -3},
        {"truncated payload", truncated, -4},
        {"truncated block header", blockHeaderCut, -4},
        {"count larger than the file", Join({FileHeader(5), good, good}), -4},
        {"count of 0xFFFFFFFF", Join({FileHeader(0xFFFFFFFFu), good}), -4},
        {"size field 0x7FFFFFFF", Join({FileHeader(1), huge}), -4},
        {"size field 0xFFFFFFF0", Join({FileHeader(1), hugeUnsigned}), -4},
        {"good block then bad one", Join({FileHeader(2), good, size32}), -3},
        {"good block then a cut one",
         Join({FileHeader(2), good, Bytes(good.begin(), good.begin() + 50)}), -4},
    };
}

TEST(StoreSettingsFile, EveryDamagedFileEndsWithItsCodeAndAnEmptyList) {
    for (const Damage& d : DamagedFiles()) {
        Store s;
        s.AddBlock(0x10010, 36, 1); // present before the load: gone after a failed one
        s.files.AddFile(kFile, d.file);
        ResetLargestAllocation();
        EXPECT_EQ(s.mgr.LoadSettingsFile(kFile.c_str()), d.code) << d.name;
        EXPECT_LT(LargestAllocation(), 64u * 1024) << d.name;
        EXPECT_EQ(s.mgr.GetBlockCount(), 0) << d.name;
    }
}

TEST(StoreSettingsFile, MissingFileIsMinusTwo) {
    Store s;
    s.AddBlock(1, 40, 1);
    EXPECT_EQ(s.mgr.LoadSettingsFile(kFile.c_str()), -2);
    EXPECT_EQ(s.mgr.GetBlockCount(), 0);
    EXPECT_EQ(s.mgr.LoadSettingsFile(u""), -2);
    EXPECT_EQ(s.mgr.LoadSettingsFile(nullptr), -2);
    s.files.AddFolder(kData + u"\\AFolder.DAT");
    EXPECT_EQ(s.mgr.LoadSettingsFile((kData + u"\\AFolder.DAT").c_str()), -2);
}

TEST(StoreSettingsFile, NothingIsWrittenWithoutTheSaveFlag) {
    Store s;
    s.AddBlock(1, 40, 1);
    EXPECT_EQ(s.mgr.SaveSettingsFile(u"QK-R40", kFile.c_str(), 1, 1), 0);
    s.mgr.SetSaveFlag(2);
    EXPECT_EQ(s.mgr.SaveSettingsFile(u"QK-R40", kFile.c_str(), 1, 1), 0);
    EXPECT_FALSE(s.files.Exists(kFile));
    EXPECT_FALSE(s.files.Exists(kData + u"\\PORT_0"));
}

TEST(StoreSettingsFile, SaveMakesOneFolderLevelOnly) {
    Store s;
    s.AddBlock(1, 40, 1);
    s.mgr.SetSaveFlag(1);
    const std::u16string deep = kData + u"\\A\\B\\x_Setting.DAT";
    EXPECT_EQ(s.mgr.SaveSettingsFile(u"QK-R40", deep.c_str(), 1, 1), 0);
    EXPECT_FALSE(s.files.Exists(deep));
    EXPECT_FALSE(s.files.Exists(kData + u"\\A"));
    EXPECT_EQ(s.mgr.SaveSettingsFile(u"QK-R40", kFile.c_str(), 1, 1), 1);
    EXPECT_TRUE(s.files.IsDirectory(kData + u"\\PORT_0"));
}

TEST(StoreSettingsFile, BlocksThatCouldNotBeLoadedBackAreNotWritten) {
    Store s;
    s.AddBlock(1, 40, 1);
    ASSERT_EQ(s.mgr.CreateBlock(2, 1, 64), 0); // never written: size 0
    ASSERT_EQ(s.mgr.CreateBlock(3, 1, 64), 0);
    Bytes shortRecord(20, 0x11);
    ASSERT_EQ(s.mgr.WriteBlock(3, 20, shortRecord.data()), 0); // shorter than a header
    s.AddBlock(4, 48, 4);
    s.mgr.SetSaveFlag(1);
    ASSERT_EQ(s.mgr.SaveSettingsFile(u"QK-R40", kFile.c_str(), 1, 1), 1);
    const Bytes file = s.FileBytes(kFile);
    EXPECT_EQ(Get32(file, 12), 2u);
    EXPECT_EQ(file.size(), 136u + 40 + 48);

    Store t;
    t.files.AddFile(kFile, file);
    ASSERT_EQ(t.mgr.LoadSettingsFile(kFile.c_str()), 0);
    EXPECT_EQ(t.mgr.GetBlockCount(), 2);
    EXPECT_EQ(t.mgr.FindBlock(4), 1);
}

TEST(StoreSettingsFile, AFailedWriteKeepsTheEarlierFile) {
    Store s;
    s.AddBlock(1, 40, 1);
    s.mgr.SetSaveFlag(1);
    ASSERT_EQ(s.mgr.SaveSettingsFile(u"QK-R40", kFile.c_str(), 1, 1), 1);
    const Bytes earlier = s.FileBytes(kFile);
    s.AddBlock(2, 64, 2);
    s.files.FailWrites(true); // a full disk
    EXPECT_EQ(s.mgr.SaveSettingsFile(u"QK-R40", kFile.c_str(), 1, 1), 0);
    s.files.FailWrites(false);
    ASSERT_TRUE(s.files.Exists(kFile)) << "the printer's good settings file was deleted";
    EXPECT_EQ(s.FileBytes(kFile), earlier);
}

TEST(StoreSettingsFile, ModelNameIsCutToItsFieldAndKeptAscii) {
    Store s;
    s.AddBlock(1, 40, 1);
    s.mgr.SetSaveFlag(1);
    const std::u16string longName = std::u16string(70, u'M') + u"\u00e9";
    ASSERT_EQ(s.mgr.SaveSettingsFile(longName.c_str(), kFile.c_str(), 1, 1), 1);
    const Bytes file = s.FileBytes(kFile);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.data() + 80)), std::string(55, 'M'));
    EXPECT_EQ(file[135], 0);
    Store t;
    ASSERT_EQ(t.mgr.CreateBlock(1, 1, 40), 0);
    t.mgr.SetSaveFlag(1);
    Bytes block = MakeBlock(1, 1, 40, 0);
    ASSERT_EQ(t.mgr.WriteBlock(1, 40, block.data()), 0);
    ASSERT_EQ(t.mgr.SaveSettingsFile(u"QK-\u00e9", kFile.c_str(), 1, 1), 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(t.FileBytes(kFile).data() + 80), "QK-?");
}

// ---- registered printers ----

TEST(StorePrinters, SameDeviceAndPortIsOneEntryAnotherPortANewFolder) {
    Store s;
    EXPECT_EQ(s.mgr.AddPrinter(kData.c_str(), u"QK-R40", u"USB001"), 0);
    EXPECT_EQ(s.mgr.AddPrinter(kData.c_str(), u"QK-R40", u"USB001"), 0);
    EXPECT_EQ(s.mgr.AddPrinter(kData.c_str(), u"QK-R40", u"COM1"), 1);
    EXPECT_EQ(s.mgr.AddPrinter(kData.c_str(), u"qk-r40", u"COM1"), 2); // case counts
    EXPECT_EQ(s.mgr.GetPrinterCount(), 3);
    RegisteredPrinter entry{};
    ASSERT_EQ(s.mgr.GetPrinter(1, &entry), 0);
    EXPECT_EQ(std::u16string(entry.deviceName), u"QK-R40");
    EXPECT_EQ(std::u16string(entry.portName), u"COM1");
    EXPECT_EQ(std::u16string(entry.folderName), u"PORT_1");
    EXPECT_EQ(std::u16string(entry.settingsPath), kData + u"\\PORT_1\\QK-R40_Setting.DAT");
    EXPECT_EQ(s.mgr.GetPrinter(3, &entry), -3);
    EXPECT_EQ(s.mgr.GetPrinter(0, nullptr), -6);
    EXPECT_EQ(s.mgr.AddPrinter(nullptr, u"a", u"b"), -6);
}

TEST(StorePrinters, AnEmptyDeviceNameMatchesNothing) {
    Store s;
    EXPECT_EQ(s.mgr.AddPrinter(kData.c_str(), u"", u"COM1"), 0);
    EXPECT_EQ(s.mgr.AddPrinter(kData.c_str(), u"", u"COM1"), 1);
    EXPECT_EQ(s.mgr.SettingsPathOf(u"", u"COM1"), u"");
    EXPECT_EQ(s.mgr.HasSettingsFile(u"", u"COM1"), 0);
}

TEST(StorePrinters, SettingsPathAndFilePresence) {
    Store s;
    ASSERT_EQ(s.mgr.AddPrinter(kData.c_str(), u"QK-R40", u"USB001"), 0);
    char16_t buffer[260];
    EXPECT_EQ(s.mgr.GetSettingsPath(u"QK-R40", u"USB001", buffer, 260),
              static_cast<int32_t>(kFile.size()));
    EXPECT_EQ(std::u16string(buffer), kFile);
    EXPECT_EQ(s.mgr.GetSettingsPath(u"QK-R40", u"USB002", buffer, 260), 0);
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(s.mgr.GetSettingsPath(u"QK-R40", u"USB001", buffer, 10), -8);
    EXPECT_EQ(s.mgr.GetSettingsPath(u"QK-R40", u"USB001", nullptr, 260), -8);

    EXPECT_EQ(s.mgr.HasSettingsFile(u"QK-R40", u"USB001"), 0);
    s.files.AddFile(kFile, {1});
    EXPECT_EQ(s.mgr.HasSettingsFile(u"QK-R40", u"USB001"), 1);
    EXPECT_EQ(s.mgr.HasSettingsFile(u"QK-R40", u"USB002"), 0);
}

TEST(StorePrinters, EmptyListWritesNothing) {
    Store s;
    EXPECT_EQ(s.mgr.SavePrinterList(kData.c_str()), 0);
    EXPECT_FALSE(s.files.Exists(kList));
    EXPECT_EQ(s.profile.SaveCount(), 0);
}

TEST(StorePrinters, ListRoundTripRebuildsThePaths) {
    Store s;
    s.mgr.AddPrinter(kData.c_str(), u"QK-R40", u"USB001");
    s.mgr.AddPrinter(kData.c_str(), u"QK-R40", u"COM3");
    s.mgr.AddPrinter(kData.c_str(), u"Dr\u00fccker \u65e5\u672c", u"192.168.0.5");
    ASSERT_EQ(s.mgr.SavePrinterList(kData.c_str()), 0);
    EXPECT_EQ(s.profile.GetString(kList, u"INFO", u"COUNT", u""), u"3");
    EXPECT_EQ(s.profile.GetString(kList, u"PORT_1", u"PortName", u""), u"COM3");
    EXPECT_EQ(s.profile.GetString(kList, u"PORT_2", u"Dir", u""), u"PORT_2");

    PluginDataMgr other(s.files, s.profile);
    const std::u16string moved = u"D:\\Other";
    ASSERT_EQ(other.LoadPrinterList(kData.c_str()), 3);
    RegisteredPrinter entry{};
    ASSERT_EQ(other.GetPrinter(2, &entry), 0);
    EXPECT_EQ(std::u16string(entry.deviceName), u"Dr\u00fccker \u65e5\u672c");
    EXPECT_EQ(std::u16string(entry.portName), u"192.168.0.5");
    EXPECT_EQ(std::u16string(entry.settingsPath),
              kData + u"\\PORT_2\\Dr\u00fccker \u65e5\u672c_Setting.DAT");
    // A new printer gets the next folder number, never one that is taken.
    EXPECT_EQ(other.AddPrinter(kData.c_str(), u"QK-R40", u"LPT1"), 3);
    ASSERT_EQ(other.GetPrinter(3, &entry), 0);
    EXPECT_EQ(std::u16string(entry.folderName), u"PORT_3");
}

TEST(StorePrinters, SectionsBeyondANewCountStay) {
    Store s;
    s.profile.SetFileText(kList, u"[INFO]\r\nCOUNT=3\r\n[PORT_0]\r\nDeviceName=A\r\n"
                                 u"[PORT_1]\r\nDeviceName=B\r\n[PORT_2]\r\nDeviceName=C\r\n");
    PluginDataMgr fresh(s.files, s.profile);
    fresh.AddPrinter(kData.c_str(), u"QK-R40", u"USB001");
    ASSERT_EQ(fresh.SavePrinterList(kData.c_str()), 0);
    EXPECT_EQ(s.profile.GetString(kList, u"INFO", u"COUNT", u""), u"1");
    EXPECT_EQ(s.profile.GetString(kList, u"PORT_0", u"DeviceName", u""), u"QK-R40");
    EXPECT_EQ(s.profile.GetString(kList, u"PORT_2", u"DeviceName", u""), u"C");
}

TEST(StorePrinters, AListWriteThatFailsHalfWayLeavesTheEarlierList) {
    Store s;
    s.profile.SetFileText(kList, u"[INFO]\r\nCOUNT=1\r\n[PORT_0]\r\nDeviceName=QK-R40\r\n"
                                 u"PortName=COM1\r\nDir=PORT_0\r\n");
    const Bytes before = s.FileBytes(kList);
    ASSERT_EQ(s.mgr.LoadPrinterList(kData.c_str()), 1);
    ASSERT_EQ(s.mgr.AddPrinter(kData.c_str(), u"QK-R40", u"COM2"), 1);
    // The disk fills up after any number of writes, until there are enough for the list.
    int writes = 0;
    for (;; ++writes) {
        ASSERT_LT(writes, 20);
        s.files.FailWritesAfter(writes);
        const int32_t saved = s.mgr.SavePrinterList(kData.c_str());
        s.files.FailWritesAfter(-1);
        s.files.FailWrites(false);
        if (saved == 0)
            break;
        EXPECT_EQ(saved, -4);
        EXPECT_EQ(s.FileBytes(kList), before) << "after " << writes << " writes";
    }
    EXPECT_GE(writes, 3) << "the copy, the list and the copy that replaces it";
    EXPECT_EQ(s.profile.GetString(kList, u"PORT_1", u"PortName", u""), u"COM2");
    EXPECT_FALSE(s.files.Exists(kList + u".new"));
}

TEST(StorePrinters, LoadCopesWithMissingAndDamagedLists) {
    Store s;
    EXPECT_EQ(s.mgr.LoadPrinterList(kData.c_str()), 0);
    s.profile.SetFileText(kList, u"[INFO]\r\nCOUNT=0\r\n[PORT_0]\r\nDeviceName=A\r\n");
    EXPECT_EQ(s.mgr.LoadPrinterList(kData.c_str()), 0);
    s.profile.SetFileText(kList, u"[INFO]\r\nCOUNT=-4\r\n");
    EXPECT_EQ(s.mgr.LoadPrinterList(kData.c_str()), 0);

    // Missing keys read as empty texts; the entries keep their places.
    s.profile.SetFileText(kList,
                          u"[INFO]\r\nCOUNT=2\r\n[PORT_1]\r\nDeviceName=B\r\nDir=PORT_1\r\n");
    ASSERT_EQ(s.mgr.LoadPrinterList(kData.c_str()), 2);
    RegisteredPrinter entry{};
    ASSERT_EQ(s.mgr.GetPrinter(0, &entry), 0);
    EXPECT_EQ(entry.deviceName[0], u'\0');
    ASSERT_EQ(s.mgr.GetPrinter(1, &entry), 0);
    EXPECT_EQ(std::u16string(entry.deviceName), u"B");
    EXPECT_EQ(std::u16string(entry.portName), u"");

    // An over-long value would have to be cut into another name and a path without its
    // file name: the record is skipped.
    const std::u16string longName(400, u'N');
    s.profile.SetFileText(kList, u"[INFO]\r\nCOUNT=1\r\n[PORT_0]\r\nDeviceName=" + longName +
                                     u"\r\nPortName=P\r\nDir=PORT_0\r\n");
    EXPECT_EQ(s.mgr.LoadPrinterList(kData.c_str()), 0);
}

// "Dir" and "DeviceName" become parts of a path: a record whose parts would not be one plain
// name inside the data folder, or whose path would not fit its slot, is skipped; the printer's
// own device name is held to the same rules.
TEST(StorePrinters, NamesThatWouldLeaveTheDataFolderAreRefused) {
    struct Case {
        bool asDir;
        std::u16string name;
    };
    std::vector<Case> cases;
    for (const char16_t* dir :
         {u"..", u"..\\..\\Windows", u"a/b", u"C:", u"\\\\host\\share", u"CON", u"com1.txt",
          u"LPT9", u"COM\u00b9", u"x\x01y", u"PORT_0.", u"*", u"a|b", u"."})
        cases.push_back({true, dir});
    // As a device name a part only fails where its settings file name does.
    for (const char16_t* device : {u"..\\..\\x", u"a/b", u"C:", u"\\\\host\\s\\x", u"com1.txt",
                                   u"CON.x", u"x\x01y", u"*", u"a|b", u"PRN.QK"})
        cases.push_back({false, device});
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.name) + (c.asDir ? " as Dir" : " as DeviceName"));
        Store s;
        const std::u16string dir = c.asDir ? c.name : u"PORT_0";
        const std::u16string device = c.asDir ? u"QK-R40" : c.name;
        s.profile.SetFileText(kList, u"[INFO]\r\nCOUNT=2\r\n[PORT_0]\r\nDeviceName=" + device +
                                         u"\r\nPortName=COM1\r\nDir=" + dir +
                                         u"\r\n[PORT_1]\r\nDeviceName=QK-R40\r\n"
                                         u"PortName=COM2\r\nDir=PORT_1\r\n");
        ASSERT_EQ(s.mgr.LoadPrinterList(kData.c_str()), 1);
        EXPECT_EQ(s.mgr.SettingsPathOf(u"QK-R40", u"COM2"),
                  kData + u"\\PORT_1\\QK-R40_Setting.DAT");
        EXPECT_EQ(s.mgr.SettingsPathOf(device, u"COM1"), u"");
        // A new printer takes neither the skipped record's folder number nor that of PORT_1.
        EXPECT_EQ(s.mgr.AddPrinter(kData.c_str(), u"QK-R40", u"USB001"), 1);
        EXPECT_EQ(s.mgr.SettingsPathOf(u"QK-R40", u"USB001"),
                  kData + u"\\PORT_2\\QK-R40_Setting.DAT");
        if (!c.asDir) {
            EXPECT_EQ(s.mgr.AddPrinter(kData.c_str(), c.name.c_str(), u"USB002"), -3);
            EXPECT_EQ(s.mgr.GetPrinterCount(), 2);
        }
    }
    // A name that fits its slot but makes a path that does not is refused, never cut.
    Store s;
    const std::u16string longDevice(240, u'D');
    EXPECT_EQ(s.mgr.AddPrinter(kData.c_str(), longDevice.c_str(), u"COM1"), -3);
    EXPECT_EQ(s.mgr.GetPrinterCount(), 0);
    EXPECT_EQ(s.mgr.AddPrinter(kData.c_str(), u"QK-R40.v2 (\u65e5)", u"COM1"), 0)
        << "an ordinary name with a dot, blanks and brackets is fine";
}

TEST(StorePrinters, AnAbsurdCountIsBounded) {
    Store s;
    s.profile.SetFileText(kList, u"[INFO]\r\nCOUNT=2147483647\r\n[PORT_0]\r\nDeviceName=A\r\n");
    const int32_t count = s.mgr.LoadPrinterList(kData.c_str());
    EXPECT_GT(count, 0);
    EXPECT_LE(count, PluginDataMgr::kMaxPrinters);
}

// ---- threads ----

// The settings read's worker writes blocks (a plug-in's reader may create them) while the
// user-interface thread reads them.
TEST(StoreThreads, AReaderNeverSeesABlockMovedByAnotherThreadsCreate) {
    Store s;
    s.AddBlock(1, 256, 7);
    const Bytes expected = s.Read(1, 256);
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        Bytes back(256);
        while (!done) {
            if (s.mgr.ReadBlock(1, back.data(), 256) != 0 || back != expected)
                ++torn;
        }
    });
    for (uint32_t key = 2; key <= 3000; ++key) {
        Bytes block = MakeBlock(key, 1, 40, 1);
        ASSERT_EQ(s.mgr.CreateBlock(key, 1, 40), 0);
        ASSERT_EQ(s.mgr.WriteBlock(key, 40, block.data()), 0);
    }
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(s.mgr.GetBlockCount(), 3000);
}

// ---- the exit sequence's saves ----

TEST(StoreExit, WithoutTheSaveFlagNeitherFileIsWritten) {
    Store s;
    s.AddBlock(0x10001, 992, 1);
    EXPECT_EQ(s.mgr.RegisterAndSave(kData, u"QK-R40", u"USB001", u"QK-R40", 0x10000, 0x10000), 0);
    EXPECT_FALSE(s.files.Exists(kFile));
    EXPECT_FALSE(s.files.Exists(kList));
    EXPECT_EQ(s.mgr.GetPrinterCount(), 1); // registered in memory only
}

TEST(StoreExit, WithTheSaveFlagBothFilesAreWritten) {
    Store s;
    s.AddBlock(0x10001, 992, 1);
    s.mgr.SetSaveFlag(1);
    EXPECT_EQ(s.mgr.RegisterAndSave(kData, u"QK-R40", u"USB001", u"QK-R40", 0x10000, 0x10000), 1);
    EXPECT_TRUE(s.files.Exists(kFile));
    EXPECT_EQ(s.profile.GetString(kList, u"PORT_0", u"PortName", u""), u"USB001");

    PluginDataMgr next(s.files, s.profile);
    ASSERT_EQ(next.LoadPrinterList(kData.c_str()), 1);
    const std::u16string path = next.SettingsPathOf(u"QK-R40", u"USB001");
    ASSERT_EQ(path, kFile);
    EXPECT_EQ(next.LoadSettingsFile(path.c_str()), 0);
    EXPECT_EQ(next.GetBlockCount(), 1);
}

TEST(StoreExit, AFailedSaveLeavesNoFileAndThePrinterListUntouched) {
    Store s;
    s.profile.SetFileText(kList, u"[INFO]\r\nCOUNT=1\r\n[PORT_0]\r\nDeviceName=QK-R40\r\n"
                                 u"PortName=COM1\r\nDir=PORT_0\r\n");
    const std::u16string before = s.profile.FileText(kList);
    ASSERT_EQ(s.mgr.LoadPrinterList(kData.c_str()), 1);
    s.AddBlock(0x10001, 992, 1);
    s.mgr.SetSaveFlag(1);
    s.files.FailWrites(true);
    const int saves = s.profile.SaveCount();
    EXPECT_EQ(s.mgr.RegisterAndSave(kData, u"QK-R40", u"USB001", u"QK-R40", 0x10000, 0x10000), 0);
    EXPECT_FALSE(s.files.Exists(kData + u"\\PORT_1\\QK-R40_Setting.DAT"));
    EXPECT_EQ(s.profile.SaveCount(), saves);
    s.files.FailWrites(false);
    EXPECT_EQ(s.profile.FileText(kList), before);
}

} // namespace
} // namespace qk::test
