#include "plugins/paper/PaperView.h"

#include <utility>
#include "framework/context/UtilContext.h"
#include "framework/store/PluginDataMgrApi.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/Controls.h"
#include "platform/Text.h"
#include "framework/comm/BoundedLink.h"
#include "framework/comm/QkcPrinterLink.h"

namespace qk::paper {
namespace {

constexpr char16_t kScreen[] = u"QKUPAPERSTG_DLL";

// Screen messages and strings of the page.
constexpr int kMsgWritten = 0, kMsgNotWritten = 1, kMsgNotRead = 2, kMsgNotTaken = 3,
              kMsgNoAnswer = 4;
constexpr int kStrOtherSettings = 5, kStrOtherValue = 6;

constexpr char16_t kNotReadText[] = u"Could not read these settings from the printer: %s";
constexpr char16_t kNotTakenText[] = u"The printer did not take these settings: %s";
constexpr char16_t kNoAnswerText[] = u"The printer did not answer.";
constexpr char16_t kOtherSettingsText[] = u"Other settings";
constexpr char16_t kOtherValueText[] = u"Other value (%s)";

// The text with its "%s" replaced (appended when a translation lost it); no format
// function sees language-file text.
std::u16string Fill(std::u16string text, const std::u16string& value) {
    const size_t at = text.find(u"%s");
    if (at == std::u16string::npos)
        return text + u" " + value;
    return text.replace(at, 2, value);
}

std::u16string Decimal(uint32_t value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace

CPaperView::CPaperView() : CSingleFormView(IDD_PAPER_VIEW, kScreen) {}

PaperSettings CPaperView::LoadStored() {
    PaperSettings settings;
    if (IPluginDataMgr* store = DataManager())
        settings.Load(*store);
    return settings;
}

void CPaperView::OnInitialUpdate() {
    CSingleFormView::OnInitialUpdate();
    PageTexts().ApplyCaptions(m_hWnd);
    ShowStoredSettings();
}

void CPaperView::ShowStoredSettings() {
    if (!m_hWnd)
        return;
    m_held = LoadStored();
    ShowValues(m_held);
    bool stale;
    {
        std::lock_guard lock(m_readLock);
        stale = std::exchange(m_readNoteStale, false);
    }
    if (stale)
        OnReadDone();
}

void CPaperView::ShowValues(const PaperSettings& settings) {
    for (const ShownSetting& shown : kShownSettings)
        FillChoices(shown, settings.Value(shown.number));
    m_choicesShown = true;
}

void CPaperView::FillChoices(const ShownSetting& shown, uint16_t value) {
    CComboBox combo(GetDlgItem(shown.comboId));
    if (!combo.m_hWnd)
        return;
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
            add(item->m_strText, static_cast<uint16_t>(item->m_nItemData));
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
    if (!m_hWnd || !m_choicesShown)
        return 0;
    return WantedFromChoices() == m_held ? 0 : 1;
}

std::u16string CPaperView::Message(int index, const char16_t* english) const {
    return PageTexts().TextOr(LangListKind::ScreenMessages, index, english);
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
                append(PageTexts().TextOr(LangListKind::ScreenStrings, shown.nameIndex,
                                          shown.englishName));
    for (uint8_t number : report.missed)
        others = others || !FindShown(number);
    if (others)
        append(
            PageTexts().TextOr(LangListKind::ScreenStrings, kStrOtherSettings, kOtherSettingsText));
    return names;
}

void CPaperView::ShowNote(const std::u16string& text) {
    ::SetDlgItemTextW(m_hWnd, IDC_PAPER_NOTE, WidePtr(text));
}

int32_t CPaperView::AnswerWaitMs() {
    CommTimings timings{};
    return GetCommTimings(&timings) ? timings.waitMs : 1000;
}

int32_t CPaperView::ReadSettings() {
    IPluginDataMgr* store = DataManager();
    UtilContext* context = Context();
    if (!store || !context)
        return -2;
    PaperSettings settings;
    settings.Load(*store);
    const int32_t waitMs = AnswerWaitMs();
    comm::CQkcPrinterLink port(context->binding, waitMs);
    comm::CBoundedLink link(port, comm::kExchangeAnswerLimitMs);
    ExchangeReport report = SettingsExchange(link, waitMs).ReadAll(settings);
    settings.Store(*store);
    {
        std::lock_guard lock(m_readLock);
        m_readReport = report;
        // A page whose window is not made yet names the outcome when it is first shown.
        if (!m_hWnd)
            m_readNoteStale = true;
    }
    if (m_hWnd)
        ::PostMessageW(m_hWnd, kReadDoneMessage, 0, 0);
    return report.result;
}

void CPaperView::OnReadDone() {
    ExchangeReport report;
    {
        std::lock_guard lock(m_readLock);
        report = m_readReport;
        // Before the first showing the texts are not loaded yet: the showing names them.
        m_readNoteStale = !m_choicesShown;
    }
    // The operator's edits stay; an untouched page shows what the printer holds.
    const bool edited = IsModified() == 1;
    m_held = LoadStored();
    m_readNote = u"";
    if (report.notEntered)
        m_readNote = Message(kMsgNoAnswer, kNoAnswerText);
    else if (report.result != 1)
        m_readNote = Fill(Message(kMsgNotRead, kNotReadText), MissedNames(report));
    if (!m_choicesShown)
        return;
    if (!edited)
        ShowValues(m_held);
    ShowNote(m_readNote);
}

bool CPaperView::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == kReadDoneMessage) {
        OnReadDone();
        result = 0;
        return true;
    }
    return CSingleFormView::OnMessage(msg, wp, lp, result);
}

int32_t CPaperView::SaveToFile() {
    IPluginDataMgr* store = DataManager();
    if (!store)
        return -2;
    PaperSettings wanted = WantedFromChoices();
    if (wanted.Store(*store) != kStoreOk) {
        ShowWarning(m_hWnd);
        return -5;
    }
    m_held = wanted;
    store->SetSaveFlag(1);
    return 1;
}

int32_t CPaperView::WriteSettings() {
    if (Context() && Context()->startMode == kStartFileMode)
        return SaveToFile();
    m_wanted = WantedFromChoices();
    if (m_wanted == m_held)
        return 1;
    const int32_t result = RunWrite();
    if (result == 1) {
        ShowValues(m_held);
        ShowNote(u"");
        ShowInfo(m_hWnd, WidePtr(Message(kMsgWritten, u"Settings were changed successfully.")));
        return 1;
    }
    std::u16string text = Message(kMsgNotWritten, u"Failed to change settings.");
    if (!m_writeRan || m_writeReport.notEntered || result == kExchangeNoAnswer)
        text += u"\n" + Message(kMsgNoAnswer, kNoAnswerText);
    else
        text += u"\n" + Fill(Message(kMsgNotTaken, kNotTakenText), MissedNames(m_writeReport));
    ShowWarning(m_hWnd, WidePtr(text));
    return result == 1 ? -5 : result;
}

int32_t CPaperView::RunWrite() {
    m_written = m_held;
    m_writeReport = ExchangeReport{};
    m_writeRan = false;
    CommCtrl().SetWorkerProc(&CPaperView::WriteWorker);
    const int32_t result = CommCtrl().RunExchange(this);
    if (m_writeRan)
        m_held = m_written; // the blocks follow what the printer now holds
    return result;
}

unsigned __stdcall CPaperView::WriteWorker(void* page) {
    try {
        auto* view = static_cast<CPaperView*>(page);
        if (!view)
            return static_cast<unsigned>(kExchangeMissingLibrary);
        UtilContext* context = view->Context();
        IPluginDataMgr* store = view->DataManager();
        view->CommCtrl().ReportProgress(0);
        const int32_t waitMs = view->AnswerWaitMs();
        comm::CQkcPrinterLink port(context ? context->binding : nullptr, waitMs);
        comm::CBoundedLink link(port, comm::kExchangeAnswerLimitMs,
                                [view] { return view->CommCtrl().StopRequested(); });
        view->m_writeReport =
            SettingsExchange(link, waitMs).WriteChanges(view->m_wanted, view->m_written);
        if (store)
            view->m_written.Store(*store);
        view->m_writeRan = true;
        view->CommCtrl().ReportProgress(100);
        return static_cast<unsigned>(view->m_writeReport.result);
    } catch (...) {
        return static_cast<unsigned>(kExchangeMissingLibrary);
    }
}

} // namespace qk::paper
