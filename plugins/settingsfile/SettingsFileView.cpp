#include "plugins/settingsfile/SettingsFileView.h"

#include "framework/context/TextSlot.h"
#include "framework/store/PluginDataMgrApi.h"
#include "framework/context/UtilContext.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/Text.h"
#include "plugins/logo/LogoExchange.h"
#include "plugins/paper/SettingsExchange.h"
#include "plugins/settingsfile/MultiApplyDlg.h"
#include "plugins/settingsfile/PrinterTargets.h"
#include "plugins/settingsfile/SettingText.h"
#include "plugins/settingsfile/UnattendedReport.h"
#include "plugins/settingsfile/SettingsFileIo.h"
#include "resource.h"

namespace qk::settingsfile {
namespace {

// Screen messages of the page.
constexpr int kMsgSaved = 0, kMsgNotSaved = 1, kMsgNotOurs = 2, kMsgTruncated = 3, kMsgDamaged = 4,
              kMsgOtherModel = 5, kMsgBadCommands = 6, kMsgUnreadable = 7, kMsgFileGood = 8,
              kMsgAskApply = 9, kMsgAlreadyHolds = 10, kMsgApplied = 11, kMsgNotApplied = 12,
              kMsgLost = 13, kMsgNoAnswer = 14, kMsgNoPrinter = 15, kMsgNotAllRead = 16;
// Screen strings: the names of the settings and the file chooser's filter.
constexpr int kStrCustomValue = 0, kStrMemorySwitch = 1, kStrTopLogo = 2, kStrBottomLogo = 3,
              kStrLogoOption = 4, kStrNoTopLogo = 5, kStrNoBottomLogo = 6, kStrFilter = 7,
              kStrLogoGraphic = 8, kStrNotRead = 9, kStrHolds = 10, kStrDiffers = 11,
              kStrNotSent = 12, kStrNone = 13;

} // namespace

CSettingsFileView::CSettingsFileView()
    : CExchangePageView(IDD_SETFILE_VIEW, u"QKUSETFILESTG_DLL", IDC_SETFILE_REPORT) {}

bool CSettingsFileView::OnCommand(UINT code, UINT id, HWND control) {
    static constexpr Click<CSettingsFileView> kClicks[] = {
        {IDC_SETFILE_SAVE, &CSettingsFileView::OnSaveClicked},
        {IDC_SETFILE_CHECK, &CSettingsFileView::OnCheckClicked},
        {IDC_SETFILE_APPLY, &CSettingsFileView::OnApplyClicked},
        {IDC_SETFILE_MULTI, &CSettingsFileView::OnMultiClicked}};
    return OnClick(*this, kClicks, code, id) || CExchangePageView::OnCommand(code, id, control);
}

std::u16string CSettingsFileView::ChooseFile(FileChoice choice) const {
    return ChooseFileName(
        m_hWnd,
        DialogFilter(
            Text(kStrFilter, u"Settings command files (*.dat)|*.dat|All files (*.*)|*.*|")),
        L"dat", choice);
}

void CSettingsFileView::OnSaveClicked() {
    UtilContext* context = Context();
    IPluginDataMgr* store = DataManager();
    if (!context || !store)
        return;
    const std::u16string path = ChooseFile(FileChoice::Save);
    if (path.empty())
        return;
    const int32_t saved = SavePrinterSettings(*context, *store, path);
    if (saved != 0) {
        const std::u16string text =
            saved == kSettingsNotRead
                ? Message(kMsgNotAllRead, u"Not every setting could be read from the printer, "
                                          u"so nothing was saved. Read the settings again first.")
                : Message(kMsgNotSaved, u"The settings could not be saved to the file.");
        ShowNote(text);
        ShowWarning(m_hWnd, WidePtr(text));
        return;
    }
    const std::u16string text = Message(kMsgSaved, u"The printer's settings were saved to %s.");
    ShowNote(Fill(text, path));
    ShowInfo(m_hWnd, WidePtr(Fill(text, path)));
}

std::u16string CSettingsFileView::RefusalText(int32_t result) const {
    struct Refusal {
        int32_t result;
        int message;
        const char16_t* english;
    };
    static constexpr Refusal kRefusals[] = {
        {kFileTruncated, kMsgTruncated,
         u"The file is not whole: it is shorter or longer than its header says. Nothing is sent "
         u"to the printer."},
        {kFileDamaged, kMsgDamaged,
         u"The file is damaged: its contents do not match its check sum. Nothing is sent to the "
         u"printer."},
        {kFileOtherModel, kMsgOtherModel,
         u"The file was written for another printer model. Nothing is sent to the printer."},
        {kFileBadCommands, kMsgBadCommands,
         u"The file holds commands that this utility does not write. Nothing is sent to the "
         u"printer."},
        {kFileUnreadable, kMsgUnreadable, u"The file could not be read."}};
    for (const Refusal& refusal : kRefusals)
        if (refusal.result == result)
            return Message(refusal.message, refusal.english);
    return Message(kMsgNotOurs, u"The file is not a settings command file of this utility. "
                                u"Nothing is sent to the printer.");
}

std::u16string CSettingsFileView::SettingName(const FileSetting& setting) const {
    switch (setting.kind) {
    case SettingKind::CustomValue:
        return Fill(Text(kStrCustomValue, u"Customized value %s"), Decimal(setting.number));
    case SettingKind::MemorySwitch:
        return Fill(Text(kStrMemorySwitch, u"Memory switch %s"), Decimal(setting.number));
    case SettingKind::TopLogo:
        return Text(kStrTopLogo, u"Top logo");
    case SettingKind::BottomLogo:
        return Text(kStrBottomLogo, u"Bottom logo");
    case SettingKind::LogoOption:
        return Fill(Text(kStrLogoOption, u"Logo option %s"), HexText({setting.number}));
    case SettingKind::CancelLogo:
        return setting.number == 0 ? Text(kStrNoTopLogo, u"No top logo")
                                   : Text(kStrNoBottomLogo, u"No bottom logo");
    }
    return {};
}

std::u16string CSettingsFileView::SettingLines(const CheckedFile& file) const {
    std::u16string lines;
    if (!file.logoSection.empty())
        lines += Fill(Text(kStrLogoGraphic, u"Logo graphic: %s bytes"),
                      Decimal(static_cast<uint32_t>(file.logoSection.size()))) +
                 u"\r\n";
    for (const FileSetting& setting : file.settings) {
        lines += SettingName(setting);
        if (setting.kind != SettingKind::CancelLogo)
            lines += u": " + SettingValueText(setting);
        lines += u"\r\n";
    }
    return lines;
}

bool CSettingsFileView::ChooseCheckedFile(CheckedFile& file, std::u16string* chosen) {
    UtilContext* context = Context();
    IPluginDataMgr* store = DataManager();
    if (!context || !store)
        return false;
    const std::u16string path = ChooseFile(FileChoice::Open);
    if (path.empty())
        return false;
    const std::u16string model = PrinterModel(*context, *store);
    const int32_t result = ReadSettingsFile(path, model, file);
    if (chosen)
        *chosen = path;
    if (result == kFileOk)
        return true;
    const std::u16string text = RefusalText(result);
    ShowNote(text);
    ShowWarning(m_hWnd, WidePtr(text));
    return false;
}

void CSettingsFileView::OnCheckClicked() {
    CheckedFile file;
    if (ChooseCheckedFile(file))
        ShowNote(Message(kMsgFileGood, u"The file is whole and made for this printer. It sets:") +
                 u"\r\n" + SettingLines(file));
}

std::u16string CSettingsFileView::ChangeLines() const {
    std::u16string lines;
    for (size_t i = 0; i < m_file.settings.size(); ++i) {
        const FileSetting& setting = m_file.settings[i];
        const SettingState& state = m_report.settings[i];
        if (state.now && SettingHolds(setting, *state.now))
            continue;
        lines += SettingName(setting) + u": ";
        if (state.now) {
            lines +=
                state.now->empty() ? Text(kStrNone, u"none") : HeldValueText(setting, *state.now);
        } else {
            lines += Text(kStrNotRead, u"not read");
        }
        lines += u" -> ";
        lines += setting.kind == SettingKind::CancelLogo ? Text(kStrNone, u"none")
                                                         : SettingValueText(setting);
        lines += u"\r\n";
    }
    return lines;
}

std::u16string CSettingsFileView::OutcomeLines() const {
    std::u16string lines;
    for (size_t i = 0; i < m_file.settings.size(); ++i) {
        const FileSetting& setting = m_file.settings[i];
        const SettingState& state = m_report.settings[i];
        lines += SettingName(setting);
        if (setting.kind != SettingKind::CancelLogo)
            lines += u" = " + SettingValueText(setting);
        lines += u": ";
        if (!state.sent)
            lines += Text(kStrNotSent, u"not sent");
        else if (!state.after)
            lines += Text(kStrNotRead, u"not read");
        else if (state.holds)
            lines += Text(kStrHolds, u"holds");
        else
            lines += Text(kStrDiffers, u"differs");
        lines += u"\r\n";
    }
    return lines;
}

int32_t CSettingsFileView::RunApplyExchange(Task task) {
    m_task = task;
    const int32_t result = RunExchange();
    return ExchangeRan() ? result : kApplyNoAnswer;
}

bool CSettingsFileView::HasPrinter() {
    UtilContext* context = Context();
    if (context && context->binding && context->startMode != kStartFileMode)
        return true;
    ShowWarning(m_hWnd,
                WidePtr(Message(kMsgNoPrinter, u"There is no printer to apply the file to.")));
    return false;
}

void CSettingsFileView::OnApplyClicked() {
    if (!HasPrinter())
        return;
    m_file = CheckedFile{};
    if (!ChooseCheckedFile(m_file))
        return;
    m_report = ApplyReport{};
    const std::u16string noAnswer = Message(kMsgNoAnswer, u"The printer did not answer. Nothing "
                                                          u"was sent.");
    if (RunApplyExchange(Task::ReadHeld) != 1) {
        ShowNote(noAnswer);
        ShowWarning(m_hWnd, WidePtr(noAnswer));
        return;
    }
    const std::u16string changes = ChangeLines();
    if (changes.empty() && m_file.logoSection.empty()) {
        const std::u16string text =
            Message(kMsgAlreadyHolds, u"The printer already holds every setting of this file.");
        ShowNote(text);
        ShowInfo(m_hWnd, WidePtr(text));
        return;
    }
    const std::u16string question =
        Message(kMsgAskApply, u"Do you want to apply the file? These settings change:") + u"\n" +
        changes;
    ShowNote(question);
    if (AskYesNo(m_hWnd, WidePtr(question)) != IDYES)
        return;
    const int32_t result = RunApplyExchange(Task::Apply);
    std::u16string text;
    if (result == 1)
        text = Message(kMsgApplied, u"The file was applied: every setting reads back as the file "
                                    u"sets it.");
    else if (result == kApplyDiffers)
        text = Message(kMsgNotApplied, u"The printer does not hold every setting of the file.");
    else
        text = Message(kMsgLost, u"The printer was lost while the file was applied. Settings "
                                 u"marked \"not sent\" or \"not read\" may not be in the printer.");
    ShowNote(text + u"\r\n" + OutcomeLines());
    if (result == 1)
        ShowInfo(m_hWnd, WidePtr(text));
    else
        ShowWarning(m_hWnd, WidePtr(text));
}

void CSettingsFileView::OnMultiClicked() {
    if (!HasPrinter())
        return;
    m_file = CheckedFile{};
    std::u16string path;
    if (!ChooseCheckedFile(m_file, &path))
        return;
    const UtilContext& context = *Context();
    wchar_t program[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    CMultiApplyDlg dialog(PageTexts(), PrinterTargets(context), path, FromWide(program),
                          std::u16string(SlotView(context.dataFolder)),
                          [this](ResultSummary& summary) { return ApplyWithoutAsking(summary); });
    dialog.DoModal(m_hWnd);
}

int32_t CSettingsFileView::ApplyWithoutAsking(ResultSummary& summary) {
    m_report = ApplyReport{};
    RunApplyExchange(Task::ReadHeld);
    if (!ExchangeRan() || m_report.settings.size() != m_file.settings.size())
        return kUnattendedNoPrinter;
    int32_t code = HeldExitCode(m_file, m_report, false);
    const bool send = code == kUnattendedDiffers;
    if (send) {
        RunApplyExchange(Task::Apply);
        code = ExchangeRan() ? AppliedExitCode(m_report) : kUnattendedLost;
    }
    summary.settings = static_cast<uint32_t>(m_file.settings.size());
    for (size_t i = 0; i < m_file.settings.size(); ++i) {
        const SettingState& state = m_report.settings[i];
        summary.holding +=
            (send ? state.holds : state.now && SettingHolds(m_file.settings[i], *state.now)) ? 1
                                                                                             : 0;
    }
    ShowNote(OutcomeLines());
    return code;
}

namespace {

// After an apply the blocks follow what the printer now holds, so the pages show it.
void ReadPagesBack(comm::IPrinterLink& link, int32_t waitMs, IPluginDataMgr& store) {
    paper::PaperSettings paperSettings;
    paperSettings.Load(store);
    paper::SettingsExchange(link, waitMs).ReadAll(paperSettings);
    paperSettings.Store(store);
    logo::PrinterLogos logos;
    logos.settings.Load(store);
    if (logo::LogoExchange(link, waitMs).Read(logos).result != logo::kLogoNoAnswer)
        logos.settings.Store(store);
}

} // namespace

int32_t CSettingsFileView::ExchangeOnWorker(const PrinterWork& work) {
    SettingsFileApply apply(work.link, work.waitMs);
    if (m_task == Task::ReadHeld) {
        m_report = apply.ReadHeld(m_file);
        return m_report.result;
    }
    apply.Apply(m_file, m_report);
    CommCtrl().ReportProgress(70);
    if (work.store && m_report.result != kApplyNoAnswer)
        ReadPagesBack(work.link, work.waitMs, *work.store);
    return m_report.result;
}

} // namespace qk::settingsfile
