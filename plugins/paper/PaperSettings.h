// The values the paper and print settings page owns: five data blocks, filled with the
// printer's factory values until the printer or a settings file says otherwise. Fields the
// page does not show are carried exactly as they were read. Portable.
#pragma once
#include <cstdint>
#include "framework/store/PrinterSettingBlocks.h"

class IPluginDataMgr;

namespace qk::paper {

// The blocks this page owns, its own block first.
inline constexpr uint32_t kOwnedBlocks[] = {kPaperSettingBlockKey, kFontSettingBlockKey,
                                            kPrintAdjustBlockKey, kExtendedSettingBlockKey,
                                            kMemorySwitchBlockKey};
inline constexpr uint32_t kBlockVersion = 0x00010000;

// The customized value's factory setting (paper 80 mm, standard density, fastest speed,
// the first code table and character set; 0 for the rest).
uint16_t FactoryValue(uint8_t number);
// The field of a customized value of this page, or null.
const CustomValueField* FindField(uint8_t number);
bool OwnsBlock(uint32_t key);

class PaperSettings {
public:
    PaperSettings(); // factory values

    uint16_t Get(const CustomValueField& field) const;
    void Set(const CustomValueField& field, uint16_t value);
    uint16_t Value(uint8_t number) const; // 0 for a value this page does not own
    void SetValue(uint8_t number, uint16_t value);
    bool Switch6LastBit() const { return m_switches.switch6LastBit != 0; }
    void SetSwitch6LastBit(bool on) { m_switches.switch6LastBit = on ? 1 : 0; }

    // The block's bytes with its header (key, version 0x10000, its size); null for a key
    // this page does not own.
    const void* Block(uint32_t key) const;
    // Reads every owned block from the store; a block that is missing, never written or not
    // a block of its key keeps the values held so far. Answers how many blocks were read.
    int Load(IPluginDataMgr& store);
    // Writes every owned block; 0, or the first failing store code.
    int32_t Store(IPluginDataMgr& store) const;
    // Writes the factory content of one owned block; -1 for another key.
    static int32_t StoreFactoryBlock(IPluginDataMgr& store, uint32_t key);

    bool operator==(const PaperSettings& other) const;

private:
    void* MutableBlock(uint32_t key);

    PaperSettingBlock m_paper{};
    FontSettingBlock m_font{};
    PrintAdjustBlock m_adjust{};
    ExtendedSettingBlock m_extended{};
    MemorySwitchBlock m_switches{};
};

} // namespace qk::paper
