// The data blocks that hold the printer's user settings, as the settings pages store them and
// the settings command file of the file mode reads them. Each field names the printer's
// customized value (user setting function 5/6, value number `a`) or memory switch it mirrors,
// so the pages' reader and writer and the command file agree on one set of offsets.
// Fields nobody shows are kept exactly as the printer reported them.
#pragma once
#include <cstddef>
#include <cstdint>
#include "framework/store/PluginDataMgrApi.h"

inline constexpr uint32_t kFontSettingBlockKey = 0x00010003;
inline constexpr uint32_t kPaperSettingBlockKey = 0x00010005;
inline constexpr uint32_t kPrintAdjustBlockKey = 0x00010006;
inline constexpr uint32_t kLogoSettingBlockKey = 0x00010007;
inline constexpr uint32_t kExtendedSettingBlockKey = 0x0001000A;
inline constexpr uint32_t kMemorySwitchBlockKey = 0x0001000B;

// Block 0x10003: fonts and characters.
struct FontSettingBlock {
    PluginBlockHeader header;
    int32_t fontA;     // value 111; may hold an ASCII digit
    int32_t fontB;     // value 112; may hold an ASCII digit
    int32_t codeTable; // value 8
    int32_t charSet;   // value 9, international character set
};
static_assert(sizeof(FontSettingBlock) == 48);
static_assert(offsetof(FontSettingBlock, fontA) == 32);
static_assert(offsetof(FontSettingBlock, fontB) == 36);
static_assert(offsetof(FontSettingBlock, codeTable) == 40);
static_assert(offsetof(FontSettingBlock, charSet) == 44);

// Block 0x10005: paper and print.
struct PaperSettingBlock {
    PluginBlockHeader header;
    int32_t paperSize; // value 3: 2 is 58 mm paper, 6 is 80 mm
    uint8_t reserved36[4];
    int32_t density; // value 5, a signed step kept as its 16-bit pattern (65535 is -1)
    int32_t speed;   // value 6
    uint8_t reserved48[12];
    int32_t value11; // value 11
    uint8_t reserved64[8];
    int32_t value127; // value 127
    uint8_t reserved76[76];
};
static_assert(sizeof(PaperSettingBlock) == 152);
static_assert(offsetof(PaperSettingBlock, paperSize) == 32);
static_assert(offsetof(PaperSettingBlock, density) == 40);
static_assert(offsetof(PaperSettingBlock, speed) == 44);
static_assert(offsetof(PaperSettingBlock, value11) == 60);
static_assert(offsetof(PaperSettingBlock, value127) == 72);

// Block 0x10006: five print adjustments, values 101 to 105.
struct PrintAdjustBlock {
    PluginBlockHeader header;
    int32_t values[5];
};
static_assert(sizeof(PrintAdjustBlock) == 52);
static_assert(offsetof(PrintAdjustBlock, values) == 32);

// Block 0x10007: logo settings (owned by the logo page).
struct LogoSettingBlock {
    PluginBlockHeader header;
    uint16_t value100;     // value 100
    uint8_t topKeyCode[2]; // both 0: no top logo
    uint8_t topAlignment;  // written as '0' + alignment
    uint8_t reserved37[4];
    uint8_t bottomKeyCode[2]; // both 0: no bottom logo
    uint8_t reserved43;
    uint8_t bottomAlignment;
    uint8_t reserved45[3];
    int32_t logoOption41; // logo option 0x41: 1 on
    int32_t logoOption40; // logo option 0x40: 1 on
    int32_t logoOption30; // logo option 0x30: 1 on
    uint8_t reserved60[8];
};
static_assert(sizeof(LogoSettingBlock) == 68);
static_assert(offsetof(LogoSettingBlock, value100) == 32);
static_assert(offsetof(LogoSettingBlock, topKeyCode) == 34);
static_assert(offsetof(LogoSettingBlock, topAlignment) == 36);
static_assert(offsetof(LogoSettingBlock, bottomKeyCode) == 41);
static_assert(offsetof(LogoSettingBlock, bottomAlignment) == 44);
static_assert(offsetof(LogoSettingBlock, logoOption41) == 48);
static_assert(offsetof(LogoSettingBlock, logoOption40) == 52);
static_assert(offsetof(LogoSettingBlock, logoOption30) == 56);

// Block 0x1000A: eight 16-bit settings, values 119 to 126.
struct ExtendedSettingBlock {
    PluginBlockHeader header;
    uint16_t values[8];
    uint8_t reserved48[12];
};
static_assert(sizeof(ExtendedSettingBlock) == 60);
static_assert(offsetof(ExtendedSettingBlock, values) == 32);

// Block 0x1000B: memory switches; of them the last bit of switch 6.
struct MemorySwitchBlock {
    PluginBlockHeader header;
    uint8_t reserved32[80];
    int32_t switch6LastBit; // not 0: the switch's last (least significant) bit is set
    uint8_t reserved116[132];
};
static_assert(sizeof(MemorySwitchBlock) == 248);
static_assert(offsetof(MemorySwitchBlock, switch6LastBit) == 112);

inline constexpr int kMemorySwitch6 = 6;

// One customized value mirrored by a block field: its number, where it lives and how wide.
struct CustomValueField {
    uint8_t number;
    uint32_t blockKey;
    uint32_t offset;
    uint8_t width; // 4: a 32-bit word holding the 16-bit value; 2: a 16-bit field
};

// The customized values of the paper and print settings page, in the order they are read.
inline constexpr CustomValueField kPaperPageFields[] = {
    {3, kPaperSettingBlockKey, offsetof(PaperSettingBlock, paperSize), 4},
    {5, kPaperSettingBlockKey, offsetof(PaperSettingBlock, density), 4},
    {6, kPaperSettingBlockKey, offsetof(PaperSettingBlock, speed), 4},
    {8, kFontSettingBlockKey, offsetof(FontSettingBlock, codeTable), 4},
    {9, kFontSettingBlockKey, offsetof(FontSettingBlock, charSet), 4},
    {11, kPaperSettingBlockKey, offsetof(PaperSettingBlock, value11), 4},
    {127, kPaperSettingBlockKey, offsetof(PaperSettingBlock, value127), 4},
    {111, kFontSettingBlockKey, offsetof(FontSettingBlock, fontA), 4},
    {112, kFontSettingBlockKey, offsetof(FontSettingBlock, fontB), 4},
    {101, kPrintAdjustBlockKey, offsetof(PrintAdjustBlock, values) + 0, 4},
    {102, kPrintAdjustBlockKey, offsetof(PrintAdjustBlock, values) + 4, 4},
    {103, kPrintAdjustBlockKey, offsetof(PrintAdjustBlock, values) + 8, 4},
    {104, kPrintAdjustBlockKey, offsetof(PrintAdjustBlock, values) + 12, 4},
    {105, kPrintAdjustBlockKey, offsetof(PrintAdjustBlock, values) + 16, 4},
    {119, kExtendedSettingBlockKey, offsetof(ExtendedSettingBlock, values) + 0, 2},
    {120, kExtendedSettingBlockKey, offsetof(ExtendedSettingBlock, values) + 2, 2},
    {121, kExtendedSettingBlockKey, offsetof(ExtendedSettingBlock, values) + 4, 2},
    {122, kExtendedSettingBlockKey, offsetof(ExtendedSettingBlock, values) + 6, 2},
    {123, kExtendedSettingBlockKey, offsetof(ExtendedSettingBlock, values) + 8, 2},
    {124, kExtendedSettingBlockKey, offsetof(ExtendedSettingBlock, values) + 10, 2},
    {125, kExtendedSettingBlockKey, offsetof(ExtendedSettingBlock, values) + 12, 2},
    {126, kExtendedSettingBlockKey, offsetof(ExtendedSettingBlock, values) + 14, 2},
};

// The size each block is stored and read with.
constexpr uint32_t PrinterSettingBlockSize(uint32_t key) {
    switch (key) {
    case kFontSettingBlockKey:
        return sizeof(FontSettingBlock);
    case kPaperSettingBlockKey:
        return sizeof(PaperSettingBlock);
    case kPrintAdjustBlockKey:
        return sizeof(PrintAdjustBlock);
    case kLogoSettingBlockKey:
        return sizeof(LogoSettingBlock);
    case kExtendedSettingBlockKey:
        return sizeof(ExtendedSettingBlock);
    case kMemorySwitchBlockKey:
        return sizeof(MemorySwitchBlock);
    default:
        return 0;
    }
}
