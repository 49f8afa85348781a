#include "maker/printer/SetupMemory.h"

namespace qk::sim {

void SetupMemory::SetUserMode(bool on) {
    std::lock_guard lock(mutex_);
    userMode_ = on;
}

bool SetupMemory::InUserMode() const {
    std::lock_guard lock(mutex_);
    return userMode_;
}

std::string SetupMemory::MemorySwitch(int n) const {
    std::lock_guard lock(mutex_);
    auto it = switches_.find(n);
    uint8_t value = it == switches_.end() ? 0 : it->second;
    std::string bits;
    for (int bit = 7; bit >= 0; --bit)
        bits += (value >> bit) & 1 ? '1' : '0';
    return bits;
}

void SetupMemory::ApplyMemorySwitch(int n, const uint8_t bits[8]) {
    std::lock_guard lock(mutex_);
    uint8_t& value = switches_[n];
    for (int i = 0; i < 8; ++i) {
        uint8_t mask = static_cast<uint8_t>(0x80 >> i);
        if (bits[i] == '0')
            value &= static_cast<uint8_t>(~mask);
        else if (bits[i] == '1')
            value |= mask;
    }
}

void SetupMemory::SetCustomValue(int n, uint16_t value) {
    std::lock_guard lock(mutex_);
    customValues_[n] = value;
}

std::optional<uint16_t> SetupMemory::CustomValue(int n) const {
    std::lock_guard lock(mutex_);
    auto it = customValues_.find(n);
    if (it == customValues_.end())
        return std::nullopt;
    return it->second;
}

uint16_t SetupMemory::HeldCustomValue(int n) const {
    if (auto sent = CustomValue(n))
        return *sent;
    // Factory settings: 80 mm paper (size code 6) and the fastest print speed (3).
    switch (n) {
    case 3:
        return 6;
    case 6:
        return 3;
    default:
        return 0;
    }
}

void SetupMemory::SetMuted(int n, bool muted) {
    std::lock_guard lock(mutex_);
    if (muted)
        muted_.insert(n);
    else
        muted_.erase(n);
}

void SetupMemory::ClearMuted() {
    std::lock_guard lock(mutex_);
    muted_.clear();
}

bool SetupMemory::IsMuted(int n) const {
    std::lock_guard lock(mutex_);
    return muted_.count(n) > 0;
}

void SetupMemory::SetLogo(bool top, const LogoSetting& logo) {
    std::lock_guard lock(mutex_);
    (top ? topLogo_ : bottomLogo_) = logo;
}

void SetupMemory::ClearLogo(bool top) {
    std::lock_guard lock(mutex_);
    (top ? topLogo_ : bottomLogo_).reset();
}

std::optional<LogoSetting> SetupMemory::Logo(bool top) const {
    std::lock_guard lock(mutex_);
    return top ? topLogo_ : bottomLogo_;
}

void SetupMemory::SetLogoOption(uint8_t key, uint8_t value) {
    std::lock_guard lock(mutex_);
    logoOptions_[key] = value;
}

std::optional<uint8_t> SetupMemory::LogoOption(uint8_t key) const {
    std::lock_guard lock(mutex_);
    auto it = logoOptions_.find(key);
    if (it == logoOptions_.end())
        return std::nullopt;
    return it->second;
}

uint32_t GraphicsMemoryUse(const GraphicsEntry& entry) {
    return 10 + static_cast<uint32_t>((entry.width + 7) / 8) * entry.height;
}

bool SetupMemory::DefineGraphics(uint8_t kc1, uint8_t kc2, const GraphicsEntry& entry) {
    std::lock_guard lock(mutex_);
    uint64_t used = GraphicsMemoryUse(entry);
    for (const auto& [key, kept] : graphics_)
        if (key != std::make_pair(kc1, kc2))
            used += GraphicsMemoryUse(kept);
    if (used > kGraphicsMemoryBytes)
        return false;
    graphics_[{kc1, kc2}] = entry;
    return true;
}

bool SetupMemory::DeleteGraphics(uint8_t kc1, uint8_t kc2) {
    std::lock_guard lock(mutex_);
    return graphics_.erase({kc1, kc2}) > 0;
}

void SetupMemory::DeleteAllGraphics() {
    std::lock_guard lock(mutex_);
    graphics_.clear();
}

std::vector<std::pair<uint8_t, uint8_t>> SetupMemory::GraphicsKeys() const {
    std::lock_guard lock(mutex_);
    std::vector<std::pair<uint8_t, uint8_t>> keys;
    for (const auto& entry : graphics_)
        keys.push_back(entry.first);
    return keys;
}

std::optional<GraphicsEntry> SetupMemory::Graphics(uint8_t kc1, uint8_t kc2) const {
    std::lock_guard lock(mutex_);
    auto it = graphics_.find({kc1, kc2});
    if (it == graphics_.end())
        return std::nullopt;
    return it->second;
}

void SetupMemory::DefineBitImages(int count) {
    std::lock_guard lock(mutex_);
    bitImages_ = count;
}

int SetupMemory::BitImageCount() const {
    std::lock_guard lock(mutex_);
    return bitImages_;
}

std::string SetupMemory::Describe() const {
    std::string text = "usermode=" + std::string(InUserMode() ? "1" : "0");
    std::lock_guard lock(mutex_);
    for (const auto& [n, value] : switches_)
        text += " msw" + std::to_string(n) + "=" + std::to_string(value);
    for (const auto& [n, value] : customValues_)
        text += " custom" + std::to_string(n) + "=" + std::to_string(value);
    auto logo = [&](const char* name, const std::optional<LogoSetting>& l) {
        if (l)
            text += std::string(" ") + name + "=" + std::to_string(l->keyCode1) + "/" +
                    std::to_string(l->keyCode2) + "/" + std::to_string(l->alignment);
    };
    logo("toplogo", topLogo_);
    logo("bottomlogo", bottomLogo_);
    for (const auto& [key, value] : logoOptions_)
        text += " logoopt" + std::to_string(key) + "=" + std::to_string(value);
    text += " graphics=" + std::to_string(graphics_.size());
    text += " bitimages=" + std::to_string(bitImages_);
    return text;
}

} // namespace qk::sim
