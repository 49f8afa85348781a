#include "plugins/settingsfile/SettingsFileCheck.h"

#include <cstring>

namespace qk::settingsfile {
namespace {

constexpr uint8_t kCommandPrefixLength = 5; // 1x 28 45 pL pH

bool HeaderIsOurs(const app::SettingsFileHeader& header) {
    return header.headerSize == sizeof(app::SettingsFileHeader) && header.version == 1 &&
           header.logoKind <= app::kLogoBitImage && header.settingsPresent <= 1;
}

// The model field holds the name, CR LF and NULs.
bool SameModel(const app::SettingsFileHeader& header, const std::string& modelBytes) {
    const std::string expected = modelBytes + "\r\n";
    if (expected.size() >= sizeof header.modelName)
        return false;
    if (std::memcmp(header.modelName, expected.data(), expected.size()) != 0)
        return false;
    for (size_t i = expected.size(); i < sizeof header.modelName; ++i)
        if (header.modelName[i] != 0)
            return false;
    return true;
}

// A user setup command (1D 28 45): true when it is one the file mode writes.
bool ReadUserSetup(const Bytes& command, CheckedFile& file) {
    const uint8_t* body = command.data() + kCommandPrefixLength;
    const size_t n = command.size() - kCommandPrefixLength;
    if (n == 3 && body[0] == 1 && body[1] == 'I' && body[2] == 'N') {
        file.entersUserMode = true;
        return true;
    }
    if (n == 4 && body[0] == 2 && body[1] == 'O' && body[2] == 'U' && body[3] == 'T')
        return file.entersUserMode;
    FileSetting setting;
    setting.command = command;
    if (n == 4 && body[0] == 5) {
        setting.kind = SettingKind::CustomValue;
    } else if (n == 10 && body[0] == 3) {
        setting.kind = SettingKind::MemorySwitch;
        for (size_t i = 2; i < n; ++i)
            if (body[i] < '0' || body[i] > '2')
                return false;
    } else {
        return false;
    }
    // User settings are taken only in user setting mode.
    if (!file.entersUserMode)
        return false;
    setting.number = body[1];
    setting.value.assign(body + 2, body + n);
    file.settings.push_back(std::move(setting));
    return true;
}

// A logo key command (1C 28 45): top, bottom, option or cancel.
bool ReadLogoKeys(const Bytes& command, CheckedFile& file) {
    const uint8_t* body = command.data() + kCommandPrefixLength;
    const size_t n = command.size() - kCommandPrefixLength;
    if (n < 3 || body[1] != 2)
        return false;
    FileSetting setting;
    setting.command = command;
    if (body[0] == 0x3E && n == 6) {
        setting.kind = SettingKind::TopLogo;
        setting.value.assign(body + 2, body + n);
    } else if (body[0] == 0x3F && n == 5) {
        setting.kind = SettingKind::BottomLogo;
        setting.value.assign(body + 2, body + n);
    } else if (body[0] == 0x40 && n == 4 && (body[3] == '0' || body[3] == '1')) {
        setting.kind = SettingKind::LogoOption;
        setting.number = body[2];
        setting.value.assign(body + 3, body + n);
    } else if (body[0] == 0x3C && n == 6 && (body[2] == '0' || body[2] == '1') &&
               std::memcmp(body + 3, "CLR", 3) == 0) {
        setting.kind = SettingKind::CancelLogo;
        setting.number = static_cast<uint8_t>(body[2] - '0');
    } else {
        return false;
    }
    file.settings.push_back(std::move(setting));
    return true;
}

} // namespace

bool ParseSettingsSection(const uint8_t* data, size_t size, CheckedFile& file) {
    size_t at = 0;
    bool left = false; // "OUT" came: nothing may follow
    while (at < size) {
        if (left || size - at < kCommandPrefixLength || data[at + 1] != 0x28 ||
            data[at + 2] != 0x45 || (data[at] != 0x1C && data[at] != 0x1D))
            return false;
        const size_t n = data[at + 3] | static_cast<size_t>(data[at + 4]) << 8;
        if (n == 0 || n > size - at - kCommandPrefixLength)
            return false;
        Bytes command(data + at, data + at + kCommandPrefixLength + n);
        const bool inMode = file.entersUserMode;
        const bool ok =
            data[at] == 0x1D ? ReadUserSetup(command, file) : ReadLogoKeys(command, file);
        if (!ok)
            return false;
        left = inMode && data[at] == 0x1D && n == 4 && command[5] == 2;
        at += command.size();
    }
    // A section that enters the mode leaves it again.
    return !file.entersUserMode || left;
}

int32_t CheckSettingsFile(const uint8_t* data, size_t size, const std::string& modelBytes,
                          CheckedFile& file) {
    file = CheckedFile{};
    if (!data || size < sizeof(app::SettingsFileHeader))
        return size >= 2 && data && data[0] == 0x00 && data[1] == 0x01 ? kFileTruncated
                                                                       : kFileNotSettingsFile;
    app::SettingsFileHeader header;
    std::memcpy(&header, data, sizeof header);
    if (!HeaderIsOurs(header))
        return kFileNotSettingsFile;
    const uint64_t body = static_cast<uint64_t>(header.logoLength) + header.settingsLength;
    if (body != size - sizeof header)
        return kFileTruncated;
    const uint8_t* bodyData = data + sizeof header;
    if (app::Crc32Bzip2(bodyData, static_cast<size_t>(body)) != header.bodyCrc)
        return kFileDamaged;
    if (!SameModel(header, modelBytes))
        return kFileOtherModel;
    if ((header.logoKind == app::kLogoNone) != (header.logoLength == 0) ||
        header.settingsPresent != (header.settingsLength != 0 ? 1 : 0))
        return kFileNotSettingsFile;
    if (header.logoLength) {
        constexpr size_t kDelete = sizeof app::kDeleteAllGraphics;
        if (header.logoLength <= kDelete ||
            std::memcmp(bodyData, app::kDeleteAllGraphics, kDelete) != 0)
            return kFileBadCommands;
        const std::vector<uint8_t> logo(bodyData + kDelete, bodyData + header.logoLength);
        if (app::ClassifyLogo(logo) != header.logoKind)
            return kFileBadCommands;
    }
    CheckedFile parsed;
    parsed.header = header;
    parsed.logoSection.assign(bodyData, bodyData + header.logoLength);
    if (!ParseSettingsSection(bodyData + header.logoLength, header.settingsLength, parsed))
        return kFileBadCommands;
    file = std::move(parsed);
    return kFileOk;
}

} // namespace qk::settingsfile
