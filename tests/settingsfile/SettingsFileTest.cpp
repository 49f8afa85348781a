// The settings file page's core against the printer simulator's interpreter: a file saved from
// one printer is what the file mode writes for the same settings, is taken whole by another
// printer (logo section included) and reads back there as on the first; damaged, cut, foreign
// and other-model files are refused; a printer lost part-way is reported as such and is never
// left in user setting mode.
#include <windows.h>

#include <gtest/gtest.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "app/status/SettingsCommandFileWriter.h"
#include "framework/context/UtilContext.h"
#include "framework/store/PluginDataMgr.h"
#include "plugins/logo/LogoExchange.h"
#include "plugins/paper/PaperSettings.h"
#include "plugins/paper/SettingsExchange.h"
#include "plugins/settingsfile/SettingsFileApply.h"
#include "plugins/settingsfile/SettingsFileIo.h"
#include "tests/support/SimulatedPrinter.h"

namespace qk::test {
namespace {

using settingsfile::Bytes;
using settingsfile::CheckedFile;

constexpr int32_t kWaitMs = 50;

std::u16string TempPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + L"qk-setfile-" +
                        std::to_wstring(::GetCurrentProcessId()) + L"-" + name;
    return std::u16string(path.begin(), path.end());
}

Bytes ReadBytes(const std::u16string& path) {
    std::ifstream in(std::filesystem::path(std::wstring(path.begin(), path.end())),
                     std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::u16string& path, const Bytes& bytes) {
    std::ofstream(std::filesystem::path(std::wstring(path.begin(), path.end())), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// The blocks of the settings pages, as the host makes them at start.
void MakePageBlocks(PluginDataMgr& store) {
    for (uint32_t key : paper::kOwnedBlocks) {
        ASSERT_EQ(store.CreateBlock(key, paper::kBlockVersion, PrinterSettingBlockSize(key)), 0);
        ASSERT_EQ(paper::PaperSettings::StoreFactoryBlock(store, key), 0);
    }
    ASSERT_EQ(
        store.CreateBlock(kLogoSettingBlockKey, logo::kLogoBlockVersion, sizeof(LogoSettingBlock)),
        0);
    ASSERT_EQ(logo::LogoSettings::StoreFactoryBlock(store), 0);
}

// The settings read of the pages: what the printer holds into the blocks.
void ReadPrinterIntoBlocks(comm::IPrinterLink& printer, PluginDataMgr& store) {
    paper::PaperSettings paperSettings;
    paperSettings.Load(store);
    ASSERT_EQ(paper::SettingsExchange(printer, kWaitMs).ReadAll(paperSettings).result, 1);
    ASSERT_EQ(paperSettings.Store(store), 0);
    logo::PrinterLogos logos;
    logos.settings.Load(store);
    ASSERT_EQ(logo::LogoExchange(printer, kWaitMs).Read(logos).result, 1);
    ASSERT_EQ(logos.settings.Store(store), 0);
}

// A printer whose settings are not the factory's: another paper width and code table, a stored
// graphic as top logo and a logo option on.
void SetUpFirstPrinter(SimulatedPrinter& printer, const logo::KeyCode& code) {
    PluginDataMgr store;
    MakePageBlocks(store);
    paper::PaperSettings held, wanted;
    held.Load(store);
    ASSERT_EQ(paper::SettingsExchange(printer, kWaitMs).ReadAll(held).result, 1);
    wanted = held;
    wanted.SetValue(3, held.Value(3) == 2 ? 6 : 2);
    wanted.SetValue(8, 19);
    ASSERT_EQ(paper::SettingsExchange(printer, kWaitMs).WriteChanges(wanted, held).result, 1);
    logo::Raster raster{16, 8, Bytes(16, 0xAA)};
    logo::PrinterLogos logos;
    ASSERT_EQ(logo::LogoExchange(printer, kWaitMs).Read(logos).result, 1);
    logo::LogoSettings logoWanted = logos.settings;
    logoWanted.SetPlacement(logo::LogoPlace::Top, {code, logo::kAlignCenter});
    logoWanted.SetOption(0x40, true);
    ASSERT_EQ(logo::LogoExchange(printer, kWaitMs).Write(&raster, code, logoWanted, logos).result,
              1);
}

UtilContext ContextFor(const char16_t* model) {
    UtilContext context{};
    std::u16string name(model);
    std::memcpy(context.portRecord.deviceName, name.c_str(), (name.size() + 1) * 2);
    return context;
}

// The file the page saves for `store`, and the one the file mode writes at exit after loading
// the printer's settings file saved from the same blocks. The header's minute may turn between
// the two; then both are made again.
void SaveBothWays(PluginDataMgr& store, const UtilContext& context,
                  const std::u16string& logoWorkFile, Bytes& page, Bytes& fileMode) {
    const std::u16string pagePath = TempPath(L"page.dat"), modePath = TempPath(L"mode.dat");
    const std::u16string settingsPath = TempPath(L"QK-R40_Setting.DAT");
    store.SetSaveFlag(1);
    ASSERT_EQ(store.SaveSettingsFile(u"QK-R40", settingsPath.c_str(), 0x00010000, 0x00010000), 1);
    PluginDataMgr loaded;
    ASSERT_EQ(loaded.LoadSettingsFile(settingsPath.c_str()), 0);
    const bool logoPresent =
        !logoWorkFile.empty() &&
        ::GetFileAttributesW(reinterpret_cast<const wchar_t*>(logoWorkFile.c_str())) !=
            INVALID_FILE_ATTRIBUTES;
    for (int attempt = 0; attempt < 2; ++attempt) {
        ASSERT_EQ(settingsfile::SavePrinterSettings(context, store, pagePath), 0);
        ASSERT_EQ(app::WriteSettingsFile(loaded, u"QK-R40", modePath,
                                         logoPresent ? logoWorkFile : u"", logoPresent,
                                         {context.enableFontA != 0, context.enableFontB != 0}),
                  0);
        page = ReadBytes(pagePath);
        fileMode = ReadBytes(modePath);
        const size_t at = offsetof(app::SettingsFileHeader, writtenAt);
        if (page.size() > at + 20 && fileMode.size() > at + 20 &&
            std::memcmp(page.data() + at, fileMode.data() + at, 20) == 0)
            break;
    }
    ::DeleteFileW(reinterpret_cast<const wchar_t*>(pagePath.c_str()));
    ::DeleteFileW(reinterpret_cast<const wchar_t*>(modePath.c_str()));
    ::DeleteFileW(reinterpret_cast<const wchar_t*>(settingsPath.c_str()));
}

// The file saved from `first` after its settings read; with `withLogo` the logo work file holds
// the graphic of `code`.
Bytes GoodFile(const logo::KeyCode& code, SimulatedPrinter& first, bool withLogo = false) {
    SetUpFirstPrinter(first, code);
    PluginDataMgr store;
    MakePageBlocks(store);
    ReadPrinterIntoBlocks(first, store);
    UtilContext context = ContextFor(u"QK-R40");
    const std::u16string logoFile = TempPath(L"work-logo.bin");
    if (withLogo) {
        WriteBytes(logoFile, logo::DefineGraphics(code, logo::Raster{16, 8, Bytes(16, 0x55)}));
        std::memcpy(context.logoWorkFilePath, logoFile.c_str(), (logoFile.size() + 1) * 2);
    }
    Bytes page, fileMode;
    SaveBothWays(store, context, withLogo ? logoFile : u"", page, fileMode);
    ::DeleteFileW(reinterpret_cast<const wchar_t*>(logoFile.c_str()));
    return page;
}

CheckedFile Checked(const Bytes& bytes) {
    CheckedFile file;
    EXPECT_EQ(settingsfile::CheckSettingsFile(bytes.data(), bytes.size(), "QK-R40", file),
              settingsfile::kFileOk);
    return file;
}

TEST(SettingsFileSave, APrintersFileIsByteForByteWhatTheFileModeWritesForTheSameSettings) {
    SimulatedPrinter first;
    const logo::KeyCode code{'A', '1'};
    SetUpFirstPrinter(first, code);
    PluginDataMgr store;
    MakePageBlocks(store);
    ReadPrinterIntoBlocks(first, store);

    UtilContext context = ContextFor(u"QK-R40");
    // Before a settings read that got everything, a printer's settings are not saved: the
    // blocks may still hold factory values.
    const std::u16string early = TempPath(L"early.dat");
    EXPECT_EQ(settingsfile::SavePrinterSettings(context, store, early),
              settingsfile::kSettingsNotRead);
    EXPECT_EQ(::GetFileAttributesW(reinterpret_cast<const wchar_t*>(early.c_str())),
              INVALID_FILE_ATTRIBUTES);
    Bytes page, fileMode;
    SaveBothWays(store, context, u"", page, fileMode);
    ASSERT_GT(page.size(), 256u);
    EXPECT_EQ(page, fileMode);
    EXPECT_EQ(page[offsetof(app::SettingsFileHeader, logoKind)], app::kLogoNone);

    // With the fonts' rows and a logo work file, both take them alike.
    context.enableFontA = 1;
    const std::u16string logoFile = TempPath(L"logo.bin");
    WriteBytes(logoFile, logo::DefineGraphics(code, logo::Raster{8, 8, Bytes(8, 0xFF)}));
    std::memcpy(context.logoWorkFilePath, logoFile.c_str(), (logoFile.size() + 1) * 2);
    SaveBothWays(store, context, logoFile, page, fileMode);
    EXPECT_EQ(page, fileMode);
    EXPECT_EQ(page[offsetof(app::SettingsFileHeader, logoKind)], app::kLogoRasterGraphics);
    EXPECT_GT(Checked(page).logoSection.size(), 10u);
    ::DeleteFileW(reinterpret_cast<const wchar_t*>(logoFile.c_str()));

    // A work file that is named but gone gives a file without logo, as in the file mode.
    SaveBothWays(store, context, logoFile, page, fileMode);
    EXPECT_EQ(page, fileMode);
    EXPECT_EQ(page[offsetof(app::SettingsFileHeader, logoKind)], app::kLogoNone);
}

// The remote and printer-control menus have no logo page, so no logo settings' block: the save
// writes what the read got, and applying that file leaves another printer's logo as it was.
TEST(SettingsFileSave, WithoutTheLogoPageTheFileCarriesEverySettingButTheLogosAndApplies) {
    SimulatedPrinter first, second;
    const logo::KeyCode code{'A', '1'};
    SetUpFirstPrinter(first, code);
    SetUpFirstPrinter(second, code);
    PluginDataMgr store;
    for (uint32_t key : paper::kOwnedBlocks) {
        ASSERT_EQ(store.CreateBlock(key, paper::kBlockVersion, PrinterSettingBlockSize(key)), 0);
        ASSERT_EQ(paper::PaperSettings::StoreFactoryBlock(store, key), 0);
    }
    paper::PaperSettings paperSettings;
    paperSettings.Load(store);
    ASSERT_EQ(paper::SettingsExchange(first, kWaitMs).ReadAll(paperSettings).result, 1);
    paperSettings.SetValue(8, paper::FactoryValue(8));
    ASSERT_EQ(paperSettings.Store(store), 0);
    store.SetSaveFlag(1);

    const std::u16string path = TempPath(L"nologo.dat");
    ASSERT_EQ(settingsfile::SavePrinterSettings(ContextFor(u"QK-R40"), store, path), 0);
    const CheckedFile file = Checked(ReadBytes(path));
    ASSERT_TRUE(file.entersUserMode);
    size_t customValues = 0;
    for (const settingsfile::FileSetting& setting : file.settings) {
        EXPECT_TRUE(setting.kind == settingsfile::SettingKind::CustomValue ||
                    setting.kind == settingsfile::SettingKind::MemorySwitch)
            << "a logo setting nothing read";
        EXPECT_FALSE(setting.kind == settingsfile::SettingKind::CustomValue &&
                     setting.number == 100)
            << "customized value 100 lives in the logo settings' block";
        customValues += setting.kind == settingsfile::SettingKind::CustomValue ? 1 : 0;
    }
    EXPECT_GE(customValues, 15u);

    settingsfile::ApplyReport report =
        settingsfile::SettingsFileApply(second, kWaitMs).ReadHeld(file);
    settingsfile::SettingsFileApply(second, kWaitMs).Apply(file, report);
    EXPECT_EQ(report.result, 1);
    EXPECT_EQ(paper::SettingsExchange(second, kWaitMs).ReadAll(paperSettings).result, 1);
    EXPECT_EQ(paperSettings.Value(8), paper::FactoryValue(8));
    logo::PrinterLogos logos;
    ASSERT_EQ(logo::LogoExchange(second, kWaitMs).Read(logos).result, 1);
    EXPECT_EQ(logos.settings.Placement(logo::LogoPlace::Top).code, code) << "its logo stays";
    ::DeleteFileW(reinterpret_cast<const wchar_t*>(path.c_str()));
}

TEST(SettingsFileApply, AFileSavedFromOnePrinterMakesAnotherReadBackTheSame) {
    SimulatedPrinter first, second;
    const logo::KeyCode code{'A', '1'};
    const Bytes bytes = GoodFile(code, first, true);
    const CheckedFile file = Checked(bytes);
    ASSERT_FALSE(file.settings.empty());
    ASSERT_FALSE(file.logoSection.empty());

    // The second printer holds other settings: the list shows what changes.
    settingsfile::ApplyReport report =
        settingsfile::SettingsFileApply(second, kWaitMs).ReadHeld(file);
    ASSERT_EQ(report.result, 1);
    size_t differing = 0;
    for (size_t i = 0; i < file.settings.size(); ++i) {
        ASSERT_TRUE(report.settings[i].now) << "setting " << i;
        differing += settingsfile::SettingHolds(file.settings[i], *report.settings[i].now) ? 0 : 1;
    }
    EXPECT_GE(differing, 3u) << "paper width, code table, top logo and the option differ";

    // The whole body is taken: the logo section stores the graphic that the top logo names.
    settingsfile::SettingsFileApply(second, kWaitMs).Apply(file, report);
    EXPECT_EQ(report.result, 1);
    EXPECT_TRUE(report.logoSent);
    logo::PrinterLogos logos;
    ASSERT_EQ(logo::LogoExchange(second, kWaitMs).Read(logos).result, 1);
    EXPECT_EQ(logos.stored, std::vector<logo::KeyCode>{code});
    for (size_t i = 0; i < file.settings.size(); ++i)
        EXPECT_TRUE(report.settings[i].sent && report.settings[i].holds) << "setting " << i;
    EXPECT_FALSE(second.Memory().InUserMode());

    const settingsfile::ApplyReport onFirst =
        settingsfile::SettingsFileApply(first, kWaitMs).ReadHeld(file);
    const settingsfile::ApplyReport onSecond =
        settingsfile::SettingsFileApply(second, kWaitMs).ReadHeld(file);
    ASSERT_EQ(onFirst.result, 1);
    ASSERT_EQ(onSecond.result, 1);
    for (size_t i = 0; i < file.settings.size(); ++i)
        EXPECT_EQ(onFirst.settings[i].now, onSecond.settings[i].now) << "setting " << i;
}

TEST(SettingsFileApply, APrinterLostPartWayIsReportedWithWhatWentAndIsNotLeftInUserMode) {
    SimulatedPrinter first, second;
    const CheckedFile file = Checked(GoodFile({'A', '1'}, first));
    // The connection ends in the middle of the user settings.
    size_t before = file.logoSection.size();
    for (const auto& setting : file.settings)
        if (setting.kind != settingsfile::SettingKind::CustomValue &&
            setting.kind != settingsfile::SettingKind::MemorySwitch)
            before += setting.command.size();
    second.DropAfter(static_cast<long>(before + 8 + 20));
    settingsfile::ApplyReport report;
    settingsfile::SettingsFileApply(second, kWaitMs).Apply(file, report);
    EXPECT_EQ(report.result, settingsfile::kApplyNoAnswer);
    size_t sent = 0;
    for (const auto& state : report.settings) {
        sent += state.sent ? 1 : 0;
        EXPECT_FALSE(state.holds) << "nothing was read back from a lost printer";
    }
    EXPECT_GT(sent, 0u);
    EXPECT_LT(sent, file.settings.size());
    EXPECT_FALSE(second.Memory().InUserMode());
}

TEST(SettingsFileCheck, DamagedCutForeignAndOtherModelFilesAreRefused) {
    SimulatedPrinter first;
    const Bytes good = GoodFile({'A', '1'}, first);
    CheckedFile file;
    ASSERT_EQ(settingsfile::CheckSettingsFile(good.data(), good.size(), "QK-R40", file), 0);

    // Any one byte of the body changed: the CRC tells.
    for (size_t at = 256; at < good.size(); ++at) {
        Bytes damaged = good;
        damaged[at] ^= 0x01;
        ASSERT_EQ(settingsfile::CheckSettingsFile(damaged.data(), damaged.size(), "QK-R40", file),
                  settingsfile::kFileDamaged)
            << "byte " << at;
        EXPECT_TRUE(file.settings.empty());
    }
    // Cut anywhere, or grown.
    for (size_t size : {size_t{0}, size_t{2}, size_t{255}, size_t{256}, good.size() - 1}) {
        const int32_t result = settingsfile::CheckSettingsFile(good.data(), size, "QK-R40", file);
        EXPECT_TRUE(result == settingsfile::kFileTruncated ||
                    (size < 2 && result == settingsfile::kFileNotSettingsFile))
            << "size " << size << " gives " << result;
    }
    Bytes grown = good;
    grown.push_back(0);
    EXPECT_EQ(settingsfile::CheckSettingsFile(grown.data(), grown.size(), "QK-R40", file),
              settingsfile::kFileTruncated);

    // Another model's file, and this file for another printer.
    Bytes other = good;
    std::memcpy(other.data() + 4, "QK-R41\r\n", 8);
    EXPECT_EQ(settingsfile::CheckSettingsFile(other.data(), other.size(), "QK-R40", file),
              settingsfile::kFileOtherModel);
    EXPECT_EQ(settingsfile::CheckSettingsFile(good.data(), good.size(), "QK-R4", file),
              settingsfile::kFileOtherModel);

    // Not our header at all.
    Bytes foreign = good;
    foreign[2] = 2;
    EXPECT_EQ(settingsfile::CheckSettingsFile(foreign.data(), foreign.size(), "QK-R40", file),
              settingsfile::kFileNotSettingsFile);

    // A whole file with a good CRC whose section carries a command the file mode never writes
    // (here a print of text in the middle of the user settings), or never leaves user setting
    // mode.
    auto withSection = [&](Bytes section) {
        Bytes bytes(good.begin(), good.begin() + 256);
        app::SettingsFileHeader header;
        std::memcpy(&header, bytes.data(), sizeof header);
        header.logoKind = 0;
        header.logoLength = 0;
        header.settingsLength = static_cast<uint32_t>(section.size());
        header.bodyCrc = app::Crc32Bzip2(section.data(), section.size());
        std::memcpy(bytes.data(), &header, sizeof header);
        bytes.insert(bytes.end(), section.begin(), section.end());
        return settingsfile::CheckSettingsFile(bytes.data(), bytes.size(), "QK-R40", file);
    };
    const Bytes in{0x1D, 0x28, 0x45, 0x03, 0x00, 0x01, 'I', 'N'};
    const Bytes out{0x1D, 0x28, 0x45, 0x04, 0x00, 0x02, 'O', 'U', 'T'};
    const Bytes value{0x1D, 0x28, 0x45, 0x04, 0x00, 0x05, 0x03, 0x02, 0x00};
    auto join = [](std::initializer_list<Bytes> parts) {
        Bytes all;
        for (const Bytes& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    EXPECT_EQ(withSection(join({in, value, out})), settingsfile::kFileOk);
    EXPECT_EQ(withSection(join({in, value, {'H', 'i'}, out})), settingsfile::kFileBadCommands);
    EXPECT_EQ(withSection(join({in, value})), settingsfile::kFileBadCommands);
    EXPECT_EQ(withSection(join({value, out})), settingsfile::kFileBadCommands);
    EXPECT_EQ(withSection(join({in, value, out, value})), settingsfile::kFileBadCommands);
    Bytes cut = join({in, value, out});
    cut[3] = 0x40; // a length beyond the section
    EXPECT_EQ(withSection(cut), settingsfile::kFileBadCommands);
}

} // namespace
} // namespace qk::test
