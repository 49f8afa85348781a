// What the printer keeps of the user-setup, logo and graphics commands it was sent, so that a
// test or a person can read it back through the control channel or the printer's own answers.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace qk::sim {

struct LogoSetting {
    uint8_t keyCode1 = 0;
    uint8_t keyCode2 = 0;
    uint8_t alignment = 0;
};

struct GraphicsEntry {
    uint16_t width = 0;
    uint16_t height = 0;
    uint32_t dataBytes = 0;    // the define command's data (a colour byte, then the dots)
    std::vector<uint8_t> dots; // rows of (width + 7) / 8 bytes, high bit leftmost, 1 black
};

// The graphics memory: every stored graphic takes its dots and 10 bytes that name it.
inline constexpr uint32_t kGraphicsMemoryBytes = 256 * 1024;
uint32_t GraphicsMemoryUse(const GraphicsEntry& entry);

class SetupMemory {
public:
    void SetUserMode(bool on);
    bool InUserMode() const;

    // Memory switch n as eight '0'/'1' characters, most significant bit first.
    std::string MemorySwitch(int n) const;
    // Applies '0' (clear), '1' (set) and '2' (keep) per bit, most significant bit first.
    void ApplyMemorySwitch(int n, const uint8_t bits[8]);

    void SetCustomValue(int n, uint16_t value);
    // What was sent for value n, if anything.
    std::optional<uint16_t> CustomValue(int n) const;
    // What the printer holds for value n: what was sent, else its factory setting.
    uint16_t HeldCustomValue(int n) const;
    // A muted value is not answered when it is asked for (a value the printer cannot read).
    void SetMuted(int n, bool muted);
    void ClearMuted();
    bool IsMuted(int n) const;

    void SetLogo(bool top, const LogoSetting& logo);
    void ClearLogo(bool top);
    std::optional<LogoSetting> Logo(bool top) const;
    void SetLogoOption(uint8_t key, uint8_t value);
    std::optional<uint8_t> LogoOption(uint8_t key) const;

    // False (nothing kept) when the graphic would not fit the graphics memory beside the
    // others; one of the same key codes is replaced.
    bool DefineGraphics(uint8_t kc1, uint8_t kc2, const GraphicsEntry& entry);
    bool DeleteGraphics(uint8_t kc1, uint8_t kc2);
    void DeleteAllGraphics();
    std::vector<std::pair<uint8_t, uint8_t>> GraphicsKeys() const;
    std::optional<GraphicsEntry> Graphics(uint8_t kc1, uint8_t kc2) const;

    void DefineBitImages(int count);
    int BitImageCount() const;

    // One line describing everything kept, for a person at the control channel.
    std::string Describe() const;

private:
    mutable std::mutex mutex_;
    bool userMode_ = false;
    std::map<int, uint8_t> switches_;
    std::map<int, uint16_t> customValues_;
    std::set<int> muted_;
    std::optional<LogoSetting> topLogo_;
    std::optional<LogoSetting> bottomLogo_;
    std::map<uint8_t, uint8_t> logoOptions_;
    std::map<std::pair<uint8_t, uint8_t>, GraphicsEntry> graphics_;
    int bitImages_ = 0;
};

} // namespace qk::sim
