#include "plugins/settingsfile/UnattendedReport.h"

#include "plugins/settingsfile/SettingText.h"
#include "plugins/settingsfile/SettingsFileIo.h"

namespace qk::settingsfile {
namespace {

std::u16string Meaning(int32_t code) {
    switch (code) {
    case kUnattendedApplied:
        return u"applied and verified";
    case kUnattendedAlreadyMatching:
        return u"already matching, nothing sent";
    case kUnattendedDiffers:
        return u"differs, nothing changed";
    case kUnattendedFileRefused:
        return u"file refused, nothing sent";
    case kUnattendedNoPrinter:
        return u"printer not found or not the QK-R40, nothing sent";
    case kUnattendedLost:
        return u"printer lost part-way";
    case kUnattendedNotHeld:
        return u"sent, but not every setting reads back as the file sets it";
    default:
        return u"not run";
    }
}

std::u16string SettingName(const FileSetting& setting) {
    switch (setting.kind) {
    case SettingKind::CustomValue:
        return u"customized value " + Decimal(setting.number);
    case SettingKind::MemorySwitch:
        return u"memory switch " + Decimal(setting.number);
    case SettingKind::TopLogo:
        return u"top logo";
    case SettingKind::BottomLogo:
        return u"bottom logo";
    case SettingKind::LogoOption:
        return u"logo option " + HexText({setting.number});
    case SettingKind::CancelLogo:
        return setting.number == 0 ? u"no top logo" : u"no bottom logo";
    }
    return {};
}

std::u16string FileValue(const FileSetting& setting) {
    return setting.kind == SettingKind::CancelLogo ? u"none" : SettingValueText(setting);
}

std::u16string HeldText(const FileSetting& setting, const std::optional<Bytes>& held) {
    if (!held)
        return u"not read";
    return held->empty() ? u"none" : HeldValueText(setting, *held);
}

std::u16string Outcome(const UnattendedResult& result, const FileSetting& setting,
                       const SettingState& state) {
    if (!result.applied) {
        if (!state.now)
            return u"not read";
        return SettingHolds(setting, *state.now) ? u"matches" : u"differs";
    }
    if (!state.sent)
        return u"not sent";
    if (!state.after)
        return u"not read";
    return state.holds ? u"holds" : u"differs";
}

std::u16string SettingLine(const UnattendedResult& result, size_t index) {
    const FileSetting& setting = result.file->settings[index];
    std::u16string line = SettingName(setting) + u'\t' + FileValue(setting);
    if (!result.report || index >= result.report->settings.size())
        return line + u"\t\t\tnot read";
    const SettingState& state = result.report->settings[index];
    line += u'\t' + HeldText(setting, state.now) + u'\t';
    if (result.applied)
        line += HeldText(setting, state.after);
    return line + u'\t' + Outcome(result, setting, state);
}

std::u16string LogoLine(const UnattendedResult& result) {
    std::u16string line = u"logo graphic\t" +
                          Decimal(static_cast<uint32_t>(result.file->logoSection.size())) +
                          u" bytes\t\t\t";
    if (!result.applied)
        return line + u"not compared";
    return line + (result.report && result.report->logoSent ? u"sent" : u"not sent");
}

void AppendUtf8(std::string& out, const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD; // an unpaired half
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    out += "\r\n";
}

bool AllMatch(const CheckedFile& file, const ApplyReport& held) {
    for (size_t i = 0; i < file.settings.size(); ++i)
        if (i >= held.settings.size() || !held.settings[i].now ||
            !SettingHolds(file.settings[i], *held.settings[i].now))
            return false;
    return true;
}

} // namespace

int32_t HeldExitCode(const CheckedFile& file, const ApplyReport& held, bool checkOnly) {
    if (held.result != 1)
        return kUnattendedLost;
    if (!AllMatch(file, held))
        return kUnattendedDiffers;
    return checkOnly || file.logoSection.empty() ? kUnattendedAlreadyMatching : kUnattendedDiffers;
}

int32_t AppliedExitCode(const ApplyReport& report) {
    if (report.result == 1)
        return kUnattendedApplied;
    return report.result == kApplyDiffers ? kUnattendedNotHeld : kUnattendedLost;
}

std::u16string RefusalReason(int32_t fileResult) {
    switch (fileResult) {
    case kFileTruncated:
        return u"not whole (shorter or longer than its header says)";
    case kFileDamaged:
        return u"damaged (its check sum does not match)";
    case kFileOtherModel:
        return u"written for another printer model";
    case kFileBadCommands:
        return u"holds commands this utility does not write";
    case kFileUnreadable:
        return u"could not be read";
    default:
        return u"not a settings command file of this utility";
    }
}

std::string ResultFileText(const UnattendedResult& result) {
    std::string text;
    std::u16string first =
        Decimal(static_cast<uint32_t>(result.code)) + u'\t' + Meaning(result.code);
    if (!result.detail.empty())
        first += u": " + result.detail;
    AppendUtf8(text, first);
    AppendUtf8(text, u"file\t" + result.filePath);
    AppendUtf8(text, u"port\t" + result.port);
    AppendUtf8(text, result.checkOnly ? u"mode\tcheck only" : u"mode\tapply");
    if (!result.file)
        return text;
    AppendUtf8(text, u"setting\tfile\tbefore\tafter\toutcome");
    if (!result.file->logoSection.empty())
        AppendUtf8(text, LogoLine(result));
    for (size_t i = 0; i < result.file->settings.size(); ++i)
        AppendUtf8(text, SettingLine(result, i));
    return text;
}

} // namespace qk::settingsfile
