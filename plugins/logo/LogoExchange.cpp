#include "plugins/logo/LogoExchange.h"

#include <algorithm>
#include "framework/comm/UserSettingMode.h"
#include "framework/comm/UserSetupCommands.h"

namespace qk::logo {
namespace {

constexpr LogoPlace kPlaces[] = {LogoPlace::Top, LogoPlace::Bottom};

uint32_t PlaceItem(LogoPlace place) {
    return place == LogoPlace::Top ? kItemTopLogo : kItemBottomLogo;
}

bool Holds(const std::vector<KeyCode>& codes, const KeyCode& code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

comm::Bytes PlacementCommand(LogoPlace place, const LogoPlacement& placement) {
    if (placement.code == KeyCode{})
        return CancelLogo(place);
    return SetLogo(place, placement.code, placement.alignment);
}

} // namespace

void LogoExchange::Missed(LogoReport& report, uint32_t items) {
    report.missed |= items;
    if (report.result == 1)
        report.result = kLogoIncomplete;
}

bool LogoExchange::Ask(const comm::Bytes& question, GraphicsAnswer& answer) {
    m_link.DiscardAnswers();
    if (!m_link.Send(question))
        return false;
    uint8_t byte = 0;
    while (!answer.Complete()) {
        if (!m_link.Receive(byte, m_waitMs))
            return false;
        answer.Add(byte);
    }
    return true;
}

std::optional<std::vector<KeyCode>> LogoExchange::AskKeyCodes() {
    GraphicsAnswer answer;
    if (!Ask(logo::AskKeyCodes(), answer))
        return std::nullopt;
    return answer.KeyCodes();
}

bool LogoExchange::StillThere() {
    return comm::StillAnswers(m_link, m_waitMs);
}

// The top and bottom logo and the options; false when the printer stopped answering.
bool LogoExchange::ReadLogos(LogoSettings& settings, LogoReport& report) {
    for (LogoPlace place : kPlaces) {
        GraphicsAnswer answer;
        std::optional<LogoPlacement> placement;
        if (Ask(AskLogo(place), answer))
            placement = answer.Logo(place);
        if (placement) {
            settings.SetPlacement(place, *placement);
            continue;
        }
        Missed(report, PlaceItem(place));
        if (!StillThere())
            return false;
    }
    for (uint8_t option : kLogoOptions) {
        GraphicsAnswer answer;
        std::optional<bool> on;
        if (Ask(AskLogoOption(option), answer))
            on = answer.LogoOption(option);
        if (on) {
            settings.SetOption(option, *on);
            continue;
        }
        Missed(report, kItemOptions);
        if (!StillThere())
            return false;
    }
    return true;
}

std::optional<uint16_t> LogoExchange::AskValue100() {
    comm::CUserSettingMode mode(m_link, m_waitMs);
    if (!mode.Entered())
        return std::nullopt;
    m_link.DiscardAnswers();
    comm::SetupAnswer asked;
    if (!m_link.Send(comm::AskCustomValue(kLogoCustomValue)) ||
        !comm::ReceiveSetupAnswer(m_link, asked, m_waitMs))
        return std::nullopt;
    return asked.CustomValue(kLogoCustomValue);
}

bool LogoExchange::WriteValue100(uint16_t value) {
    comm::CUserSettingMode mode(m_link, m_waitMs);
    return mode.Entered() && m_link.Send(comm::SetCustomValue(kLogoCustomValue, value));
}

LogoReport LogoExchange::Read(PrinterLogos& held) {
    LogoReport report;
    if (auto codes = AskKeyCodes()) {
        held.stored = *codes;
    } else {
        Missed(report, kItemKeyCodes);
        if (!StillThere()) {
            report.result = kLogoNoAnswer;
            report.missed |= kItemTopLogo | kItemBottomLogo | kItemOptions | kItemValue100;
            return report;
        }
    }
    if (!ReadLogos(held.settings, report)) {
        report.result = kLogoNoAnswer;
        report.missed |= kItemOptions | kItemValue100;
        return report;
    }
    if (auto value = AskValue100())
        held.settings.SetValue100(*value);
    else
        Missed(report, kItemValue100);
    return report;
}

LogoReport LogoExchange::Write(const Raster* graphic, const KeyCode& code,
                               const LogoSettings& wanted, PrinterLogos& held) {
    LogoReport report;
    if (graphic && !m_link.Send(DefineGraphics(code, *graphic))) {
        // The connection went in the middle of the graphic: the printer drops a command it
        // did not get whole, and nothing after it is sent.
        report.result = kLogoNoAnswer;
        report.missed = kItemGraphic;
        return report;
    }
    for (LogoPlace place : kPlaces)
        if (!(wanted.Placement(place) == held.settings.Placement(place)))
            m_link.Send(PlacementCommand(place, wanted.Placement(place)));
    for (uint8_t option : kLogoOptions)
        if (wanted.Option(option) != held.settings.Option(option))
            m_link.Send(SetLogoOption(option, wanted.Option(option)));
    const bool valueChanged = wanted.Value100() != held.settings.Value100();
    if (valueChanged && !WriteValue100(wanted.Value100()))
        Missed(report, kItemValue100);

    // What the printer holds now decides.
    if (auto codes = AskKeyCodes()) {
        held.stored = *codes;
        if (graphic && !Holds(held.stored, code))
            Missed(report, kItemGraphic);
    } else {
        Missed(report, kItemKeyCodes | (graphic ? kItemGraphic : 0u));
        if (!StillThere()) {
            report.result = kLogoNoAnswer;
            return report;
        }
    }
    LogoSettings now = held.settings;
    if (!ReadLogos(now, report)) {
        report.result = kLogoNoAnswer;
        return report;
    }
    if (valueChanged) {
        if (auto value = AskValue100())
            now.SetValue100(*value);
    }
    held.settings = now;
    for (LogoPlace place : kPlaces)
        if (!(now.Placement(place) == wanted.Placement(place)))
            Missed(report, PlaceItem(place));
    for (uint8_t option : kLogoOptions)
        if (now.Option(option) != wanted.Option(option))
            Missed(report, kItemOptions);
    if (now.Value100() != wanted.Value100())
        Missed(report, kItemValue100);
    return report;
}

LogoReport LogoExchange::Delete(const std::optional<KeyCode>& code, PrinterLogos& held) {
    LogoReport report;
    if (!m_link.Send(code ? DeleteGraphics(*code) : DeleteAllGraphics())) {
        report.result = kLogoNoAnswer;
        report.missed = kItemGraphic;
        return report;
    }
    auto codes = AskKeyCodes();
    if (!codes) {
        Missed(report, kItemKeyCodes | kItemGraphic);
        if (!StillThere())
            report.result = kLogoNoAnswer;
        return report;
    }
    held.stored = *codes;
    if (code ? Holds(held.stored, *code) : !held.stored.empty())
        Missed(report, kItemGraphic);
    return report;
}

} // namespace qk::logo
