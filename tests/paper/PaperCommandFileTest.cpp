// The page's blocks against the settings command file writer: one golden settings section
// built from blocks that the page's own code filled, and what a printer that reads it keeps.
// Portable.
#include <gtest/gtest.h>
#include <cstring>
#include <map>
#include <string>
#include <vector>
#include "app/status/SettingsCommandFile.h"
#include "maker/printer/CommandInterpreter.h"
#include "plugins/paper/PaperSettings.h"

namespace qk::test {
namespace {

// Only the block operations the writer and the page use.
class BlockStore : public IPluginDataMgr {
public:
    int32_t CreateBlock(uint32_t key, uint32_t, uint32_t) override {
        blocks_[key];
        return 0;
    }
    int32_t FindBlock(uint32_t key) override { return blocks_.count(key) ? 0 : -1; }
    int32_t WriteBlock(uint32_t key, uint32_t size, void* data) override {
        if (!blocks_.count(key))
            return -1;
        const auto* bytes = static_cast<const uint8_t*>(data);
        blocks_[key].assign(bytes, bytes + size);
        return 0;
    }
    int32_t ReadBlock(uint32_t key, void* buffer, uint32_t length) override {
        if (!blocks_.count(key))
            return -1;
        const std::vector<uint8_t>& block = blocks_[key];
        std::memcpy(buffer, block.data(), std::min<size_t>(length, block.size()));
        return 0;
    }
    int32_t RemoveBlock(int32_t) override { return -3; }
    void ClearBlocks() override { blocks_.clear(); }
    int32_t GetBlockCount() override { return static_cast<int32_t>(blocks_.size()); }
    int32_t GetBlockSize(int32_t) override { return -3; }
    int32_t GetSaveFlag() override { return 0; }
    void SetSaveFlag(int32_t) override {}
    int32_t LoadPrinterList(const char16_t*) override { return 0; }
    int32_t SavePrinterList(const char16_t*) override { return 0; }
    int32_t AddPrinter(const char16_t*, const char16_t*, const char16_t*) override { return -1; }
    int32_t GetSettingsPath(const char16_t*, const char16_t*, char16_t*, uint32_t) override {
        return 0;
    }
    int32_t HasSettingsFile(const char16_t*, const char16_t*) override { return 0; }
    int32_t GetPrinterCount() override { return 0; }
    int32_t GetPrinter(int32_t, RegisteredPrinter*) override { return -3; }
    int32_t LoadSettingsFile(const char16_t*) override { return -2; }
    int32_t SaveSettingsFile(const char16_t*, const char16_t*, uint32_t, uint32_t) override {
        return 0;
    }

private:
    std::map<uint32_t, std::vector<uint8_t>> blocks_;
};

std::vector<uint8_t> FromHex(const std::string& text) {
    std::vector<uint8_t> bytes;
    for (size_t at = 0; at < text.size();) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        bytes.push_back(static_cast<uint8_t>(std::stoi(text.substr(at, 2), nullptr, 16)));
        at += 2;
    }
    return bytes;
}

// Paper 58 mm, code table PC858 and value 124 on top of the factory values, no logos: every row of
// the command table in its order, font rows left out.
constexpr char kGoldenSection[] = "1C2845 0600 3C02 30434C52"
                                  "1C2845 0600 3C02 31434C52"
                                  "1C2845 0400 400230 30"
                                  "1C2845 0400 400240 30"
                                  "1C2845 0400 400241 30"
                                  "1D2845 0300 01494E"
                                  "1D2845 0A00 0306 32323232323232 30"
                                  "1D2845 0400 0503 0200"
                                  "1D2845 0400 0505 0000"
                                  "1D2845 0400 0506 0300"
                                  "1D2845 0400 0508 1300"
                                  "1D2845 0400 0509 0000"
                                  "1D2845 0400 050B 0000"
                                  "1D2845 0400 0564 0000"
                                  "1D2845 0400 0565 0000"
                                  "1D2845 0400 0566 0000"
                                  "1D2845 0400 0567 0000"
                                  "1D2845 0400 0568 0000"
                                  "1D2845 0400 0569 0000"
                                  "1D2845 0400 0577 0000"
                                  "1D2845 0400 0578 0000"
                                  "1D2845 0400 0579 0000"
                                  "1D2845 0400 057A 0000"
                                  "1D2845 0400 057B 0000"
                                  "1D2845 0400 057C A5A5"
                                  "1D2845 0400 057D 0000"
                                  "1D2845 0400 057E 0000"
                                  "1D2845 0400 057F 0000"
                                  "1D2845 0400 024F5554";

TEST(PaperCommandFile, ThePageBlocksGiveTheGoldenSectionAndAPrinterReadingItKeepsTheChoices) {
    BlockStore store;
    for (uint32_t key : paper::kOwnedBlocks) {
        ASSERT_EQ(store.CreateBlock(key, paper::kBlockVersion, PrinterSettingBlockSize(key)), 0);
        ASSERT_EQ(paper::PaperSettings::StoreFactoryBlock(store, key), 0);
    }
    paper::PaperSettings settings;
    ASSERT_EQ(settings.Load(store), 5);
    settings.SetValue(3, 2);
    settings.SetValue(8, 19);
    settings.SetValue(124, 0xA5A5); // carried, never shown
    ASSERT_EQ(settings.Store(store), 0);
    // Without the logo block (the logo page's) no section can be built; here the test gives
    // one without logos.
    std::vector<uint8_t> section;
    EXPECT_EQ(app::BuildSettingsSection(store, false, false, section),
              app::kSettingsFileCannotRead);
    LogoSettingBlock logo{};
    ASSERT_EQ(store.CreateBlock(kLogoSettingBlockKey, paper::kBlockVersion, sizeof logo), 0);
    ASSERT_EQ(store.WriteBlock(kLogoSettingBlockKey, sizeof logo, &logo), 0);
    ASSERT_EQ(app::BuildSettingsSection(store, false, false, section), 0);

    EXPECT_EQ(section, FromHex(kGoldenSection));

    sim::PrinterState state;
    sim::SetupMemory memory;
    sim::CommandInterpreter printer(state, memory);
    std::vector<uint8_t> answers;
    printer.Feed(section.data(), section.size(), answers);
    EXPECT_EQ(printer.Pending(), 0u);
    EXPECT_EQ(memory.CustomValue(3), 2);
    EXPECT_EQ(memory.CustomValue(8), 19);
    EXPECT_EQ(memory.CustomValue(124), 0xA5A5);
    EXPECT_EQ(memory.HeldCustomValue(6), 3);
    EXPECT_FALSE(memory.InUserMode());
}

} // namespace
} // namespace qk::test
