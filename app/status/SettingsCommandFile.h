// The settings command file of the file mode: a 256-byte header, then the printer commands
// that, sent to a printer later, delete its stored graphics, store the new logo and apply
// every setting edited in the pages. The bytes are built here from the data blocks and the
// logo work file; the Win32 writer (SettingsCommandFileWriter.h) reads and writes the files.
#pragma once
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class IPluginDataMgr;

namespace qk::app {

static_assert(std::endian::native == std::endian::little, "the header is stored as laid out");

// Results of writing the file (0 on success).
enum SettingsFileResult : int32_t {
    kSettingsFileOk = 0,
    kSettingsFileNoPath = -1, // also the platform's "file not found"
    kSettingsFileCannotCreate = -2,
    kSettingsFileCannotOpenLogo = -3,
    kSettingsFileCannotRead = -4, // logo size/contents, or the settings section
    kSettingsFileWriteFailed = -5,
    kSettingsFileBadLogo = -9,   // shorter than 3 bytes or no graphics command first
    kSettingsFileNoMemory = -11, // also the platform's "invalid access"
    kSettingsFilePlatformError28 = -12,
};

// The platform's error number of a failed step turned into the result: 2, 12 and 28 have
// codes of their own, every other number gives the step's code.
int32_t SettingsFileErrorCode(uint32_t platformError, int32_t stepCode);

#pragma pack(push, 1)
struct SettingsFileHeader {
    uint16_t headerSize; // 256
    uint8_t version;     // 1
    uint8_t reserved3;
    char modelName[30]; // multibyte text, CR LF, NUL-padded
    uint16_t reserved34;
    char comment[30]; // CR LF only
    uint16_t reserved66;
    char writtenAt[20]; // "MM/DD/YYYY hh:mm" CR LF
    uint8_t reserved88[32];
    uint8_t logoKind;        // SettingsLogoKind
    uint8_t settingsPresent; // 1 when the settings section was built
    uint16_t reserved122;
    uint32_t logoLength;     // bytes of the logo section, 0 without logo
    uint32_t settingsLength; // bytes of the settings section
    uint32_t reserved132;
    uint32_t bodyCrc; // CRC-32/BZIP2 of everything after the header
    uint8_t reserved140[116];
};
#pragma pack(pop)
static_assert(sizeof(SettingsFileHeader) == 256);
static_assert(offsetof(SettingsFileHeader, version) == 2);
static_assert(offsetof(SettingsFileHeader, modelName) == 4);
static_assert(offsetof(SettingsFileHeader, reserved34) == 34);
static_assert(offsetof(SettingsFileHeader, comment) == 36);
static_assert(offsetof(SettingsFileHeader, reserved66) == 66);
static_assert(offsetof(SettingsFileHeader, writtenAt) == 68);
static_assert(offsetof(SettingsFileHeader, reserved88) == 88);
static_assert(offsetof(SettingsFileHeader, logoKind) == 120);
static_assert(offsetof(SettingsFileHeader, settingsPresent) == 121);
static_assert(offsetof(SettingsFileHeader, logoLength) == 124);
static_assert(offsetof(SettingsFileHeader, settingsLength) == 128);
static_assert(offsetof(SettingsFileHeader, reserved132) == 132);
static_assert(offsetof(SettingsFileHeader, bodyCrc) == 136);
static_assert(offsetof(SettingsFileHeader, reserved140) == 140);

enum SettingsLogoKind : uint8_t {
    kLogoNone = 0,
    kLogoRasterGraphics = 1, // starts with 1D 28 4C or 1D 38 4C
    kLogoBitImage = 2,       // starts with 1C 71
};

// The settings section never grows beyond what its length bytes and the body allow.
inline constexpr size_t kMaxSettingsSection = 65535;
// Deletes every stored graphic before the new logo is stored.
inline constexpr uint8_t kDeleteAllGraphics[10] = {0x1D, 0x28, 0x4C, 0x05, 0x00,
                                                   0x30, 0x41, 0x43, 0x4C, 0x52};

// Local time of writing, for the header's date field.
struct SettingsFileTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// What the file is built from besides the data blocks.
struct SettingsFileSource {
    std::string modelName;              // already in the multibyte code page
    const std::vector<uint8_t>* logo{}; // the logo work file's bytes, or null without logo
    SettingsFileTime writtenAt;
    bool enableFontA = false;
    bool enableFontB = false;
    // False: the logo settings' block was never read (a menu without the logo page), so its
    // commands (the logo keys and customized value 100) are left out rather than made up.
    bool logoSettings = true;
};

// CRC-32/BZIP2: polynomial 0x04C11DB7, not reflected, initial value and final XOR all ones.
uint32_t Crc32Bzip2(const uint8_t* data, size_t size);

// The logo's kind from its first bytes, or kSettingsFileBadLogo; the logo must be one whole
// command: the length it declares is what the file holds.
int32_t ClassifyLogo(const std::vector<uint8_t>& logo);

// The settings commands from the data blocks, in table order (without the logo settings' rows
// when `logoSettings` is false). kSettingsFileCannotRead when a block the table reads does not
// exist.
int32_t BuildSettingsSection(IPluginDataMgr& store, bool enableFontA, bool enableFontB,
                             std::vector<uint8_t>& section, bool logoSettings = true);

// The whole file, header and body. On failure `file` is left empty.
int32_t BuildSettingsCommandFile(IPluginDataMgr& store, const SettingsFileSource& source,
                                 std::vector<uint8_t>& file);

} // namespace qk::app
