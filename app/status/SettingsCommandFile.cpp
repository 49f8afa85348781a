#include "app/status/SettingsCommandFile.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <map>
#include <new>
#include "framework/store/PluginDataMgrApi.h"
#include "framework/store/PrinterSettingBlocks.h"

namespace qk::app {
namespace {

// Where a row's value comes from.
enum class Value {
    None,              // fixed command
    TopLogo,           // key code bytes 34, 35 and '0' + byte 36, then 00; cancelled without codes
    BottomLogo,        // key code bytes 41, 42 and '0' + byte 44; cancelled without codes
    OneIfWordIsOne,    // '1' when the 32-bit word is 1, else '0'
    SevenTwosThenFlag, // seven '2', then '1' when the word is not 0, else '0'
    Word16,            // low half of the 32-bit word, low byte first
    DigitWord16,       // as Word16, but an ASCII digit becomes its number
};

enum class Condition { Always, FontA, FontB };

struct CommandRow {
    int item;
    int kind; // 1 fixed, 2 with a value, 0 ends the table
    const char* prefix;
    const char* body;
    uint32_t block;
    uint32_t offset;
    Value value;
    Condition condition;
};

// Blocks and offsets come from the layouts the settings pages store.
constexpr uint32_t kBlock03 = kFontSettingBlockKey, kBlock05 = kPaperSettingBlockKey,
                   kBlock06 = kPrintAdjustBlockKey, kBlock07 = kLogoSettingBlockKey,
                   kBlock0A = kExtendedSettingBlockKey, kBlock0B = kMemorySwitchBlockKey;
constexpr uint32_t kAdjust = offsetof(PrintAdjustBlock, values);
constexpr uint32_t kExtended = offsetof(ExtendedSettingBlock, values);

// Commands are kept as hexadecimal text, two digits per byte.
constexpr const char* kUserSetup = "1D 28 45";
constexpr const char* kLogoKeys = "1C 28 45";
constexpr const char* kCancelTopLogo = "1C 28 45 06 00 3C 02 30 43 4C 52";
constexpr const char* kCancelBottomLogo = "1C 28 45 06 00 3C 02 31 43 4C 52";

constexpr CommandRow kCommandTable[] = {
    {1, 2, kLogoKeys, "3E 02", kBlock07, offsetof(LogoSettingBlock, topKeyCode), Value::TopLogo,
     Condition::Always},
    {2, 2, kLogoKeys, "3F 02", kBlock07, offsetof(LogoSettingBlock, bottomKeyCode),
     Value::BottomLogo, Condition::Always},
    {3, 2, kLogoKeys, "40 02 30", kBlock07, offsetof(LogoSettingBlock, logoOption30),
     Value::OneIfWordIsOne, Condition::Always},
    {4, 2, kLogoKeys, "40 02 40", kBlock07, offsetof(LogoSettingBlock, logoOption40),
     Value::OneIfWordIsOne, Condition::Always},
    {5, 2, kLogoKeys, "40 02 41", kBlock07, offsetof(LogoSettingBlock, logoOption41),
     Value::OneIfWordIsOne, Condition::Always},
    {0, 1, "1D 28 45 03 00 01 49 4E", "", 0, 0, Value::None, Condition::Always},
    {66, 2, kUserSetup, "03 06", kBlock0B, offsetof(MemorySwitchBlock, switch6LastBit),
     Value::SevenTwosThenFlag, Condition::Always},
    {11, 2, kUserSetup, "05 03", kBlock05, offsetof(PaperSettingBlock, paperSize), Value::Word16,
     Condition::Always},
    {13, 2, kUserSetup, "05 05", kBlock05, offsetof(PaperSettingBlock, density), Value::Word16,
     Condition::Always},
    {14, 2, kUserSetup, "05 06", kBlock05, offsetof(PaperSettingBlock, speed), Value::Word16,
     Condition::Always},
    {15, 2, kUserSetup, "05 08", kBlock03, offsetof(FontSettingBlock, codeTable), Value::Word16,
     Condition::Always},
    {16, 2, kUserSetup, "05 09", kBlock03, offsetof(FontSettingBlock, charSet), Value::Word16,
     Condition::Always},
    {22, 2, kUserSetup, "05 0B", kBlock05, offsetof(PaperSettingBlock, value11), Value::Word16,
     Condition::Always},
    {17, 2, kUserSetup, "05 64", kBlock07, offsetof(LogoSettingBlock, value100), Value::Word16,
     Condition::Always},
    {51, 2, kUserSetup, "05 65", kBlock06, kAdjust + 0, Value::Word16, Condition::Always},
    {52, 2, kUserSetup, "05 66", kBlock06, kAdjust + 4, Value::Word16, Condition::Always},
    {53, 2, kUserSetup, "05 67", kBlock06, kAdjust + 8, Value::Word16, Condition::Always},
    {54, 2, kUserSetup, "05 68", kBlock06, kAdjust + 12, Value::Word16, Condition::Always},
    {55, 2, kUserSetup, "05 69", kBlock06, kAdjust + 16, Value::Word16, Condition::Always},
    {18, 2, kUserSetup, "05 6F", kBlock03, offsetof(FontSettingBlock, fontA), Value::DigitWord16,
     Condition::FontA},
    {19, 2, kUserSetup, "05 70", kBlock03, offsetof(FontSettingBlock, fontB), Value::DigitWord16,
     Condition::FontB},
    {70, 2, kUserSetup, "05 77", kBlock0A, kExtended + 0, Value::Word16, Condition::Always},
    {71, 2, kUserSetup, "05 78", kBlock0A, kExtended + 2, Value::Word16, Condition::Always},
    {72, 2, kUserSetup, "05 79", kBlock0A, kExtended + 4, Value::Word16, Condition::Always},
    {73, 2, kUserSetup, "05 7A", kBlock0A, kExtended + 6, Value::Word16, Condition::Always},
    {74, 2, kUserSetup, "05 7B", kBlock0A, kExtended + 8, Value::Word16, Condition::Always},
    {75, 2, kUserSetup, "05 7C", kBlock0A, kExtended + 10, Value::Word16, Condition::Always},
    {76, 2, kUserSetup, "05 7D", kBlock0A, kExtended + 12, Value::Word16, Condition::Always},
    {77, 2, kUserSetup, "05 7E", kBlock0A, kExtended + 14, Value::Word16, Condition::Always},
    {23, 2, kUserSetup, "05 7F", kBlock05, offsetof(PaperSettingBlock, value127), Value::Word16,
     Condition::Always},
    {0, 1, "1D 28 45 04 00 02 4F 55 54", "", 0, 0, Value::None, Condition::Always},
    {0, 0, "", "", 0, 0, Value::None, Condition::Always},
};

// Blocks are read with their stored sizes; a shorter block leaves the rest zero.
uint32_t BlockReadSize(uint32_t key) {
    return PrinterSettingBlockSize(key);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Appends the bytes of a hex text (spaces between bytes are allowed for reading's sake);
// false on a stray character or an odd digit.
bool AppendHex(const char* text, std::vector<uint8_t>& out) {
    for (const char* p = text; *p;) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        const int high = HexDigit(p[0]);
        const int low = high < 0 ? -1 : HexDigit(p[1]);
        if (low < 0)
            return false;
        out.push_back(static_cast<uint8_t>(high * 16 + low));
        p += 2;
    }
    return true;
}

class BlockReader {
public:
    explicit BlockReader(IPluginDataMgr& store) : m_store(store) {}

    // The block's bytes at its read size, or null when the store has no such block.
    const std::vector<uint8_t>* Get(uint32_t key) {
        auto found = m_blocks.find(key);
        if (found != m_blocks.end())
            return &found->second;
        const uint32_t size = BlockReadSize(key);
        if (size == 0)
            return nullptr;
        std::vector<uint8_t>& data = m_blocks[key];
        data.assign(size, 0);
        if (m_store.ReadBlock(key, data.data(), size) != 0) {
            m_blocks.erase(key);
            return nullptr;
        }
        return &data;
    }

private:
    IPluginDataMgr& m_store;
    std::map<uint32_t, std::vector<uint8_t>> m_blocks;
};

uint32_t Word32(const std::vector<uint8_t>& block, uint32_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, block.data() + offset, sizeof value);
    return value;
}

// The row's value bytes; false when the row is to be replaced by `cancel` (logo rows).
bool ValueBytes(const CommandRow& row, const std::vector<uint8_t>& block,
                std::vector<uint8_t>& value, const char*& cancel) {
    const uint32_t at = row.offset;
    switch (row.value) {
    case Value::TopLogo:
    case Value::BottomLogo: {
        const bool top = row.value == Value::TopLogo;
        const uint8_t kc1 = block[at], kc2 = block[at + 1];
        if (kc1 == 0 || kc2 == 0) {
            cancel = top ? kCancelTopLogo : kCancelBottomLogo;
            return false;
        }
        value = {kc1, kc2, static_cast<uint8_t>('0' + block[top ? at + 2 : at + 3])};
        if (top)
            value.push_back(0);
        return true;
    }
    case Value::OneIfWordIsOne:
        value = {static_cast<uint8_t>(Word32(block, at) == 1 ? '1' : '0')};
        return true;
    case Value::SevenTwosThenFlag:
        value.assign(7, '2');
        value.push_back(Word32(block, at) != 0 ? '1' : '0');
        return true;
    case Value::Word16:
    case Value::DigitWord16: {
        uint8_t low = block[at], high = block[at + 1];
        if (row.value == Value::DigitWord16 && low >= '0' && low <= '9') {
            low = static_cast<uint8_t>(low - '0');
            high = 0;
        }
        value = {low, high};
        return true;
    }
    case Value::None:
        break;
    }
    return true;
}

bool RowWanted(const CommandRow& row, bool fontA, bool fontB) {
    return row.condition == Condition::Always || (row.condition == Condition::FontA && fontA) ||
           (row.condition == Condition::FontB && fontB);
}

// Appends one row; false when its block is missing or its text is not hex.
bool AppendRow(const CommandRow& row, BlockReader& blocks, std::vector<uint8_t>& section) {
    if (row.kind == 1)
        return AppendHex(row.prefix, section);
    const std::vector<uint8_t>* block = blocks.Get(row.block);
    if (!block)
        return false;
    std::vector<uint8_t> value;
    const char* cancel = nullptr;
    if (!ValueBytes(row, *block, value, cancel))
        return AppendHex(cancel, section);
    std::vector<uint8_t> body;
    if (!AppendHex(row.prefix, section) || !AppendHex(row.body, body))
        return false;
    const size_t length = body.size() + value.size();
    section.push_back(static_cast<uint8_t>(length & 0xFF));
    section.push_back(static_cast<uint8_t>(length >> 8));
    section.insert(section.end(), body.begin(), body.end());
    section.insert(section.end(), value.begin(), value.end());
    return true;
}

// Copies text into a fixed field and ends it with CR LF; the field keeps at least one NUL.
void PutLine(char* field, size_t fieldSize, const std::string& text) {
    const size_t n = std::min(text.size(), fieldSize - 3);
    std::memcpy(field, text.data(), n);
    field[n] = '\r';
    field[n + 1] = '\n';
}

} // namespace

int32_t SettingsFileErrorCode(uint32_t platformError, int32_t stepCode) {
    switch (platformError) {
    case 2:
        return kSettingsFileNoPath;
    case 12:
        return kSettingsFileNoMemory;
    case 28:
        return kSettingsFilePlatformError28;
    default:
        return stepCode;
    }
}

uint32_t Crc32Bzip2(const uint8_t* data, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i)
        crc = (crc << 8) ^ table[((crc >> 24) ^ data[i]) & 0xFF];
    return crc ^ 0xFFFFFFFFu;
}

namespace {

uint32_t Little(const std::vector<uint8_t>& bytes, size_t at, size_t count) {
    uint32_t value = 0;
    for (size_t i = count; i-- > 0;)
        value = (value << 8) | bytes[at + i];
    return value;
}

// A graphics command (1D 28 4C pL pH, or 1D 38 4C p1..p4) whose length is what follows.
bool IsWholeGraphicsCommand(const std::vector<uint8_t>& logo) {
    const size_t lengthBytes = logo[1] == 0x28 ? 2 : 4;
    const size_t start = 3 + lengthBytes;
    return logo.size() >= start && Little(logo, 3, lengthBytes) == logo.size() - start;
}

// 1C 71 n, then n images of xL xH yL yH and x * y * 8 bytes each, ending with the file.
bool IsWholeBitImageCommand(const std::vector<uint8_t>& logo) {
    if (logo.size() < 3 || logo[2] == 0)
        return false;
    size_t at = 3;
    for (int image = 0; image < logo[2]; ++image) {
        if (logo.size() - at < 4)
            return false;
        const size_t data = size_t{8} * Little(logo, at, 2) * Little(logo, at + 2, 2);
        at += 4;
        if (logo.size() - at < data)
            return false;
        at += data;
    }
    return at == logo.size();
}

} // namespace

int32_t ClassifyLogo(const std::vector<uint8_t>& logo) {
    // The section after the logo is read by the printer as commands: a length that claims
    // more or less than the file holds would turn settings into graphic data or the reverse.
    if (logo.size() < 3)
        return kSettingsFileBadLogo;
    if (logo[0] == 0x1D && (logo[1] == 0x28 || logo[1] == 0x38) && logo[2] == 0x4C)
        return IsWholeGraphicsCommand(logo) ? int32_t{kLogoRasterGraphics}
                                            : int32_t{kSettingsFileBadLogo};
    if (logo[0] == 0x1C && logo[1] == 0x71)
        return IsWholeBitImageCommand(logo) ? int32_t{kLogoBitImage}
                                            : int32_t{kSettingsFileBadLogo};
    return kSettingsFileBadLogo;
}

int32_t BuildSettingsSection(IPluginDataMgr& store, bool enableFontA, bool enableFontB,
                             std::vector<uint8_t>& section, bool logoSettings) {
    section.clear();
    BlockReader blocks(store);
    for (const CommandRow* row = kCommandTable; row->kind != 0; ++row) {
        if (!RowWanted(*row, enableFontA, enableFontB) ||
            (!logoSettings && row->kind == 2 && row->block == kBlock07))
            continue;
        if (!AppendRow(*row, blocks, section) || section.size() > kMaxSettingsSection) {
            section.clear();
            return kSettingsFileCannotRead;
        }
    }
    return kSettingsFileOk;
}

int32_t BuildSettingsCommandFile(IPluginDataMgr& store, const SettingsFileSource& source,
                                 std::vector<uint8_t>& file) {
    file.clear();
    SettingsFileHeader header{};
    header.headerSize = sizeof(SettingsFileHeader);
    header.version = 1;
    if (source.logo) {
        const int32_t kind = ClassifyLogo(*source.logo);
        if (kind < 0)
            return kind;
        header.logoKind = static_cast<uint8_t>(kind);
    }
    std::vector<uint8_t> section;
    try {
        const size_t logoSize = source.logo ? source.logo->size() : 0;
        file.reserve(sizeof header + sizeof kDeleteAllGraphics + logoSize + kMaxSettingsSection);
        section.reserve(kMaxSettingsSection);
    } catch (const std::bad_alloc&) {
        return kSettingsFileNoMemory;
    }
    file.resize(sizeof header);
    if (source.logo) {
        file.insert(file.end(), std::begin(kDeleteAllGraphics), std::end(kDeleteAllGraphics));
        file.insert(file.end(), source.logo->begin(), source.logo->end());
        header.logoLength = static_cast<uint32_t>(sizeof kDeleteAllGraphics + source.logo->size());
    }
    if (BuildSettingsSection(store, source.enableFontA, source.enableFontB, section,
                             source.logoSettings) != 0) {
        file.clear();
        return kSettingsFileCannotRead;
    }
    file.insert(file.end(), section.begin(), section.end());
    header.settingsPresent = 1;
    header.settingsLength = static_cast<uint32_t>(section.size());

    PutLine(header.modelName, sizeof header.modelName, source.modelName);
    PutLine(header.comment, sizeof header.comment, "");
    char date[24];
    const SettingsFileTime& t = source.writtenAt;
    std::snprintf(date, sizeof date, "%02d/%02d/%04d %02d:%02d", t.month, t.day, t.year, t.hour,
                  t.minute);
    PutLine(header.writtenAt, sizeof header.writtenAt, date);
    header.bodyCrc = Crc32Bzip2(file.data() + sizeof header, file.size() - sizeof header);
    std::memcpy(file.data(), &header, sizeof header);
    return kSettingsFileOk;
}

} // namespace qk::app
