#include "tests/settingsfile/SettingsFileSamples.h"

#include <gtest/gtest.h>
#include "framework/store/PluginDataMgr.h"
#include "plugins/logo/LogoSettings.h"
#include "plugins/paper/PaperSettings.h"

namespace qk::test {

std::vector<uint8_t> FileOtherThanFactory(const app::SettingsFileTime& writtenAt) {
    PluginDataMgr blocks;
    for (uint32_t key : paper::kOwnedBlocks) {
        blocks.CreateBlock(key, paper::kBlockVersion, PrinterSettingBlockSize(key));
        paper::PaperSettings::StoreFactoryBlock(blocks, key);
    }
    blocks.CreateBlock(kLogoSettingBlockKey, logo::kLogoBlockVersion, sizeof(LogoSettingBlock));
    logo::LogoSettings::StoreFactoryBlock(blocks);
    paper::PaperSettings settings;
    settings.Load(blocks);
    settings.SetValue(3, 2);
    settings.SetValue(8, 19);
    settings.Store(blocks);
    app::SettingsFileSource source;
    source.modelName = "QK-R40";
    source.writtenAt = writtenAt;
    std::vector<uint8_t> file;
    EXPECT_EQ(app::BuildSettingsCommandFile(blocks, source, file), 0);
    return file;
}

} // namespace qk::test
