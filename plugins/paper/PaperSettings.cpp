#include "plugins/paper/PaperSettings.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qk::paper {
namespace {

void MakeHeader(PluginBlockHeader& header, uint32_t key) {
    std::memset(&header, 0, sizeof header);
    std::memcpy(header.magic, &kPluginBlockMagic, sizeof header.magic);
    header.key = key;
    header.version = kBlockVersion;
    header.size = PrinterSettingBlockSize(key);
}

} // namespace

uint16_t FactoryValue(uint8_t number) {
    switch (number) {
    case 3:
        return 6; // 80 mm paper
    case 6:
        return 3; // fastest print speed
    default:
        return 0;
    }
}

const CustomValueField* FindField(uint8_t number) {
    for (const CustomValueField& field : kPaperPageFields)
        if (field.number == number)
            return &field;
    return nullptr;
}

bool OwnsBlock(uint32_t key) {
    return std::find(std::begin(kOwnedBlocks), std::end(kOwnedBlocks), key) !=
           std::end(kOwnedBlocks);
}

PaperSettings::PaperSettings() {
    MakeHeader(m_paper.header, kPaperSettingBlockKey);
    MakeHeader(m_font.header, kFontSettingBlockKey);
    MakeHeader(m_adjust.header, kPrintAdjustBlockKey);
    MakeHeader(m_extended.header, kExtendedSettingBlockKey);
    MakeHeader(m_switches.header, kMemorySwitchBlockKey);
    for (const CustomValueField& field : kPaperPageFields)
        Set(field, FactoryValue(field.number));
}

const void* PaperSettings::Block(uint32_t key) const {
    return const_cast<PaperSettings*>(this)->MutableBlock(key);
}

void* PaperSettings::MutableBlock(uint32_t key) {
    switch (key) {
    case kPaperSettingBlockKey:
        return &m_paper;
    case kFontSettingBlockKey:
        return &m_font;
    case kPrintAdjustBlockKey:
        return &m_adjust;
    case kExtendedSettingBlockKey:
        return &m_extended;
    case kMemorySwitchBlockKey:
        return &m_switches;
    default:
        return nullptr;
    }
}

uint16_t PaperSettings::Get(const CustomValueField& field) const {
    const auto* bytes = static_cast<const uint8_t*>(Block(field.blockKey));
    if (!bytes)
        return 0;
    // A 32-bit word carries the 16-bit value in its low half.
    uint16_t value = 0;
    std::memcpy(&value, bytes + field.offset, sizeof value);
    return value;
}

void PaperSettings::Set(const CustomValueField& field, uint16_t value) {
    auto* bytes = static_cast<uint8_t*>(MutableBlock(field.blockKey));
    if (!bytes)
        return;
    if (field.width == 4) {
        const uint32_t word = value;
        std::memcpy(bytes + field.offset, &word, sizeof word);
    } else {
        std::memcpy(bytes + field.offset, &value, sizeof value);
    }
}

uint16_t PaperSettings::Value(uint8_t number) const {
    const CustomValueField* field = FindField(number);
    return field ? Get(*field) : 0;
}

void PaperSettings::SetValue(uint8_t number, uint16_t value) {
    if (const CustomValueField* field = FindField(number))
        Set(*field, value);
}

int PaperSettings::Load(IPluginDataMgr& store) {
    int loaded = 0;
    for (uint32_t key : kOwnedBlocks) {
        const uint32_t size = PrinterSettingBlockSize(key);
        std::vector<uint8_t> data(size, 0);
        if (store.ReadBlock(key, data.data(), size) != kStoreOk)
            continue;
        PluginBlockHeader header{};
        std::memcpy(&header, data.data(), sizeof header);
        uint32_t magic = 0;
        std::memcpy(&magic, header.magic, sizeof magic);
        // A block created but never written reads as zeros: it holds nothing yet.
        if (magic != kPluginBlockMagic || header.key != key)
            continue;
        auto* target = static_cast<uint8_t*>(MutableBlock(key));
        if (!target)
            continue;
        // A shorter block (an older layout) keeps the tail held so far.
        const uint32_t valid = std::min(size, std::max<uint32_t>(header.size, sizeof header));
        std::memcpy(target, data.data(), valid);
        PluginBlockHeader fresh{};
        MakeHeader(fresh, key);
        std::memcpy(target, &fresh, sizeof fresh);
        ++loaded;
    }
    return loaded;
}

int32_t PaperSettings::Store(IPluginDataMgr& store) const {
    for (uint32_t key : kOwnedBlocks) {
        int32_t written =
            store.WriteBlock(key, PrinterSettingBlockSize(key), const_cast<void*>(Block(key)));
        if (written != kStoreOk)
            return written;
    }
    return kStoreOk;
}

int32_t PaperSettings::StoreFactoryBlock(IPluginDataMgr& store, uint32_t key) {
    if (!OwnsBlock(key))
        return -1;
    PaperSettings factory;
    return store.WriteBlock(key, PrinterSettingBlockSize(key),
                            const_cast<void*>(factory.Block(key)));
}

bool PaperSettings::operator==(const PaperSettings& other) const {
    for (uint32_t key : kOwnedBlocks)
        if (std::memcmp(Block(key), other.Block(key), PrinterSettingBlockSize(key)) != 0)
            return false;
    return true;
}

} // namespace qk::paper
