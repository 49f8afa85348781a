// The command line and the start-up rules that read text and files.
#include <gtest/gtest.h>
#include "app/startup/ExtCommandLineInfo.h"
#include "app/startup/StartupRules.h"
#include "tests/support/fakes/FakeProfile.h"

namespace qk::test {
namespace {

using app::CExtCommandLineInfo;

CExtCommandLineInfo Parse(std::vector<std::u16string> args) {
    CExtCommandLineInfo info;
    info.Parse(args);
    return info;
}

TEST(CommandLine, StartModesFromTheMSwitch) {
    struct Row {
        std::u16string arg;
        int32_t mode;
    } rows[] = {
        {u"/mL123", 1},        {u"/mS", 2},    {u"-mR", 3},          {u"/mZEV5", 100},
        {u"/mZEV5_LOGO", 110}, {u"/mzev5", 0}, {u"/mZEV5X", 0},      {u"/m", 0},
        {u"/mX", 0},           {u"/ml", 0},    {u"/mFC:\\a.dat", 4}, {u"/mCC:\\p.ini", 5},
    };
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(Parse({rows[i].arg}).startMode, rows[i].mode) << "row " << i;
}

TEST(CommandLine, PathsFollowTheModeLetter) {
    auto file = Parse({u"/mFC:\\work\\R40.dat"});
    EXPECT_EQ(file.settingsFilePath, u"C:\\work\\R40.dat");
    auto described = Parse({u"/mCC:\\printer.ini"});
    EXPECT_EQ(described.descriptionFilePath, u"C:\\printer.ini");
    // The file-mode path keeps at most 258 characters.
    auto longPath = Parse({u"/mF" + std::u16string(300, u'x')});
    EXPECT_EQ(longPath.settingsFilePath.size(), 258u);
}

TEST(CommandLine, CallerKindsCompareWholeValues) {
    EXPECT_EQ(Parse({u"/dZEV"}).callerKind, 1);
    EXPECT_EQ(Parse({u"/dOPOS"}).callerKind, 2);
    EXPECT_EQ(Parse({u"/dSimpleViewer"}).callerKind, 3);
    EXPECT_EQ(Parse({u"/dAutoRestore"}).callerKind, 4);
    EXPECT_EQ(Parse({u"/dZEVX"}).callerKind, 0);
    EXPECT_EQ(Parse({u"/dzev"}).callerKind, 0);
}

TEST(CommandLine, MaintenanceSwitchNeedsAnM) {
    EXPECT_TRUE(Parse({u"/bM"}).maintenance);
    EXPECT_TRUE(Parse({u"/bMore"}).maintenance);
    EXPECT_FALSE(Parse({u"/bX"}).maintenance);
    EXPECT_FALSE(Parse({u"/b"}).maintenance);
    EXPECT_FALSE(Parse({u"/bm"}).maintenance);
}

TEST(CommandLine, ValuesNonSwitchesAndRepeats) {
    auto info = Parse({u"QK40UTL.exe", u"/pRSDPRT1", u"plain", u"/qQueue A", u"/r\\\\?\\usb#1",
                       u"/x", u"/", u"/pRSDPRT2"});
    EXPECT_EQ(info.portPrefix, u"RSDPRT2") << "a later switch wins";
    EXPECT_EQ(info.queueName, u"Queue A");
    EXPECT_EQ(info.devicePath, u"\\\\?\\usb#1");
    EXPECT_EQ(info.startMode, 0);
    EXPECT_EQ(Parse({u"/r" + std::u16string(400, u'r')}).devicePath.size(), 259u);
}

TEST(StartupRules, LanguageNumber) {
    EXPECT_EQ(app::LanguageNumber(u"0409"), 0x409);
    EXPECT_EQ(app::LanguageNumber(u"0411"), 0x411);
    EXPECT_EQ(app::LanguageNumber(u"0c0a"), 0xC0A);
    EXPECT_EQ(app::LanguageNumber(u"04G9"), 0) << "a letter beyond F";
    EXPECT_EQ(app::LanguageNumber(u"000000409"), 0) << "nine characters";
    EXPECT_EQ(app::LanguageNumber(u"00000409"), 0x409) << "eight characters still read";
    EXPECT_EQ(app::LanguageNumber(u" 409"), 0);
    EXPECT_EQ(app::LanguageNumber(u""), 0);
}

TEST(StartupRules, DeviceIdNumbers) {
    auto three = app::ParseDeviceId(u"12-345-6");
    std::array<int32_t, 10> expected{12, 345, 6, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(three, expected);
    auto gaps = app::ParseDeviceId(u"1--2");
    std::array<int32_t, 10> expectedGaps{1, 0, 2, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(gaps, expectedGaps) << "two separators in a row leave a 0";
    auto many = app::ParseDeviceId(u"1,2,3,4,5,6,7,8,9,10,11,12");
    EXPECT_EQ(many[9], 10) << "reading stops after the tenth number";
    auto huge = app::ParseDeviceId(u"99999999999999999999");
    EXPECT_EQ(huge[0], 0x7FFFFFFF) << "saturates instead of overflowing";
}

TEST(StartupRules, InterfaceTypesAndLeadingNumber) {
    std::array<int32_t, 5> all{1, 2, 3, 4, 5};
    EXPECT_EQ(app::ParseInterfaceTypes(u"1,2,3,4,5"), all);
    std::array<int32_t, 5> two{3, 4, -1, -1, -1};
    EXPECT_EQ(app::ParseInterfaceTypes(u"3,4"), two);
    std::array<int32_t, 5> stop{1, -1, -1, -1, -1};
    EXPECT_EQ(app::ParseInterfaceTypes(u"1,x,3"), stop);
    std::array<int32_t, 5> none{-1, -1, -1, -1, -1};
    EXPECT_EQ(app::ParseInterfaceTypes(u"Serial"), none);
    std::array<int32_t, 5> single{2, -1, -1, -1, -1};
    EXPECT_EQ(app::ParseInterfaceTypes(u"2"), single);
    EXPECT_EQ(app::LeadingNumber(u" 4 (Ethernet)"), 4);
    EXPECT_EQ(app::LeadingNumber(u"2,3"), 2);
    EXPECT_EQ(app::LeadingNumber(u"USB"), -1);
}

struct ProfileFixture : ::testing::Test {
    FakeProfile profile;
    const std::u16string path = u"C:\\QK\\printer.ini";
};

TEST_F(ProfileFixture, DescriptionFileDefaultsAndRules) {
    profile.SetFileText(path,
                        u"[PrinterInfo]\r\nPrinterName=TARROW QK-R40\r\n"
                        u"DeviceID=4-17-3\r\n[DeviceSpec]\r\nPaperWidth=0\r\n"
                        u"PaperSize=-3\r\nVariableContrast=1\r\n[FilePath]\r\nPath=C:\\x\r\n");
    auto d = app::ReadPrinterDescription(profile, path);
    EXPECT_TRUE(d.usable);
    EXPECT_EQ(d.printerName, u"TARROW QK-R40");
    EXPECT_EQ(d.deviceIdentifier[0], 4);
    EXPECT_EQ(d.deviceIdentifier[1], 17);
    EXPECT_EQ(d.deviceIdentifier[2], 3);
    EXPECT_EQ(d.deviceIdentifier[3], 0);
    EXPECT_EQ(d.paperWidth, 512) << "0 or less gives 512";
    EXPECT_EQ(d.paperSize, 6) << "0 or less gives 6";
    EXPECT_EQ(d.variableContrast, 1);
    EXPECT_EQ(d.nvBitImage, 1);
    EXPECT_EQ(d.filePath, u"C:\\x");
}

TEST_F(ProfileFixture, DescriptionFileWithoutPrinterNameIsUnusable) {
    profile.SetFileText(path,
                        u"[PrinterInfo]\r\nPrinterName=\r\n[DeviceSpec]\r\nPaperWidth=384\r\n");
    auto d = app::ReadPrinterDescription(profile, path);
    EXPECT_FALSE(d.usable);
    EXPECT_EQ(d.paperWidth, 384);
    EXPECT_FALSE(app::ReadPrinterDescription(profile, u"").usable);
    EXPECT_FALSE(app::ReadPrinterDescription(profile, u"C:\\missing.ini").usable);
}

TEST_F(ProfileFixture, SettingsDefaultsWhenTheFileIsMissing) {
    auto s = app::ReadUtilitySettings(profile, u"C:\\none\\SETTING.INI", 0);
    EXPECT_EQ(s.languageText, u"0409");
    EXPECT_EQ(s.arpSupport, 0);
    EXPECT_EQ(s.watermarkSupport, 0);
    EXPECT_FALSE(s.interfaceTypesFound);
    EXPECT_EQ(s.defaultIFType, -1);
}

TEST_F(ProfileFixture, FileModeForcesArpAndWatermarkWithoutReading) {
    profile.SetFileText(path, u"[Support]\r\nARP=0\r\nWM=0\r\n");
    auto ordinary = app::ReadUtilitySettings(profile, path, 0);
    EXPECT_EQ(ordinary.arpSupport, 0);
    auto fileMode = app::ReadUtilitySettings(profile, path, 4);
    EXPECT_EQ(fileMode.arpSupport, 1);
    EXPECT_EQ(fileMode.watermarkSupport, 1);
}

TEST_F(ProfileFixture, InterfaceTypesStopAtTheFirstMissingKey) {
    profile.SetFileText(path, u"[SupportCommIF]\r\nCommIFType_1=1\r\nCommIFType_2=4\r\n"
                              u"CommIFType_4=5\r\n");
    auto s = app::ReadUtilitySettings(profile, path, 0);
    EXPECT_TRUE(s.interfaceTypesFound);
    std::array<int32_t, 5> expected{1, 4, -1, -1, -1};
    EXPECT_EQ(s.interfaceTypes, expected);
    EXPECT_EQ(s.defaultIFType, -1) << "stays -1: the language file is not consulted";
}

} // namespace
} // namespace qk::test
