#include "plugins/settingsfile/SettingsFileView.h"

#include "framework/context/TextSlot.h"
#include "framework/store/PluginDataMgrApi.h"
#include "framework/context/UtilContext.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/LibraryLoader.h"
#include "platform/Text.h"
#include "plugins/logo/LogoExchange.h"
#include "framework/comm/BoundedLink.h"
#include "framework/comm/QkcPrinterLink.h"
#include "plugins/paper/SettingsExchange.h"
#include "plugins/settingsfile/MultiApplyDlg.h"
#include "plugins/settingsfile/PrinterTargets.h"
#include "plugins/settingsfile/SettingText.h"
#include "plugins/settingsfile/UnattendedReport.h"
#include "plugins/settingsfile/SettingsFileIo.h"
#include "resource.h"

namespace qk::settingsfile {
namespace {

constexpr char16_t kScreen[] = u"QKUSETFILESTG_DLL";

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

CSettingsFileView::CSettingsFileView() : CSingleFormView(IDD_SETFILE_VIEW, kScreen) {}

void CSettingsFileView::OnInitialUpdate() {
    CSingleFormView::OnInitialUpdate();
    PageTexts().ApplyCaptions(m_hWnd);
}

bool CSettingsFileView::OnCommand(UINT code, UINT id, HWND control) {
    if (code == BN_CLICKED && id == IDC_SETFILE_SAVE) {
        OnSaveClicked();
        return true;
    }
    if (code == BN_CLICKED && id == IDC_SETFILE_CHECK) {
        OnCheckClicked();
        return true;
    }
    if (code == BN_CLICKED && id == IDC_SETFILE_APPLY) {
        OnApplyClicked();
        return true;
    }
    if (code == BN_CLICKED && id == IDC_SETFILE_MULTI) {
        OnMultiClicked();
        return true;
    }
    return CSingleFormView::OnCommand(code, id, control);
}

std::u16string CSettingsFileView::Message(int index, const char16_t* english) const {
    return PageTexts().TextOr(LangListKind::ScreenMessages, index, english);
}

std::u16string CSettingsFileView::String(int index, const char16_t* english) const {
    return PageTexts().TextOr(LangListKind::ScreenStrings, index, english);
}

void CSettingsFileView::ShowReport(const std::u16string& text) {
    ::SetDlgItemTextW(m_hWnd, IDC_SETFILE_REPORT, WidePtr(text));
}

std::u16string CSettingsFileView::ChooseFile(bool forSaving) const {
    // The filter's parts are separated by '|' in the language file; the dialog wants NULs.
    std::u16string filter =
        String(kStrFilter, u"Settings command files (*.dat)|*.dat|All files (*.*)|*.*|");
    for (char16_t& c : filter)
        if (c == u'|')
            c = u'\0';
    filter += u'\0';
    wchar_t path[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hWnd;
    ofn.lpstrFilter = WidePtr(filter);
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = L"dat";
    // Choosing a file must not move the whole process into the file's folder.
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                (forSaving ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    // The dialog's library comes when the operator first chooses a file, not with the page.
    static auto* const saveDialog =
        SystemLibraryFunction<decltype(::GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
    static auto* const openDialog =
        SystemLibraryFunction<decltype(::GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    auto* const dialog = forSaving ? saveDialog : openDialog;
    if (!dialog || !dialog(&ofn))
        return {};
    return FromWide(path);
}

void CSettingsFileView::OnSaveClicked() {
    UtilContext* context = Context();
    IPluginDataMgr* store = DataManager();
    if (!context || !store)
        return;
    const std::u16string path = ChooseFile(true);
    if (path.empty())
        return;
    const int32_t saved = SavePrinterSettings(*context, *store, path);
    if (saved != 0) {
        const std::u16string text =
            saved == kSettingsNotRead
                ? Message(kMsgNotAllRead, u"Not every setting could be read from the printer, "
                                          u"so nothing was saved. Read the settings again first.")
                : Message(kMsgNotSaved, u"The settings could not be saved to the file.");
        ShowReport(text);
        ShowWarning(m_hWnd, WidePtr(text));
        return;
    }
    const std::u16string text = Message(kMsgSaved, u"The printer's settings were saved to %s.");
    ShowReport(Fill(text, path));
    ShowInfo(m_hWnd, WidePtr(Fill(text, path)));
}

std::u16string CSettingsFileView::RefusalText(int32_t result) const {
    switch (result) {
    case kFileTruncated:
        return Message(kMsgTruncated, u"The file is not whole: it is shorter or longer than its "
                                      u"header says. Nothing is sent to the printer.");
    case kFileDamaged:
        return Message(kMsgDamaged, u"The file is damaged: its contents do not match its check "
                                    u"sum. Nothing is sent to the printer.");
    case kFileOtherModel:
        return Message(kMsgOtherModel, u"The file was written for another printer model. "
                                       u"Nothing is sent to the printer.");
    case kFileBadCommands:
        return Message(kMsgBadCommands, u"The file holds commands that this utility does not "
                                        u"write. Nothing is sent to the printer.");
    case kFileUnreadable:
        return Message(kMsgUnreadable, u"The file could not be read.");
    default:
        return Message(kMsgNotOurs, u"The file is not a settings command file of this utility. "
                                    u"Nothing is sent to the printer.");
    }
}

std::u16string CSettingsFileView::SettingName(const FileSetting& setting) const {
    switch (setting.kind) {
    case SettingKind::CustomValue:
        return Fill(String(kStrCustomValue, u"Customized value %s"), DecimalText(setting.number));
    case SettingKind::MemorySwitch:
        return Fill(String(kStrMemorySwitch, u"Memory switch %s"), DecimalText(setting.number));
    case SettingKind::TopLogo:
        return String(kStrTopLogo, u"Top logo");
    case SettingKind::BottomLogo:
        return String(kStrBottomLogo, u"Bottom logo");
    case SettingKind::LogoOption:
        return Fill(String(kStrLogoOption, u"Logo option %s"), HexText({setting.number}));
    case SettingKind::CancelLogo:
        return setting.number == 0 ? String(kStrNoTopLogo, u"No top logo")
                                   : String(kStrNoBottomLogo, u"No bottom logo");
    }
    return {};
}

std::u16string CSettingsFileView::SettingLines(const CheckedFile& file) const {
    std::u16string lines;
    if (!file.logoSection.empty())
        lines += Fill(String(kStrLogoGraphic, u"Logo graphic: %s bytes"),
                      DecimalText(static_cast<uint32_t>(file.logoSection.size()))) +
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
    const std::u16string path = ChooseFile(false);
    if (path.empty())
        return false;
    const std::u16string model = PrinterModel(*context, *store);
    const int32_t result = ReadSettingsFile(path, model, file);
    if (chosen)
        *chosen = path;
    if (result == kFileOk)
        return true;
    const std::u16string text = RefusalText(result);
    ShowReport(text);
    ShowWarning(m_hWnd, WidePtr(text));
    return false;
}

void CSettingsFileView::OnCheckClicked() {
    CheckedFile file;
    if (ChooseCheckedFile(file))
        ShowReport(Message(kMsgFileGood, u"The file is whole and made for this printer. It sets:") +
                   u"\r\n" + SettingLines(file));
}

int32_t CSettingsFileView::AnswerWaitMs() {
    CommTimings timings{};
    return GetCommTimings(&timings) ? timings.waitMs : 1000;
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
                state.now->empty() ? String(kStrNone, u"none") : HeldValueText(setting, *state.now);
        } else {
            lines += String(kStrNotRead, u"not read");
        }
        lines += u" -> ";
        lines += setting.kind == SettingKind::CancelLogo ? String(kStrNone, u"none")
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
            lines += String(kStrNotSent, u"not sent");
        else if (!state.after)
            lines += String(kStrNotRead, u"not read");
        else if (state.holds)
            lines += String(kStrHolds, u"holds");
        else
            lines += String(kStrDiffers, u"differs");
        lines += u"\r\n";
    }
    return lines;
}

int32_t CSettingsFileView::RunApplyExchange(unsigned(__stdcall* worker)(void*)) {
    m_exchangeRan = false;
    CommCtrl().SetWorkerProc(worker);
    const int32_t result = CommCtrl().RunExchange(this);
    return m_exchangeRan ? result : kApplyNoAnswer;
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
    if (RunApplyExchange(&CSettingsFileView::ReadHeldWorker) != 1) {
        ShowReport(noAnswer);
        ShowWarning(m_hWnd, WidePtr(noAnswer));
        return;
    }
    const std::u16string changes = ChangeLines();
    if (changes.empty() && m_file.logoSection.empty()) {
        const std::u16string text =
            Message(kMsgAlreadyHolds, u"The printer already holds every setting of this file.");
        ShowReport(text);
        ShowInfo(m_hWnd, WidePtr(text));
        return;
    }
    const std::u16string question =
        Message(kMsgAskApply, u"Do you want to apply the file? These settings change:") + u"\n" +
        changes;
    ShowReport(question);
    if (AskYesNo(m_hWnd, WidePtr(question)) != IDYES)
        return;
    const int32_t result = RunApplyExchange(&CSettingsFileView::ApplyWorker);
    std::u16string text;
    if (result == 1)
        text = Message(kMsgApplied, u"The file was applied: every setting reads back as the file "
                                    u"sets it.");
    else if (result == kApplyDiffers)
        text = Message(kMsgNotApplied, u"The printer does not hold every setting of the file.");
    else
        text = Message(kMsgLost, u"The printer was lost while the file was applied. Settings "
                                 u"marked \"not sent\" or \"not read\" may not be in the printer.");
    ShowReport(text + u"\r\n" + OutcomeLines());
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
    RunApplyExchange(&CSettingsFileView::ReadHeldWorker);
    if (!m_exchangeRan || m_report.settings.size() != m_file.settings.size())
        return kUnattendedNoPrinter;
    int32_t code = HeldExitCode(m_file, m_report, false);
    const bool send = code == kUnattendedDiffers;
    if (send) {
        RunApplyExchange(&CSettingsFileView::ApplyWorker);
        code = m_exchangeRan ? AppliedExitCode(m_report) : kUnattendedLost;
    }
    summary.settings = static_cast<uint32_t>(m_file.settings.size());
    for (size_t i = 0; i < m_file.settings.size(); ++i) {
        const SettingState& state = m_report.settings[i];
        summary.holding +=
            (send ? state.holds : state.now && SettingHolds(m_file.settings[i], *state.now)) ? 1
                                                                                             : 0;
    }
    ShowReport(OutcomeLines());
    return code;
}

namespace {

// The page's exchanges: the link over the open port, bounded and stopped with the dialog.
template <typename Exchange>
unsigned RunOnPrinter(CSettingsFileView* view, int32_t waitMs, UtilContext* context,
                      Exchange exchange) {
    comm::CQkcPrinterLink port(context ? context->binding : nullptr, waitMs);
    comm::CBoundedLink link(port, comm::kExchangeAnswerLimitMs,
                            [view] { return view->CommCtrl().StopRequested(); });
    return static_cast<unsigned>(exchange(link));
}

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

unsigned __stdcall CSettingsFileView::ReadHeldWorker(void* page) {
    try {
        auto* view = static_cast<CSettingsFileView*>(page);
        if (!view)
            return static_cast<unsigned>(kExchangeMissingLibrary);
        view->CommCtrl().ReportProgress(0);
        const int32_t waitMs = view->AnswerWaitMs();
        const unsigned result =
            RunOnPrinter(view, waitMs, view->Context(), [&](comm::IPrinterLink& link) {
                view->m_report = SettingsFileApply(link, waitMs).ReadHeld(view->m_file);
                return view->m_report.result;
            });
        view->m_exchangeRan = true;
        view->CommCtrl().ReportProgress(100);
        return result;
    } catch (...) {
        return static_cast<unsigned>(kExchangeMissingLibrary);
    }
}

unsigned __stdcall CSettingsFileView::ApplyWorker(void* page) {
    try {
        auto* view = static_cast<CSettingsFileView*>(page);
        if (!view)
            return static_cast<unsigned>(kExchangeMissingLibrary);
        view->CommCtrl().ReportProgress(0);
        const int32_t waitMs = view->AnswerWaitMs();
        IPluginDataMgr* store = view->DataManager();
        const unsigned result =
            RunOnPrinter(view, waitMs, view->Context(), [&](comm::IPrinterLink& link) {
                SettingsFileApply(link, waitMs).Apply(view->m_file, view->m_report);
                view->CommCtrl().ReportProgress(70);
                if (store && view->m_report.result != kApplyNoAnswer)
                    ReadPagesBack(link, waitMs, *store);
                return view->m_report.result;
            });
        view->m_exchangeRan = true;
        view->CommCtrl().ReportProgress(100);
        return result;
    } catch (...) {
        return static_cast<unsigned>(kExchangeMissingLibrary);
    }
}

} // namespace qk::settingsfile
