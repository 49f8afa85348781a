#include "plugins/settingsfile/SettingText.h"

namespace qk::settingsfile {

std::u16string HexText(const Bytes& bytes) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text;
    for (uint8_t byte : bytes) {
        if (!text.empty())
            text += u' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

std::u16string SettingValueText(const FileSetting& setting) {
    switch (setting.kind) {
    case SettingKind::CustomValue:
        return setting.value.size() == 2 ? Decimal(setting.value[0] | setting.value[1] << 8)
                                         : HexText(setting.value);
    case SettingKind::MemorySwitch:
    case SettingKind::LogoOption:
        return std::u16string(setting.value.begin(), setting.value.end());
    default:
        return HexText(setting.value);
    }
}

std::u16string HeldValueText(const FileSetting& setting, const Bytes& value) {
    FileSetting held = setting;
    held.value = value;
    return SettingValueText(held);
}

} // namespace qk::settingsfile
