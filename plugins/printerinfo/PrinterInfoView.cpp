#include "plugins/printerinfo/PrinterInfoView.h"

#include <cstring>

#include "framework/context/StartMode.h"
#include "framework/context/TextSlot.h"
#include "framework/comm/QkcBinding.h"
#include "framework/context/UtilContext.h"
#include "framework/plugin/FormViewCtrl.h"
#include "framework/store/PluginDataMgrApi.h"
#include "framework/store/PrinterInfoBlock.h"
#include "framework/store/PrinterSettingBlocks.h"
#include "framework/system/EmulatorPort.h"
#include "framework/lang/FilledText.h"
#include "framework/view/FileChooser.h"
#include "framework/view/UtilMessageBox.h"
#include "framework/view/UtilMessages.h"
#include "platform/Dialog.h"
#include "platform/Text.h"
#include "platform/os/Win32Registry.h"
#include "plugins/paper/PaperSettings.h"
#include "plugins/paper/SettingsExchange.h"
#include "plugins/printerinfo/TestReceipt.h"
#include "resource.h"

namespace qk::printerinfo {
namespace {

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

} // namespace

CPrinterInfoView::CPrinterInfoView()
    : CExchangePageView(IDD_PRNINFO_VIEW, u"QKUPRNINFO_DLL", IDC_PRNINFO_TEXT) {}

void CPrinterInfoView::OnInitialUpdate() {
    CExchangePageView::OnInitialUpdate();
    ShowInformation();
}

void CPrinterInfoView::OnActivatePage() {
    CExchangePageView::OnActivatePage();
    ShowInformation();
}

bool CPrinterInfoView::OnCommand(UINT code, UINT id, HWND control) {
    static constexpr Click<CPrinterInfoView> kClicks[] = {
        {IDC_PRNINFO_COPY, &CPrinterInfoView::OnCopyClicked},
        {IDC_PRNINFO_SAVE, &CPrinterInfoView::OnSaveClicked},
        {IDC_PRNINFO_PRINT, &CPrinterInfoView::OnTestPrintClicked},
        {IDC_PRNINFO_COUNTERS_READ, &CPrinterInfoView::OnReadCountersClicked},
        {IDC_PRNINFO_COUNTERS_RESET, &CPrinterInfoView::OnResetCountersClicked}};
    return OnClick(*this, kClicks, code, id) || CExchangePageView::OnCommand(code, id, control);
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
    details.readAtLabel = Text(kStrReadAt, details.readAtLabel);
    details.libraryLabel = Text(kStrLibrary, details.libraryLabel);
    details.driverLabel = Text(kStrDriver, details.driverLabel);
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
        labels[i] = Text(i, labels[i]);
    return labels;
}

void CPrinterInfoView::ShowInformation() {
    UtilContext* context = Context();
    IPluginDataMgr* store = DataManager();
    if (!m_hWnd || !context || !store)
        return;
    const InfoDetails details = Details();
    m_text = InformationText(*context, *store, Labels(), LocalTimeText(), &details);
    ShowNote(m_text);
    // Without a printer there is nothing to print on or to read counters from.
    const bool printer = !FileMode();
    for (int id : {IDC_PRNINFO_PRINT, IDC_PRNINFO_COUNTERS_READ, IDC_PRNINFO_COUNTERS_RESET})
        CDialog::EnableItem(m_hWnd, id, printer);
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

void CPrinterInfoView::OnSaveClicked() {
    const std::u16string path = ChooseFileName(
        m_hWnd, DialogFilter(Text(kStrFilter, u"Text files (*.txt)|*.txt|All files (*.*)|*.*|")),
        L"txt", FileChoice::Save);
    if (path.empty())
        return;
    if (SaveInformationText(path, m_text) != 0) {
        ShowWarning(m_hWnd, WidePtr(Message(kMsgNotSaved, u"The information could not be saved "
                                                          u"to the file.")));
        return;
    }
    ShowInfo(m_hWnd, WidePtr(Message(kMsgSaved, u"The information was saved.")));
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

int32_t CPrinterInfoView::RunOnPrinter(Task task) {
    m_task = task;
    return RunExchange();
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
    const int32_t result = RunOnPrinter(Task::Print);
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
    const int32_t result = RunOnPrinter(Task::ReadCounters);
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
    const int32_t result = RunOnPrinter(Task::ResetCounters);
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
    const std::u16string line = Text(kStrCounterLine, u"%1 since reset, %2 in all");
    std::u16string text;
    for (std::size_t i = 0; i < std::size(kMaintenanceCounters); ++i) {
        const MaintenanceCounter& counter = kMaintenanceCounters[i];
        const std::u16string unit = Text(counter.unitString, counter.englishUnit);
        auto shown = [&](const std::optional<uint64_t>& value) {
            return value ? Decimal(*value) + u" " + unit : labels[kLabelNotRead];
        };
        const CounterValues values = i < m_counters.size() ? m_counters[i] : CounterValues{};
        text += Text(counter.nameString, counter.englishName);
        if (!values.sinceReset && !values.lifetime)
            text += u": " + labels[kLabelNotRead] + u"\r\n";
        else
            text += u": " + Fill2(line, shown(values.sinceReset), shown(values.lifetime)) + u"\r\n";
    }
    ::SetDlgItemTextW(m_hWnd, IDC_PRNINFO_COUNTERS, WidePtr(text));
}

Bytes CPrinterInfoView::MakeReceipt(comm::IPrinterLink& link, int32_t waitMs,
                                    IPluginDataMgr* store) {
    ReceiptFacts facts;
    facts.date = LocalTimeText();
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

int32_t CPrinterInfoView::ExchangeOnWorker(const PrinterWork& work) {
    switch (m_task) {
    case Task::Print:
        return PrintOnWorker(work.link, work.waitMs, work.store);
    case Task::ReadCounters:
        return ReadCountersOnWorker(work.link, work.waitMs);
    case Task::ResetCounters:
        return ResetCountersOnWorker(work.link, work.waitMs);
    }
    return -1;
}

int32_t CPrinterInfoView::PrintOnWorker(comm::IPrinterLink& link, int32_t waitMs,
                                        IPluginDataMgr* store) {
    MaintenanceExchange exchange(link, waitMs);
    // Nothing of the receipt goes to a printer that cannot print it.
    const PrinterReadiness ready = exchange.CheckReady();
    if (ready != PrinterReadiness::Ready) {
        m_printOutcome = ready == PrinterReadiness::CoverOpen  ? PrintOutcome::CoverOpen
                         : ready == PrinterReadiness::PaperOut ? PrintOutcome::PaperOut
                         : ready == PrinterReadiness::Offline  ? PrintOutcome::Offline
                                                               : PrintOutcome::NoAnswer;
        return 1;
    }
    const Bytes receipt = MakeReceipt(link, waitMs, store);
    CommCtrl().ReportProgress(40);
    m_printOutcome = exchange.Print(receipt);
    CommCtrl().ReportProgress(80);
    m_counters = exchange.ReadCounters();
    return 1;
}

int32_t CPrinterInfoView::ReadCountersOnWorker(comm::IPrinterLink& link, int32_t waitMs) {
    m_counters = MaintenanceExchange(link, waitMs).ReadCounters();
    for (const CounterValues& values : m_counters)
        if (!values.sinceReset || !values.lifetime)
            return -1;
    return 1;
}

int32_t CPrinterInfoView::ResetCountersOnWorker(comm::IPrinterLink& link, int32_t waitMs) {
    MaintenanceExchange exchange(link, waitMs);
    m_countersReset = exchange.ResetCounters();
    m_counters = exchange.ReadCounters();
    return 1;
}

} // namespace qk::printerinfo
