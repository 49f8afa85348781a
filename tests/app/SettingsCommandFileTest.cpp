// The settings command file: the command bytes built from the data blocks, the header, the
// logo section, and the writer's handling of real files under Wine. A printer model (the
// simulator's command interpreter) reads a built file to show the commands are well formed.
#include <windows.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>
#include "app/status/SettingsCommandFile.h"
#include "app/status/SettingsCommandFileWriter.h"
#include "framework/store/PluginDataMgr.h"
#include "maker/printer/CommandInterpreter.h"
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "tests/app/SettingsSectionSample.h"
#include "tests/support/WindowDriver.h"

namespace qk::test {
namespace {

using app::BuildSettingsCommandFile;
using app::BuildSettingsSection;
using app::SettingsFileHeader;
using app::SettingsFileSource;
using Bytes = std::vector<uint8_t>;

class SettingsSectionTest : public ::testing::Test {
protected:
    Bytes Build(bool fontA, bool fontB, int32_t expected = 0) {
        PluginDataMgr store;
        blocks.StoreInto(store);
        Bytes section{0xEE}; // replaced, never appended to
        EXPECT_EQ(BuildSettingsSection(store, fontA, fontB, section), expected);
        return section;
    }
    SettingsBlocks blocks;
};

TEST_F(SettingsSectionTest, EveryRowInTableOrderWithItsLengthBytes) {
    EXPECT_EQ(HexOf(Build(true, true)), HexOf(Hex(kExpectedSection)));
}

TEST_F(SettingsSectionTest, FontRowsOnlyWithTheirSetting) {
    const Bytes fontA = Hex("1D 28 45 04 00 05 6F"), fontB = Hex("1D 28 45 04 00 05 70");
    const Bytes all = Build(true, true);
    const Bytes onlyA = Build(true, false);
    EXPECT_TRUE(Contains(onlyA, fontA));
    EXPECT_FALSE(Contains(onlyA, fontB));
    const Bytes onlyB = Build(false, true);
    EXPECT_FALSE(Contains(onlyB, fontA));
    EXPECT_TRUE(Contains(onlyB, fontB));
    EXPECT_EQ(Build(false, false).size(), all.size() - 18);
}

TEST_F(SettingsSectionTest, LogoWithoutBothKeyCodesIsCancelled) {
    blocks.Put8(0x10007, 35, 0); // top: second key code missing
    blocks.Put8(0x10007, 41, 0); // bottom: first key code missing
    const Bytes section = Build(false, false);
    const Bytes start = Hex("1C 28 45 06 00 3C 02 30 43 4C 52 "
                            "1C 28 45 06 00 3C 02 31 43 4C 52 "
                            "1C 28 45 04 00 40 02 30 31");
    ASSERT_GE(section.size(), start.size());
    EXPECT_EQ(HexOf(Bytes(section.begin(), section.begin() + start.size())), HexOf(start));
}

TEST_F(SettingsSectionTest, AnyMissingBlockFailsTheWholeSection) {
    for (uint32_t key : {0x10003u, 0x10005u, 0x10006u, 0x10007u, 0x1000Au, 0x1000Bu}) {
        SettingsBlocks without;
        without.Remove(key);
        PluginDataMgr store;
        without.StoreInto(store);
        Bytes section{1, 2, 3};
        EXPECT_EQ(BuildSettingsSection(store, false, false, section), app::kSettingsFileCannotRead)
            << std::hex << key;
        EXPECT_TRUE(section.empty()) << std::hex << key;
    }
}

TEST_F(SettingsSectionTest, ShortBlocksReadAsZerosBeyondTheirEnd) {
    blocks.Shorten(0x10005, 44); // the words at 44, 60 and 72 are not stored
    const Bytes section = Build(false, false);
    EXPECT_TRUE(Contains(section, Hex("05 05 34 12")));
    EXPECT_TRUE(Contains(section, Hex("05 06 00 00")));
    EXPECT_TRUE(Contains(section, Hex("05 0B 00 00")));
    EXPECT_TRUE(Contains(section, Hex("05 7F 00 00")));
}

TEST(SettingsFileCrc, MatchesTheCheckValueOfTheAlgorithm) {
    const char* check = "123456789";
    EXPECT_EQ(app::Crc32Bzip2(reinterpret_cast<const uint8_t*>(check), 9), 0xFC891918u);
    EXPECT_EQ(app::Crc32Bzip2(nullptr, 0), 0u);
}

TEST(SettingsFileErrors, PlatformErrorNumbersOverrideTheStepCode) {
    EXPECT_EQ(app::SettingsFileErrorCode(2, -3), -1);
    EXPECT_EQ(app::SettingsFileErrorCode(12, -5), -11);
    EXPECT_EQ(app::SettingsFileErrorCode(28, -5), -12);
    EXPECT_EQ(app::SettingsFileErrorCode(5, -2), -2);
    EXPECT_EQ(app::SettingsFileErrorCode(112, -5), -5);
    EXPECT_EQ(app::SettingsFileErrorCode(0, -4), -4);
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { blocks.StoreInto(store); }
    int32_t Build(Bytes& file, const Bytes* logo = nullptr, std::string model = "QK-R40") {
        SettingsFileSource source;
        source.modelName = std::move(model);
        source.logo = logo;
        source.writtenAt = {2026, 3, 7, 9, 5};
        return BuildSettingsCommandFile(store, source, file);
    }
    static SettingsFileHeader HeaderOf(const Bytes& file) {
        SettingsFileHeader header{};
        std::memcpy(&header, file.data(), sizeof header);
        return header;
    }
    static std::string Field(const char* field, size_t size) { return std::string(field, size); }

    SettingsBlocks blocks;
    PluginDataMgr store;
};

TEST_F(SettingsFileTest, HeaderWithoutLogo) {
    Bytes file;
    ASSERT_EQ(Build(file), 0);
    ASSERT_GT(file.size(), 256u);
    const SettingsFileHeader h = HeaderOf(file);
    EXPECT_EQ(h.headerSize, 256);
    EXPECT_EQ(h.version, 1);
    EXPECT_EQ(Field(h.modelName, 30), std::string("QK-R40\r\n") + std::string(22, '\0'));
    EXPECT_EQ(Field(h.comment, 30), std::string("\r\n") + std::string(28, '\0'));
    EXPECT_EQ(Field(h.writtenAt, 20), std::string("03/07/2026 09:05\r\n\0\0", 20));
    EXPECT_EQ(h.logoKind, 0);
    EXPECT_EQ(h.logoLength, 0u);
    EXPECT_EQ(h.settingsPresent, 1);
    EXPECT_EQ(h.settingsLength, file.size() - 256);
    EXPECT_EQ(h.bodyCrc, app::Crc32Bzip2(file.data() + 256, file.size() - 256));
    // The body is the settings section alone: it starts with the first logo row.
    EXPECT_EQ(HexOf(Bytes(file.begin() + 256, file.begin() + 259)), "1C 28 45 ");
    // Everything the header does not name stays zero.
    for (size_t at : {3u, 34u, 35u, 66u, 67u, 122u, 123u})
        EXPECT_EQ(file[at], 0) << at;
    for (size_t at = 88; at < 120; ++at)
        EXPECT_EQ(file[at], 0) << at;
    for (size_t at = 132; at < 136; ++at)
        EXPECT_EQ(file[at], 0) << at;
    for (size_t at = 140; at < 256; ++at)
        EXPECT_EQ(file[at], 0) << at;
}

TEST_F(SettingsFileTest, LogoSectionDeletesStoredGraphicsThenCarriesTheLogoUnchanged) {
    struct Case {
        const char* logo;
        uint8_t kind;
    } cases[] = {
        {"1D 28 4C 12 00 30 43 30 47 31 31 08 00 08 00 FF 81 81 81 81 81 81 FF", 1},
        {"1D 38 4C 0A 00 00 00 30 43 30 47 31 31 00 00 00 00", 1},
        {"1C 71 01 01 00 01 00 AA AA AA AA AA AA AA AA", 2},
    };
    for (const Case& c : cases) {
        const Bytes logo = Hex(c.logo);
        Bytes file;
        ASSERT_EQ(Build(file, &logo), 0) << c.logo;
        const SettingsFileHeader h = HeaderOf(file);
        EXPECT_EQ(h.logoKind, c.kind) << c.logo;
        EXPECT_EQ(h.logoLength, 10 + logo.size()) << c.logo;
        Bytes expectedBody = Hex("1D 28 4C 05 00 30 41 43 4C 52");
        expectedBody.insert(expectedBody.end(), logo.begin(), logo.end());
        Bytes section;
        ASSERT_EQ(BuildSettingsSection(store, false, false, section), 0);
        expectedBody.insert(expectedBody.end(), section.begin(), section.end());
        const Bytes body(file.begin() + 256, file.end());
        EXPECT_EQ(HexOf(body), HexOf(expectedBody)) << c.logo;
        EXPECT_EQ(h.settingsLength, body.size() - h.logoLength);
        // The check sum covers the logo and settings sections together, not the header.
        EXPECT_EQ(h.bodyCrc, app::Crc32Bzip2(body.data(), body.size())) << c.logo;
    }
}

TEST_F(SettingsFileTest, ShortOrUnknownLogoIsRefusedWithoutAFile) {
    for (const char* bad : {"1C 71", "", "1D 28 4D 00", "1B 40 00", "1C 70 01",
                            // The declared length is longer or shorter than the file.
                            "1D 28 4C FF 7F 30 43 30 47 31 31 08 00 08 00 FF 81 81 81 FF",
                            "1D 28 4C 03 00 30 43 30 47", "1D 28 4C 05",
                            "1D 38 4C 0B 00 00 00 30 43 30 47 31 31 00 00 00 00",
                            "1D 38 4C 0A 00 00 01 30 43 30 47 31 31 00 00 00 00",
                            // Bit images: none, one byte short, one left over, a second missing.
                            "1C 71 00", "1C 71 01 01 00 01 00 AA AA AA AA AA AA AA",
                            "1C 71 01 01 00 01 00 AA AA AA AA AA AA AA AA 1B",
                            "1C 71 02 01 00 01 00 AA AA AA AA AA AA AA AA 01 00"}) {
        const Bytes logo = Hex(bad);
        Bytes file{9, 9};
        EXPECT_EQ(Build(file, &logo), app::kSettingsFileBadLogo) << bad;
        EXPECT_TRUE(file.empty()) << bad;
    }
}

TEST_F(SettingsFileTest, LongModelNameKeepsItsLineEndAndATerminator) {
    Bytes file;
    ASSERT_EQ(Build(file, nullptr, std::string(40, 'M')), 0);
    const SettingsFileHeader h = HeaderOf(file);
    EXPECT_EQ(Field(h.modelName, 30), std::string(27, 'M') + "\r\n" + '\0');
    EXPECT_EQ(file[34], 0);
}

// A printer that is sent the whole body keeps what the pages set.
TEST_F(SettingsFileTest, APrinterReadingTheBodyKeepsTheLogoAndEverySetting) {
    const Bytes logo = Hex("1D 28 4C 12 00 30 43 30 47 31 31 08 00 08 00 FF 81 81 81 81 81 81 FF");
    Bytes file;
    ASSERT_EQ(Build(file, &logo), 0);

    sim::PrinterState state;
    sim::SetupMemory memory;
    memory.DefineGraphics('O', 'L', {8, 8, 8, {}}); // stored before: deleted by the file
    sim::CommandInterpreter printer(state, memory);
    Bytes answers;
    printer.Feed(file.data() + 256, file.size() - 256, answers);

    EXPECT_EQ(printer.Pending(), 0u) << "a command was left incomplete";
    EXPECT_FALSE(memory.InUserMode()) << "the file ends user setup";
    auto keys = memory.GraphicsKeys();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0], std::make_pair(uint8_t('G'), uint8_t('1')));
    ASSERT_TRUE(memory.Logo(true));
    EXPECT_EQ(memory.Logo(true)->keyCode1, 0x20);
    EXPECT_EQ(memory.Logo(true)->alignment, '2');
    ASSERT_TRUE(memory.Logo(false));
    EXPECT_EQ(memory.Logo(false)->keyCode2, 0x42);
    EXPECT_EQ(memory.LogoOption(0x30), '1');
    EXPECT_EQ(memory.LogoOption(0x40), '0');
    EXPECT_EQ(memory.MemorySwitch(6).back(), '1');
    EXPECT_EQ(memory.CustomValue(0x03), 2);
    EXPECT_EQ(memory.CustomValue(0x05), 0x1234);
    EXPECT_EQ(memory.CustomValue(0x64), 0x0102);
    EXPECT_EQ(memory.CustomValue(0x7E), 28);
    EXPECT_EQ(memory.CustomValue(0x7F), 9);
    EXPECT_FALSE(memory.CustomValue(0x6F)) << "font rows are off by default";
}

// The writer with real files.
class SettingsFileWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
        m_folder = std::wstring(temp) + L"qk-scf-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(m_folder.c_str(), nullptr);
        blocks.StoreInto(store);
    }
    void TearDown() override {
        for (const std::wstring& name : Names()) {
            const std::wstring path = m_folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(path.c_str());
        }
        RemoveDirectoryW(m_folder.c_str());
    }
    std::u16string Path(const wchar_t* name) const { return FromWide(m_folder + L"\\" + name); }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((m_folder + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }
    static Bytes Read(const std::u16string& path) {
        Bytes data;
        os::RealFileSystem().ReadFile(path, data);
        return data;
    }
    static void Put(const std::u16string& path, const Bytes& data) {
        ASSERT_TRUE(os::RealFileSystem().WriteFile(path, data));
    }
    int32_t Write(const std::u16string& output, const std::u16string& logo = u"",
                  bool logoPresent = false) {
        return app::WriteSettingsFile(store, u"QK-R40", output, logo, logoPresent, {});
    }

    std::wstring m_folder;
    SettingsBlocks blocks;
    PluginDataMgr store;
};

TEST_F(SettingsFileWriterTest, WritesHeaderAndBodyAndReplacesAnEarlierFile) {
    const std::u16string out = Path(L"R40.dat");
    Put(out, Bytes(5000, 0x77));
    SYSTEMTIME before;
    GetLocalTime(&before);
    ASSERT_EQ(Write(out), 0);

    const Bytes file = Read(out);
    ASSERT_GT(file.size(), 256u);
    Bytes expected;
    SettingsFileSource source;
    source.modelName = "QK-R40";
    ASSERT_EQ(BuildSettingsCommandFile(store, source, expected), 0);
    EXPECT_EQ(file.size(), expected.size());
    EXPECT_TRUE(std::equal(file.begin() + 256, file.end(), expected.begin() + 256));
    SettingsFileHeader h{};
    std::memcpy(&h, file.data(), sizeof h);
    EXPECT_EQ(h.bodyCrc, app::Crc32Bzip2(file.data() + 256, file.size() - 256));
    // The date of writing, month first.
    char year[8];
    std::snprintf(year, sizeof year, "/%04d ", before.wYear);
    EXPECT_EQ(std::string(h.writtenAt + 5, 6), year);
    EXPECT_EQ(h.writtenAt[2], '/');
    EXPECT_EQ(h.writtenAt[13], ':');
    EXPECT_EQ(Names(), std::vector<std::wstring>{L"R40.dat"}) << "no temporary file is left";
}

TEST_F(SettingsFileWriterTest, LogoWorkFileIsReadFromDisk) {
    const std::u16string logo = Path(L"R40LOGO.tlg"), out = Path(L"out.dat");
    Put(logo, Hex("1C 71 01 01 00 01 00 AA AA AA AA AA AA AA AA"));
    ASSERT_EQ(Write(out, logo, true), 0);
    const Bytes file = Read(out);
    ASSERT_GT(file.size(), 256u + 10);
    EXPECT_EQ(file[120], 2) << "bit image logo";
    EXPECT_EQ(HexOf(Bytes(file.begin() + 256, file.begin() + 268)),
              "1D 28 4C 05 00 30 41 43 4C 52 1C 71 ");
    // Without the flag the logo is not read even when the file exists.
    ASSERT_EQ(Write(out, logo, false), 0);
    EXPECT_EQ(Read(out)[120], 0);
}

TEST_F(SettingsFileWriterTest, FailuresLeaveTheEarlierFileAndNoOther) {
    const std::u16string out = Path(L"keep.dat");
    const Bytes earlier(300, 0x5A);
    Put(out, earlier);

    const std::u16string shortLogo = Path(L"short.tlg");
    Put(shortLogo, Hex("1D 28"));
    EXPECT_EQ(Write(out, shortLogo, true), app::kSettingsFileBadLogo);
    EXPECT_EQ(Write(out, Path(L"absent.tlg"), true), app::kSettingsFileNoPath)
        << "the platform's file-not-found";

    PluginDataMgr empty; // no blocks: the settings cannot be built
    EXPECT_EQ(app::WriteSettingsFile(empty, u"QK-R40", out, u"", false, {}),
              app::kSettingsFileCannotRead);

    SetFileAttributesW(WidePtr(out), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Write(out), app::kSettingsFileCannotCreate) << "a read-only file is not replaced";
    SetFileAttributesW(WidePtr(out), FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(Read(out), earlier);
    auto names = Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"keep.dat", L"short.tlg"}));
}

TEST_F(SettingsFileWriterTest, NoPathOrNoFolderWritesNothing) {
    EXPECT_EQ(Write(u""), app::kSettingsFileNoPath);
    const std::u16string inMissing = Path(L"missing\\out.dat");
    EXPECT_EQ(Write(inMissing), app::kSettingsFileCannotCreate);
    EXPECT_TRUE(Names().empty());
    const std::u16string folder = Path(L"folder.dat");
    ASSERT_TRUE(CreateDirectoryW(WidePtr(folder), nullptr));
    EXPECT_EQ(Write(folder), app::kSettingsFileCannotCreate);
    EXPECT_TRUE(Names().empty());
    RemoveDirectoryW(WidePtr(folder));
}

TEST(SettingsFileModelName, CutAtTheFieldWithoutSplittingACharacter) {
    EXPECT_EQ(app::ModelNameForHeader(u"QK-R40"), "QK-R40");
    EXPECT_EQ(app::ModelNameForHeader(std::u16string(40, u'M')), std::string(27, 'M'));
    EXPECT_EQ(app::ModelNameForHeader(u""), "");
}

} // namespace
} // namespace qk::test
