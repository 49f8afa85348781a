#include "plugins/logo/LogoSettings.h"

#include <algorithm>
#include <cstring>
#include "framework/store/PluginDataMgrApi.h"

namespace qk::logo {

LogoSettings::LogoSettings() {
    std::memcpy(m_block.header.magic, &kPluginBlockMagic, sizeof m_block.header.magic);
    m_block.header.key = kLogoSettingBlockKey;
    m_block.header.version = kLogoBlockVersion;
    m_block.header.size = sizeof(LogoSettingBlock);
}

LogoPlacement LogoSettings::Placement(LogoPlace place) const {
    if (place == LogoPlace::Top)
        return {{m_block.topKeyCode[0], m_block.topKeyCode[1]}, m_block.topAlignment};
    return {{m_block.bottomKeyCode[0], m_block.bottomKeyCode[1]}, m_block.bottomAlignment};
}

void LogoSettings::SetPlacement(LogoPlace place, const LogoPlacement& placement) {
    uint8_t* code = place == LogoPlace::Top ? m_block.topKeyCode : m_block.bottomKeyCode;
    code[0] = placement.code.first;
    code[1] = placement.code.second;
    (place == LogoPlace::Top ? m_block.topAlignment : m_block.bottomAlignment) =
        placement.alignment;
}

int32_t* LogoSettings::OptionWord(uint8_t option) {
    switch (option) {
    case 0x30:
        return &m_block.logoOption30;
    case 0x40:
        return &m_block.logoOption40;
    case 0x41:
        return &m_block.logoOption41;
    default:
        return nullptr;
    }
}

bool LogoSettings::Option(uint8_t option) const {
    const int32_t* word = const_cast<LogoSettings*>(this)->OptionWord(option);
    return word && *word == 1;
}

void LogoSettings::SetOption(uint8_t option, bool on) {
    if (int32_t* word = OptionWord(option))
        *word = on ? 1 : 0;
}

bool LogoSettings::Load(IPluginDataMgr& store) {
    LogoSettingBlock read{};
    if (store.ReadBlock(kLogoSettingBlockKey, &read, sizeof read) != kStoreOk)
        return false;
    uint32_t magic = 0;
    std::memcpy(&magic, read.header.magic, sizeof magic);
    // A block created but never written reads as zeros: it holds nothing yet.
    if (magic != kPluginBlockMagic || read.header.key != kLogoSettingBlockKey)
        return false;
    // A shorter block (an older layout) keeps the tail held so far.
    const uint32_t valid = std::min<uint32_t>(
        sizeof read, std::max<uint32_t>(read.header.size, sizeof(PluginBlockHeader)));
    const PluginBlockHeader header = m_block.header;
    std::memcpy(&m_block, &read, valid);
    m_block.header = header;
    return true;
}

int32_t LogoSettings::Store(IPluginDataMgr& store) const {
    LogoSettingBlock copy = m_block;
    return store.WriteBlock(kLogoSettingBlockKey, sizeof copy, &copy);
}

int32_t LogoSettings::StoreFactoryBlock(IPluginDataMgr& store) {
    return LogoSettings().Store(store);
}

bool LogoSettings::operator==(const LogoSettings& other) const {
    return std::memcmp(&m_block, &other.m_block, sizeof m_block) == 0;
}

} // namespace qk::logo
