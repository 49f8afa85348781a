#include "plugins/settingsfile/SettingsFileApply.h"

#include <chrono>
#include <thread>
#include "plugins/logo/LogoExchange.h"
#include "framework/comm/UserSettingMode.h"

namespace qk::settingsfile {
namespace {

// Tries to reach a printer lost in user setting mode again, and the pause between them.
constexpr int kLeaveTries = 8;
constexpr auto kLeavePause = std::chrono::milliseconds(250);

bool IsLogoSetting(const FileSetting& setting) {
    return setting.kind != SettingKind::CustomValue && setting.kind != SettingKind::MemorySwitch;
}

// A placement as the file's logo key command carries it: key code, '0' + alignment (and the
// top logo's closing 00).
Bytes PlacementBytes(const logo::LogoPlacement& placement, bool top) {
    if (placement.code.first == 0 && placement.code.second == 0)
        return {};
    Bytes bytes{placement.code.first, placement.code.second,
                static_cast<uint8_t>('0' + placement.alignment)};
    if (top)
        bytes.push_back(0);
    return bytes;
}

Bytes LogoSettingBytes(const FileSetting& setting, const logo::LogoSettings& held) {
    switch (setting.kind) {
    case SettingKind::TopLogo:
        return PlacementBytes(held.Placement(logo::LogoPlace::Top), true);
    case SettingKind::BottomLogo:
        return PlacementBytes(held.Placement(logo::LogoPlace::Bottom), false);
    case SettingKind::CancelLogo:
        return PlacementBytes(
            held.Placement(setting.number == 0 ? logo::LogoPlace::Top : logo::LogoPlace::Bottom),
            setting.number == 0);
    case SettingKind::LogoOption:
        return {static_cast<uint8_t>(held.Option(setting.number) ? '1' : '0')};
    default:
        return {};
    }
}

uint32_t LogoItemOf(const FileSetting& setting) {
    switch (setting.kind) {
    case SettingKind::TopLogo:
        return logo::kItemTopLogo;
    case SettingKind::BottomLogo:
        return logo::kItemBottomLogo;
    case SettingKind::CancelLogo:
        return setting.number == 0 ? logo::kItemTopLogo : logo::kItemBottomLogo;
    default:
        return logo::kItemOptions;
    }
}

} // namespace

bool SettingHolds(const FileSetting& setting, const Bytes& held) {
    if (setting.kind == SettingKind::CancelLogo)
        return held.empty();
    if (setting.kind != SettingKind::MemorySwitch)
        return held == setting.value;
    if (held.size() != setting.value.size())
        return false;
    for (size_t i = 0; i < held.size(); ++i)
        if (setting.value[i] != '2' && setting.value[i] != held[i])
            return false;
    return true;
}

bool SettingsFileApply::ReadLogoSettings(const CheckedFile& file, ApplyReport& report, bool after) {
    bool any = false;
    for (const FileSetting& setting : file.settings)
        any = any || IsLogoSetting(setting);
    if (!any)
        return true;
    logo::PrinterLogos held;
    const logo::LogoReport read = logo::LogoExchange(m_link, m_waitMs).Read(held);
    for (size_t i = 0; i < file.settings.size(); ++i) {
        const FileSetting& setting = file.settings[i];
        if (!IsLogoSetting(setting) || (read.missed & LogoItemOf(setting)))
            continue;
        (after ? report.settings[i].after : report.settings[i].now) =
            LogoSettingBytes(setting, held.settings);
    }
    return read.result != logo::kLogoNoAnswer;
}

std::optional<Bytes> SettingsFileApply::AskUserSetting(const FileSetting& setting) {
    m_link.DiscardAnswers();
    const bool value = setting.kind == SettingKind::CustomValue;
    if (!m_link.Send(value ? comm::AskCustomValue(setting.number)
                           : comm::AskMemorySwitch(setting.number)))
        return std::nullopt;
    comm::SetupAnswer answer;
    if (!comm::ReceiveSetupAnswer(m_link, answer, m_waitMs))
        return std::nullopt;
    if (value) {
        const std::optional<uint16_t> held = answer.CustomValue(setting.number);
        if (!held)
            return std::nullopt;
        return Bytes{static_cast<uint8_t>(*held & 0xFF), static_cast<uint8_t>(*held >> 8)};
    }
    const std::optional<std::string> bits = answer.MemorySwitch();
    if (!bits)
        return std::nullopt;
    return Bytes(bits->begin(), bits->end());
}

bool SettingsFileApply::ReadUserSettings(const CheckedFile& file, ApplyReport& report, bool after) {
    for (size_t i = 0; i < file.settings.size(); ++i) {
        const FileSetting& setting = file.settings[i];
        if (IsLogoSetting(setting))
            continue;
        std::optional<Bytes> held = AskUserSetting(setting);
        if (!held)
            return false; // a printer that stops answering ends the read
        (after ? report.settings[i].after : report.settings[i].now) = std::move(*held);
    }
    return true;
}

void SettingsFileApply::LeaveAfterLoss() {
    for (int tries = 0, confirmed = 0; tries < kLeaveTries; ++tries) {
        m_link.DiscardAnswers();
        uint8_t status = 0;
        // Real-time status is answered in the mode too; its answer comes after "OUT" was taken.
        if (m_link.Send(comm::LeaveUserSettingMode()) && m_link.Send(comm::AskRealTimeStatus()) &&
            m_link.Receive(status, m_waitMs)) {
            // The first answer may come on a connection made after an "OUT" went out on the
            // lost one: once more on the connection that is known to work.
            if (++confirmed == 2)
                return;
            continue;
        }
        std::this_thread::sleep_for(kLeavePause);
    }
}

int32_t SettingsFileApply::ReadInto(const CheckedFile& file, ApplyReport& report, bool after) {
    if (!ReadLogoSettings(file, report, after))
        return kApplyNoAnswer;
    bool user = false;
    for (const FileSetting& setting : file.settings)
        user = user || !IsLogoSetting(setting);
    if (!user)
        return 1;
    bool read = false;
    {
        comm::CUserSettingMode mode(m_link, m_waitMs);
        report.notEntered = !mode.Entered();
        read = mode.Entered() && ReadUserSettings(file, report, after);
    }
    if (read)
        return 1;
    LeaveAfterLoss();
    return kApplyNoAnswer;
}

ApplyReport SettingsFileApply::ReadHeld(const CheckedFile& file) {
    ApplyReport report;
    report.settings.resize(file.settings.size());
    report.result = ReadInto(file, report, false);
    return report;
}

void SettingsFileApply::Apply(const CheckedFile& file, ApplyReport& report) {
    report.settings.resize(file.settings.size());
    for (SettingState& state : report.settings) {
        state.after.reset();
        state.sent = state.holds = false;
    }
    report.logoSent = false;
    report.notEntered = false;
    // A command cut off by a lost connection is dropped by the printer; nothing after it goes.
    bool going = file.logoSection.empty() || (report.logoSent = m_link.Send(file.logoSection));
    for (size_t i = 0; going && i < file.settings.size(); ++i)
        if (IsLogoSetting(file.settings[i]))
            going = report.settings[i].sent = m_link.Send(file.settings[i].command);
    bool user = false;
    for (const FileSetting& setting : file.settings)
        user = user || !IsLogoSetting(setting);
    if (going && user) {
        {
            comm::CUserSettingMode mode(m_link, m_waitMs);
            if (!mode.Entered()) {
                report.notEntered = true;
                going = false;
            }
            for (size_t i = 0; going && i < file.settings.size(); ++i)
                if (!IsLogoSetting(file.settings[i]))
                    going = report.settings[i].sent = m_link.Send(file.settings[i].command);
            // Read back in the same visit to the mode; "OUT" goes when the scope ends.
            if (going)
                going = ReadUserSettings(file, report, true);
        }
        if (!going)
            LeaveAfterLoss();
    }
    if (going)
        going = ReadLogoSettings(file, report, true);
    bool all = true;
    for (size_t i = 0; i < file.settings.size(); ++i) {
        SettingState& state = report.settings[i];
        state.holds = state.sent && state.after && SettingHolds(file.settings[i], *state.after);
        all = all && state.holds;
    }
    report.result = all ? 1 : going ? kApplyDiffers : kApplyNoAnswer;
}

} // namespace qk::settingsfile
