// Reads a settings command file before anything of it goes to a printer: the header must be
// one this utility writes, the file as long as its header says, its CRC what its body gives
// and its model the printer's; the settings section must be the commands the file mode
// writes, each whole. Only a file that passes is ever sent. Portable: bytes in, a list out.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "app/status/SettingsCommandFile.h"

namespace qk::settingsfile {

using Bytes = std::vector<uint8_t>;

// Why a file is refused (0: it may be sent).
enum FileCheckResult : int32_t {
    kFileOk = 0,
    kFileNotSettingsFile = -1, // no header of ours
    kFileTruncated = -2,       // shorter (or longer) than its header says
    kFileDamaged = -3,         // the body's CRC is not the header's
    kFileOtherModel = -4,      // written for another printer model
    kFileBadCommands = -5,     // a command that the file mode does not write, or a cut one
};

// One setting the file carries.
enum class SettingKind : uint8_t {
    CustomValue,  // 1D 28 45 fn 5: customized value `number`, 16-bit value
    MemorySwitch, // 1D 28 45 fn 3: memory switch `number`, eight '0'/'1'/'2'
    TopLogo,      // 1C 28 45 fn 3E: key code and position of the top logo
    BottomLogo,   // 1C 28 45 fn 3F
    LogoOption,   // 1C 28 45 fn 40: logo option `number` ('0' or '1')
    CancelLogo,   // 1C 28 45 fn 3C: no top (`number` 0) or bottom (1) logo
};

struct FileSetting {
    SettingKind kind{};
    uint8_t number = 0;
    Bytes value;   // the value bytes as the command carries them
    Bytes command; // the whole command, as it is sent
};

struct CheckedFile {
    app::SettingsFileHeader header{};
    Bytes logoSection; // the delete command and the logo, or empty
    std::vector<FileSetting> settings;
    bool entersUserMode = false; // the section has "IN" ... "OUT" around its user settings
};

// modelBytes: the printer's model name as the header holds it (multibyte, no CR LF).
int32_t CheckSettingsFile(const uint8_t* data, size_t size, const std::string& modelBytes,
                          CheckedFile& file);

// The settings section's commands, each whole; false for anything else.
bool ParseSettingsSection(const uint8_t* data, size_t size, CheckedFile& file);

} // namespace qk::settingsfile
