// What the logo page keeps in block 0x10007: the top and bottom logo (key codes and
// alignment), the three logo options and customized value 100. Fields the page does not
// show are carried as they were read. Portable.
#pragma once
#include <cstdint>
#include "framework/store/PrinterSettingBlocks.h"
#include "plugins/logo/GraphicsCommands.h"

class IPluginDataMgr;

namespace qk::logo {

inline constexpr uint32_t kLogoBlockVersion = 0x00010000;
inline constexpr uint8_t kLogoCustomValue = 100; // the 16-bit field at 32

class LogoSettings {
public:
    LogoSettings(); // factory: no logos, options off, value 0

    LogoPlacement Placement(LogoPlace place) const;
    void SetPlacement(LogoPlace place, const LogoPlacement& placement);
    // Option 0x30, 0x40 or 0x41 (others read as off and are not kept).
    bool Option(uint8_t option) const;
    void SetOption(uint8_t option, bool on);
    uint16_t Value100() const { return m_block.value100; }
    void SetValue100(uint16_t value) { m_block.value100 = value; }

    const LogoSettingBlock& Block() const { return m_block; }
    // Reads the block from the store; false (values kept) when it is missing, never written
    // or not a block of its key.
    bool Load(IPluginDataMgr& store);
    int32_t Store(IPluginDataMgr& store) const; // 0, or the store's code
    static int32_t StoreFactoryBlock(IPluginDataMgr& store);

    bool operator==(const LogoSettings& other) const;

private:
    int32_t* OptionWord(uint8_t option);

    LogoSettingBlock m_block{};
};

} // namespace qk::logo
