#include "plugins/paper/PaperView.h"

#include "framework/lang/FilledText.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/Controls.h"
#include "platform/Text.h"

namespace qk::paper {
namespace {

constexpr char16_t kScreen[] = u"QKUPAPERSTG_DLL";

// Screen strings of the page.
constexpr int kStrOtherSettings = 5, kStrOtherValue = 6;

constexpr char16_t kOtherSettingsText[] = u"Other settings";
constexpr char16_t kOtherValueText[] = u"Other value (%s)";

} // namespace

CPaperView::CPaperView() : CPrinterPage(IDD_PAPER_VIEW, kScreen, IDC_PAPER_NOTE) {}

void CPaperView::OnInitialUpdate() {
    CPrinterPage::OnInitialUpdate();
    ShowStoredSettings();
}

void CPaperView::ShowStored() {
    m_held = LoadStored<PaperSettings>();
    ShowValues(m_held);
}

void CPaperView::ShowValues(const PaperSettings& settings) {
    for (const ShownSetting& shown : kShownSettings)
        FillChoices(shown, settings.Value(shown.number));
}

void CPaperView::FillChoices(const ShownSetting& shown, uint16_t value) {
    CComboBox combo(GetDlgItem(shown.comboId));
    if (!combo.m_hWnd)
        return;
    const CRedrawPause paused(combo.m_hWnd);
    combo.ResetContent();
    auto add = [&](const std::u16string& text, uint16_t data) {
        int index = combo.AddString(WidePtr(text));
        if (index >= 0)
            combo.SetItemData(index, data);
    };
    // The language file's names, else the English ones.
    const CLangResTable& texts = PageTexts();
    for (int32_t i = 0; i < texts.Count(LangListKind::ComboItems); ++i) {
        const auto* item =
            static_cast<const CComboBoxResInfo*>(texts.Entry(LangListKind::ComboItems, i));
        if (item && item->m_nCtrlID == shown.comboId && item->m_nItemData >= 0 &&
            item->m_nItemData <= 0xFFFF)
            add(std::u16string(item->m_strText), static_cast<uint16_t>(item->m_nItemData));
    }
    if (combo.GetCount() <= 0)
        for (const Choice& choice : shown.choices)
            add(choice.english, choice.value);
    int selected = -1;
    for (int i = 0; i < combo.GetCount() && selected < 0; ++i)
        if (combo.GetItemData(i) == value)
            selected = i;
    if (selected < 0) {
        // A value the page has no name for stays as the printer holds it.
        std::u16string other =
            texts.TextOr(LangListKind::ScreenStrings, kStrOtherValue, kOtherValueText);
        add(Fill(other, Decimal(value)), value);
        selected = combo.GetCount() - 1;
    }
    combo.SetCurSel(selected);
}

PaperSettings CPaperView::WantedFromChoices() const {
    PaperSettings wanted = m_held;
    for (const ShownSetting& shown : kShownSettings) {
        CComboBox combo(GetDlgItem(shown.comboId));
        const int selected = combo.GetCurSel();
        if (selected >= 0)
            wanted.SetValue(shown.number, static_cast<uint16_t>(combo.GetItemData(selected)));
    }
    return wanted;
}

int32_t CPaperView::IsModified() {
    if (!m_hWnd || !Shown())
        return 0;
    return WantedFromChoices() == m_held ? 0 : 1;
}

std::u16string CPaperView::MissedNames(const ExchangeReport& report) const {
    std::u16string names;
    bool others = report.switchMissed;
    auto append = [&](const std::u16string& name) {
        if (!names.empty())
            names += u", ";
        names += name;
    };
    for (const ShownSetting& shown : kShownSettings)
        for (uint8_t number : report.missed)
            if (number == shown.number)
                append(Text(shown.nameIndex, shown.englishName));
    for (uint8_t number : report.missed)
        others = others || !FindShown(number);
    if (others)
        append(Text(kStrOtherSettings, kOtherSettingsText));
    return names;
}

int32_t CPaperView::ReadPrinter(const PrinterWork& work, ExchangeReport& read) {
    PaperSettings settings;
    settings.Load(*work.store);
    read = SettingsExchange(work.link, work.waitMs).ReadAll(settings);
    settings.Store(*work.store);
    return read.result;
}

void CPaperView::ShowRead(const ExchangeReport& read) {
    // The operator's edits stay; an untouched page shows what the printer holds.
    const bool edited = IsModified() == 1;
    m_held = LoadStored<PaperSettings>();
    if (!edited)
        ShowValues(m_held);
    ShowNote(ReadNote(read.notEntered, read.result == 1, MissedNames(read)));
}

int32_t CPaperView::SaveToFile() {
    PaperSettings wanted = WantedFromChoices();
    const int32_t result = StoreForFile(wanted);
    if (result == 1)
        m_held = wanted;
    return result;
}

int32_t CPaperView::WriteSettings() {
    if (FileMode())
        return SaveToFile();
    m_wanted = WantedFromChoices();
    if (m_wanted == m_held)
        return 1;
    m_written = m_held;
    m_writeReport = ExchangeReport{};
    const int32_t result = RunExchange();
    if (ExchangeRan())
        m_held = m_written; // the blocks follow what the printer now holds
    if (result == 1) {
        ShowValues(m_held);
        ShowNote(u"");
        InformWritten();
        return 1;
    }
    WarnNotWritten(!ExchangeRan() || m_writeReport.notEntered || result == kExchangeNoAnswer,
                   MissedNames(m_writeReport));
    return result == 1 ? -5 : result;
}

int32_t CPaperView::ExchangeOnWorker(const PrinterWork& work) {
    m_writeReport = SettingsExchange(work.link, work.waitMs).WriteChanges(m_wanted, m_written);
    if (work.store)
        m_written.Store(*work.store);
    return m_writeReport.result;
}

} // namespace qk::paper
