#include "plugins/printerinfo/PrinterInfoView.h"

#include <cstring>

#include "framework/context/StartMode.h"
#include "framework/context/TextSlot.h"
#include "framework/context/UtilContext.h"
#include "framework/plugin/FormViewCtrl.h"
#include "framework/store/PluginDataMgrApi.h"
#include "framework/store/PrinterInfoBlock.h"
#include "framework/store/PrinterSettingBlocks.h"
#include "framework/system/EmulatorPort.h"
#include "framework/view/UtilMessageBox.h"
#include "framework/view/UtilMessages.h"
#include "platform/LibraryLoader.h"
#include "platform/Text.h"
#include "platform/os/Win32Registry.h"
#include "framework/comm/BoundedLink.h"
#include "plugins/paper/PaperSettings.h"
#include "framework/comm/QkcPrinterLink.h"
#include "plugins/paper/SettingsExchange.h"
#include "plugins/printerinfo/TestReceipt.h"
#include "resource.h"

namespace qk::printerinfo {
namespace {

constexpr char16_t kScreen[] = u"QKUPRNINFO_DLL";

// Screen messages of the page.
constexpr int kMsgCopied = 0, kMsgNotCopied = 1, kMsgSaved = 2, kMsgNotSaved = 3, kMsgPrinted = 4,
              kMsgOffline = 5, kMsgCoverOpen = 6, kMsgPaperOut = 7, kMsgNoAnswer = 8,
              kMsgNotFinished = 9, kMsgResetQuestion = 10, kMsgReset = 11, kMsgNotReset = 12,
              kMsgCountersNotRead = 13, kMsgBusy = 14;
// The screen string after the labels: the save dialog's filter; after the counters' names and
// units, the line of one counter.
constexpr int kStrFilter = kLabelCount;
constexpr int kStrCounterLine = kCounterStrings + 6;
constexpr int kStrReadAt = kCounterStrings + 7, kStrLibrary = kCounterStrings + 8,
              kStrDriver = kCounterStrings + 9;
static_assert(kStrFilter + 1 == kCounterStrings);

// Status strip codes that refuse a print.
constexpr int32_t kStatusOffline = 1, kStatusNoStatus = 2, kStatusCoverOpen = 6,
                  kStatusPaperOut = 7, kStatusOfflineToo = 16, kStatusUnknown = -1;

struct OutcomeMessage {
    PrintOutcome outcome;
    int message;
    const char16_t* english;
};
constexpr OutcomeMessage kOutcomeMessages[] = {
    {PrintOutcome::Printed, kMsgPrinted, u"The test receipt was printed."},
    {PrintOutcome::Offline, kMsgOffline, u"The printer is offline. Nothing was printed."},
    {PrintOutcome::CoverOpen, kMsgCoverOpen,
     u"The printer's cover is open. Close it and try again. Nothing was printed."},
    {PrintOutcome::PaperOut, kMsgPaperOut,
     u"The printer is out of paper. Load paper and try again. Nothing was printed."},
    {PrintOutcome::NoAnswer, kMsgNoAnswer, u"The printer did not answer. Nothing was printed."},
    {PrintOutcome::NotFinished, kMsgNotFinished,
     u"The test receipt may not have been printed in full: the printer did not report the cut."},
};

// Replaces "%1" and "%2" (appended when a translation lost them); no format function sees
// language-file text.
std::u16string Fill2(std::u16string text, const std::u16string& first,
                     const std::u16string& second) {
    for (auto [mark, value] : {std::pair{u"%1", &first}, std::pair{u"%2", &second}}) {
        const size_t at = text.find(mark);
        if (at == std::u16string::npos)
            text += u" " + *value;
        else
            text.replace(at, 2, *value);
    }
    return text;
}

std::u16string Decimal(uint64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace

CPrinterInfoView::CPrinterInfoView() : CSingleFormView(IDD_PRNINFO_VIEW, kScreen) {}

void CPrinterInfoView::OnInitialUpdate() {
    CSingleFormView::OnInitialUpdate();
    PageTexts().ApplyCaptions(m_hWnd);
    ShowInformation();
}

void CPrinterInfoView::OnActivatePage() {
    CSingleFormView::OnActivatePage();
    ShowInformation();
}

bool CPrinterInfoView::OnCommand(UINT code, UINT id, HWND control) {
    if (code == BN_CLICKED && id == IDC_PRNINFO_COPY) {
        OnCopyClicked();
        return true;
    }
    if (code == BN_CLICKED && id == IDC_PRNINFO_SAVE) {
        OnSaveClicked();
        return true;
    }
    if (code == BN_CLICKED && id == IDC_PRNINFO_PRINT) {
        OnTestPrintClicked();
        return true;
    }
    if (code == BN_CLICKED && id == IDC_PRNINFO_COUNTERS_READ) {
        OnReadCountersClicked();
        return true;
    }
    if (code == BN_CLICKED && id == IDC_PRNINFO_COUNTERS_RESET) {
        OnResetCountersClicked();
        return true;
    }
    return CSingleFormView::OnCommand(code, id, control);
}

int32_t CPrinterInfoView::ReadSettings() {
    std::lock_guard lock(m_readLock);
    m_readAt = LocalTimeText();
    return 1;
}

InfoDetails CPrinterInfoView::Details() {
    InfoDetails details;
    {
        std::lock_guard lock(m_readLock);
        details.readAt = m_readAt;
    }
    details.readAtLabel =
        PageTexts().TextOr(LangListKind::ScreenStrings, kStrReadAt, details.readAtLabel);
    details.libraryLabel =
        PageTexts().TextOr(LangListKind::ScreenStrings, kStrLibrary, details.libraryLabel);
    details.driverLabel =
        PageTexts().TextOr(LangListKind::ScreenStrings, kStrDriver, details.driverLabel);
    UtilContext* context = Context();
    int32_t version = 0;
    if (context && comm::IsBound(context->binding) &&
        context->binding->QKC_GetAccessVersion(&version) == 0)
        details.libraryVersion = VersionText(version);
    // The port driver's version, as its installer registered it.
    os::Win32Registry registry;
    const std::u16string key =
        std::u16string(sys::kUninstallKey) + u"\\" + sys::kPortDriverProductCode;
    for (os::RegRoot root : {os::RegRoot::LocalMachine, os::RegRoot::LocalMachine64})
        if (details.driverVersion.empty())
            registry.ReadString(root, key, u"DisplayVersion", details.driverVersion);
    return details;
}

InfoLabels CPrinterInfoView::Labels() const {
    InfoLabels labels = EnglishLabels();
    for (int i = 0; i < kLabelCount; ++i)
        labels[i] = PageTexts().TextOr(LangListKind::ScreenStrings, i, labels[i]);
    return labels;
}

std::u16string CPrinterInfoView::Message(int index, const char16_t* english) const {
    return PageTexts().TextOr(LangListKind::ScreenMessages, index, english);
}

void CPrinterInfoView::ShowInformation() {
    UtilContext* context = Context();
    IPluginDataMgr* store = DataManager();
    if (!m_hWnd || !context || !store)
        return;
    const InfoDetails details = Details();
    m_text = InformationText(*context, *store, Labels(), LocalTimeText(), &details);
    ::SetDlgItemTextW(m_hWnd, IDC_PRNINFO_TEXT, WidePtr(m_text));
    // Without a printer there is nothing to print on or to read counters from.
    const bool printer = context->startMode != kStartFileMode;
    for (int id : {IDC_PRNINFO_PRINT, IDC_PRNINFO_COUNTERS_READ, IDC_PRNINFO_COUNTERS_RESET})
        ::EnableWindow(GetDlgItem(id), printer);
    ShowCounters();
}

void CPrinterInfoView::OnCopyClicked() {
    bool copied = false;
    const size_t bytes = (m_text.size() + 1) * sizeof(char16_t);
    if (::OpenClipboard(m_hWnd)) {
        ::EmptyClipboard();
        HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (void* target = memory ? ::GlobalLock(memory) : nullptr) {
            std::memcpy(target, m_text.c_str(), bytes);
            ::GlobalUnlock(memory);
            // The clipboard owns the memory once it took it.
            copied = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (memory && !copied)
            ::GlobalFree(memory);
        ::CloseClipboard();
    }
    if (!copied)
        ShowWarning(m_hWnd, WidePtr(Message(kMsgNotCopied, u"The information could not be "
                                                           u"copied to the clipboard.")));
    else
        ShowInfo(m_hWnd, WidePtr(Message(kMsgCopied, u"The information was copied to the "
                                                     u"clipboard.")));
}

std::u16string CPrinterInfoView::ChooseFile() const {
    // The filter's parts are separated by '|' in the language file; the dialog wants NULs.
    std::u16string filter = PageTexts().TextOr(LangListKind::ScreenStrings, kStrFilter,
                                               u"Text files (*.txt)|*.txt|All files (*.*)|*.*|");
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
    ofn.lpstrDefExt = L"txt";
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_OVERWRITEPROMPT;
    // The dialog's library comes when the operator first saves, not with the page.
    static auto* const saveDialog =
        SystemLibraryFunction<decltype(::GetSaveFileNameW)>(L"comdlg32.dll", "GetSaveFileNameW");
    if (!saveDialog || !saveDialog(&ofn))
        return {};
    return FromWide(path);
}

void CPrinterInfoView::OnSaveClicked() {
    const std::u16string path = ChooseFile();
    if (path.empty())
        return;
    if (SaveInformationText(path, m_text) != 0) {
        ShowWarning(m_hWnd, WidePtr(Message(kMsgNotSaved, u"The information could not be saved "
                                                          u"to the file.")));
        return;
    }
    ShowInfo(m_hWnd, WidePtr(Message(kMsgSaved, u"The information was saved.")));
}

int32_t CPrinterInfoView::AnswerWaitMs() {
    CommTimings timings{};
    return GetCommTimings(&timings) ? timings.waitMs : 1000;
}

std::u16string CPrinterInfoView::StripRefusal() {
    CFormViewCtrl* controller = Controller();
    HWND owner = controller ? controller->OwnerWindow() : nullptr;
    int32_t status = kStatusUnknown;
    if (owner)
        ::SendMessageW(owner, WM_UTIL_GETSTATUS, reinterpret_cast<WPARAM>(&status), 0);
    PrintOutcome refusal;
    switch (status) {
    case kStatusCoverOpen:
        refusal = PrintOutcome::CoverOpen;
        break;
    case kStatusPaperOut:
        refusal = PrintOutcome::PaperOut;
        break;
    case kStatusOffline:
    case kStatusOfflineToo:
        refusal = PrintOutcome::Offline;
        break;
    case kStatusNoStatus:
    case kStatusUnknown:
        refusal = PrintOutcome::NoAnswer;
        break;
    default:
        return u"";
    }
    for (const OutcomeMessage& row : kOutcomeMessages)
        if (row.outcome == refusal)
            return Message(row.message, row.english);
    return u"";
}

int32_t CPrinterInfoView::RunOnPrinter(ExchangeWorkerProc worker) {
    CommCtrl().SetWorkerProc(worker);
    return CommCtrl().RunExchange(this);
}

void CPrinterInfoView::ShowBusy() {
    ShowWarning(m_hWnd, WidePtr(Message(kMsgBusy, u"The printer is busy with another exchange. "
                                                  u"Try again when it has ended.")));
}

void CPrinterInfoView::ShowPrintOutcome(PrintOutcome outcome) {
    for (const OutcomeMessage& row : kOutcomeMessages) {
        if (row.outcome != outcome)
            continue;
        const std::u16string text = Message(row.message, row.english);
        if (outcome == PrintOutcome::Printed)
            ShowInfo(m_hWnd, WidePtr(text));
        else
            ShowWarning(m_hWnd, WidePtr(text));
    }
}

void CPrinterInfoView::OnTestPrintClicked() {
    // The strip's status says at once what stops the printer; the exchange asks it again.
    const std::u16string refusal = StripRefusal();
    if (!refusal.empty()) {
        ShowWarning(m_hWnd, WidePtr(refusal));
        return;
    }
    m_printOutcome = PrintOutcome::NoAnswer;
    const int32_t result = RunOnPrinter(&CPrinterInfoView::PrintWorker);
    if (result == kExchangeNotSetUp) {
        ShowBusy();
        return;
    }
    if (result != 1 && m_printOutcome == PrintOutcome::Printed)
        m_printOutcome = PrintOutcome::NotFinished;
    ShowCounters();
    ShowPrintOutcome(m_printOutcome);
}

void CPrinterInfoView::OnReadCountersClicked() {
    m_counters.clear();
    const int32_t result = RunOnPrinter(&CPrinterInfoView::ReadCountersWorker);
    ShowCounters();
    if (result == kExchangeNotSetUp) {
        ShowBusy();
        return;
    }
    if (result != 1)
        ShowWarning(m_hWnd, WidePtr(Message(kMsgCountersNotRead,
                                            u"The printer's counters could not be read.")));
}

void CPrinterInfoView::OnResetCountersClicked() {
    const std::u16string question =
        Message(kMsgResetQuestion, u"Reset the counters since their last reset (paper fed, head "
                                   u"energised, autocutter cuts)? The lifetime counters stay.");
    if (AskYesNo(m_hWnd, WidePtr(question)) != IDYES)
        return;
    m_countersReset = false;
    const int32_t result = RunOnPrinter(&CPrinterInfoView::ResetCountersWorker);
    ShowCounters();
    if (result == kExchangeNotSetUp) {
        ShowBusy();
        return;
    }
    if (result == 1 && m_countersReset)
        ShowInfo(m_hWnd, WidePtr(Message(kMsgReset, u"The counters were reset.")));
    else
        ShowWarning(m_hWnd, WidePtr(Message(kMsgNotReset, u"The counters could not be reset.")));
}

void CPrinterInfoView::ShowCounters() {
    if (!m_hWnd)
        return;
    const InfoLabels labels = Labels();
    const std::u16string line = PageTexts().TextOr(LangListKind::ScreenStrings, kStrCounterLine,
                                                   u"%1 since reset, %2 in all");
    std::u16string text;
    for (std::size_t i = 0; i < std::size(kMaintenanceCounters); ++i) {
        const MaintenanceCounter& counter = kMaintenanceCounters[i];
        const std::u16string unit = PageTexts().TextOr(LangListKind::ScreenStrings,
                                                       counter.unitString, counter.englishUnit);
        auto shown = [&](const std::optional<uint64_t>& value) {
            return value ? Decimal(*value) + u" " + unit : labels[kLabelNotRead];
        };
        const CounterValues values = i < m_counters.size() ? m_counters[i] : CounterValues{};
        text += PageTexts().TextOr(LangListKind::ScreenStrings, counter.nameString,
                                   counter.englishName);
        if (!values.sinceReset && !values.lifetime)
            text += u": " + labels[kLabelNotRead] + u"\r\n";
        else
            text += u": " + Fill2(line, shown(values.sinceReset), shown(values.lifetime)) + u"\r\n";
    }
    ::SetDlgItemTextW(m_hWnd, IDC_PRNINFO_COUNTERS, WidePtr(text));
}

Bytes CPrinterInfoView::MakeReceipt(comm::IPrinterLink& link, int32_t waitMs) {
    ReceiptFacts facts;
    facts.date = LocalTimeText();
    IPluginDataMgr* store = DataManager();
    paper::PaperSettings settings;
    if (store) {
        PrinterInfoBlock info{};
        if (store->ReadBlock(kPrinterInfoBlockKey, &info, sizeof info) == 0) {
            facts.model = SlotView(info.strings[1], kPrinterInfoStringChars);
            facts.firmware = SlotView(info.strings[2], kPrinterInfoStringChars);
            facts.serial = SlotView(info.strings[3], kPrinterInfoStringChars);
        }
        LogoSettingBlock logo{};
        if (store->ReadBlock(kLogoSettingBlockKey, &logo, sizeof logo) == 0) {
            facts.logoKeyCode1 = logo.topKeyCode[0];
            facts.logoKeyCode2 = logo.topKeyCode[1];
        }
        settings.Load(*store);
    }
    // What the printer holds now; a value it does not answer keeps the last read's.
    paper::SettingsExchange(link, waitMs).ReadAll(settings);
    facts.paperWidth = settings.Value(3);
    facts.density = settings.Value(5);
    facts.speed = settings.Value(6);
    facts.codeTable = settings.Value(8);
    facts.charSet = settings.Value(9);
    return TestReceipt(facts);
}

namespace {

// One worker's way to the printer for the page's exchange.
template <typename Body> unsigned RunWorker(void* page, Body body) {
    try {
        auto* view = static_cast<CPrinterInfoView*>(page);
        if (!view)
            return static_cast<unsigned>(kExchangeMissingLibrary);
        return static_cast<unsigned>(body(*view));
    } catch (...) {
        return static_cast<unsigned>(kExchangeMissingLibrary);
    }
}

} // namespace

int32_t
CPrinterInfoView::OnPrinterLink(const std::function<int32_t(comm::IPrinterLink&, int32_t)>& body) {
    UtilContext* context = Context();
    CommCtrl().ReportProgress(0);
    const int32_t waitMs = AnswerWaitMs();
    comm::CQkcPrinterLink port(context ? context->binding : nullptr, waitMs);
    comm::CBoundedLink link(port, comm::kExchangeAnswerLimitMs,
                            [this] { return CommCtrl().StopRequested(); });
    return body(link, waitMs);
}

unsigned __stdcall CPrinterInfoView::PrintWorker(void* page) {
    return RunWorker(page, [](CPrinterInfoView& view) {
        return view.OnPrinterLink([&view](comm::IPrinterLink& link, int32_t waitMs) {
            MaintenanceExchange exchange(link, waitMs);
            // Nothing of the receipt goes to a printer that cannot print it.
            const PrinterReadiness ready = exchange.CheckReady();
            if (ready != PrinterReadiness::Ready) {
                view.m_printOutcome = ready == PrinterReadiness::CoverOpen ? PrintOutcome::CoverOpen
                                      : ready == PrinterReadiness::PaperOut ? PrintOutcome::PaperOut
                                      : ready == PrinterReadiness::Offline  ? PrintOutcome::Offline
                                                                           : PrintOutcome::NoAnswer;
                return 1;
            }
            const Bytes receipt = view.MakeReceipt(link, waitMs);
            view.CommCtrl().ReportProgress(40);
            view.m_printOutcome = exchange.Print(receipt);
            view.CommCtrl().ReportProgress(80);
            view.m_counters = exchange.ReadCounters();
            view.CommCtrl().ReportProgress(100);
            return 1;
        });
    });
}

unsigned __stdcall CPrinterInfoView::ReadCountersWorker(void* page) {
    return RunWorker(page, [](CPrinterInfoView& view) {
        return view.OnPrinterLink([&view](comm::IPrinterLink& link, int32_t waitMs) {
            view.m_counters = MaintenanceExchange(link, waitMs).ReadCounters();
            view.CommCtrl().ReportProgress(100);
            for (const CounterValues& values : view.m_counters)
                if (!values.sinceReset || !values.lifetime)
                    return -1;
            return 1;
        });
    });
}

unsigned __stdcall CPrinterInfoView::ResetCountersWorker(void* page) {
    return RunWorker(page, [](CPrinterInfoView& view) {
        return view.OnPrinterLink([&view](comm::IPrinterLink& link, int32_t waitMs) {
            MaintenanceExchange exchange(link, waitMs);
            view.m_countersReset = exchange.ResetCounters();
            view.m_counters = exchange.ReadCounters();
            view.CommCtrl().ReportProgress(100);
            return 1;
        });
    });
}

} // namespace qk::printerinfo
