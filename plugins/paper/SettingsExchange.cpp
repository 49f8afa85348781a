#include "plugins/paper/SettingsExchange.h"

#include "framework/comm/UserSettingMode.h"

namespace qk::paper {
namespace {

std::vector<uint8_t> AllNumbers() {
    std::vector<uint8_t> numbers;
    for (const CustomValueField& field : kPaperPageFields)
        numbers.push_back(field.number);
    return numbers;
}

// The switch characters that set or clear only the last bit.
void LastBitOnly(bool on, char bits[8]) {
    for (int i = 0; i < 7; ++i)
        bits[i] = '2';
    bits[7] = on ? '1' : '0';
}

} // namespace

bool SettingsExchange::Answer(comm::SetupAnswer& answer) {
    return comm::ReceiveSetupAnswer(m_link, answer, m_waitMs);
}

std::optional<uint16_t> SettingsExchange::AskValue(uint8_t number) {
    m_link.DiscardAnswers();
    if (!m_link.Send(comm::AskCustomValue(number)))
        return std::nullopt;
    comm::SetupAnswer answer;
    if (!Answer(answer))
        return std::nullopt;
    return answer.CustomValue(number);
}

std::optional<std::string> SettingsExchange::AskSwitch6() {
    m_link.DiscardAnswers();
    if (!m_link.Send(comm::AskMemorySwitch(kMemorySwitch6)))
        return std::nullopt;
    comm::SetupAnswer answer;
    if (!Answer(answer))
        return std::nullopt;
    return answer.MemorySwitch();
}

bool SettingsExchange::StillThere() {
    return comm::StillAnswers(m_link, m_waitMs);
}

void SettingsExchange::GiveUp(ExchangeReport& report, std::size_t next, bool withSwitch,
                              const std::vector<uint8_t>& numbers) {
    for (std::size_t i = next; i < numbers.size(); ++i)
        report.missed.push_back(numbers[i]);
    report.switchMissed = report.switchMissed || withSwitch;
    report.result = kExchangeNoAnswer;
}

ExchangeReport SettingsExchange::ReadAll(PaperSettings& settings) {
    ExchangeReport report;
    const std::vector<uint8_t> numbers = AllNumbers();
    comm::CUserSettingMode mode(m_link, m_waitMs);
    if (!mode.Entered()) {
        report.notEntered = true;
        GiveUp(report, 0, true, numbers);
        return report;
    }
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (auto value = AskValue(numbers[i])) {
            settings.SetValue(numbers[i], *value);
            continue;
        }
        report.missed.push_back(numbers[i]);
        report.result = kExchangeIncomplete;
        if (!StillThere()) {
            GiveUp(report, i + 1, true, numbers);
            return report;
        }
    }
    if (auto bits = AskSwitch6()) {
        settings.SetSwitch6LastBit((*bits)[7] == '1');
    } else {
        report.switchMissed = true;
        report.result = StillThere() ? kExchangeIncomplete : kExchangeNoAnswer;
    }
    return report;
}

ExchangeReport SettingsExchange::WriteChanges(const PaperSettings& wanted, PaperSettings& held) {
    ExchangeReport report;
    std::vector<uint8_t> changed;
    for (const CustomValueField& field : kPaperPageFields)
        if (wanted.Get(field) != held.Get(field))
            changed.push_back(field.number);
    const bool switchChanged = wanted.Switch6LastBit() != held.Switch6LastBit();
    if (changed.empty() && !switchChanged)
        return report;
    comm::CUserSettingMode mode(m_link, m_waitMs);
    if (!mode.Entered()) {
        report.notEntered = true;
        GiveUp(report, 0, switchChanged, changed);
        return report;
    }
    for (uint8_t number : changed)
        m_link.Send(comm::SetCustomValue(number, wanted.Value(number)));
    if (switchChanged) {
        char bits[8];
        LastBitOnly(wanted.Switch6LastBit(), bits);
        m_link.Send(comm::SetMemorySwitch(kMemorySwitch6, bits));
    }
    // What the printer holds now decides, whatever the sending answered.
    for (std::size_t i = 0; i < changed.size(); ++i) {
        auto value = AskValue(changed[i]);
        if (value)
            held.SetValue(changed[i], *value);
        if (value && *value == wanted.Value(changed[i]))
            continue;
        report.missed.push_back(changed[i]);
        report.result = kExchangeIncomplete;
        if (!value && !StillThere()) {
            GiveUp(report, i + 1, switchChanged, changed);
            return report;
        }
    }
    if (switchChanged) {
        auto bits = AskSwitch6();
        if (bits)
            held.SetSwitch6LastBit((*bits)[7] == '1');
        if (!bits || held.Switch6LastBit() != wanted.Switch6LastBit()) {
            report.switchMissed = true;
            report.result = kExchangeIncomplete;
        }
    }
    return report;
}

} // namespace qk::paper
