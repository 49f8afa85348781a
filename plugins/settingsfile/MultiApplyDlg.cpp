#include "plugins/settingsfile/MultiApplyDlg.h"

#include "framework/lang/LangResTable.h"
#include "framework/plugin/UnattendedExitCode.h"
#include "framework/view/UtilMessageBox.h"
#include "platform/Module.h"
#include "platform/Sync.h"
#include "platform/Text.h"
#include "platform/os/RealOs.h"
#include "plugins/settingsfile/SettingText.h"
#include "resource.h"

namespace qk::settingsfile {
namespace {

// A run's row changed: wp the run, lp its new row (a ChildRow the handler owns).
constexpr UINT kMsgChildRow = WM_APP + 0x231;
// Every run has ended.
constexpr UINT kMsgChildrenDone = WM_APP + 0x232;
// The worker has told its end; it is gone within this.
constexpr DWORD kWorkerEndMs = 10000;

constexpr int kColumnResult = 2;

// Screen strings of the dialog.
constexpr int kStrTitle = 14, kStrWaiting = 15, kStrApplying = 16, kStrNotStarted = 17,
              kStrTimedOut = 18, kStrApplied = 19, kStrAlreadyHeld = 20, kStrRefused = 21,
              kStrNoPrinter = 22, kStrLost = 23, kStrNotHeld = 24, kStrFailed = 25,
              kStrHolding = 26, kStrNoResultFile = 27, kStrThisWindow = 28;
constexpr int kMsgNoneChecked = 17;

} // namespace

CMultiApplyDlg::CMultiApplyDlg(const CLangResTable& texts, std::vector<PrinterTarget> printers,
                               std::u16string filePath, std::u16string program,
                               std::u16string dataFolder, ApplyHere applyHere)
    : CDialog(IDD_SETFILE_MULTI, ThisModule()), m_texts(texts), m_printers(std::move(printers)),
      m_filePath(std::move(filePath)), m_program(std::move(program)),
      m_dataFolder(std::move(dataFolder)), m_applyHere(std::move(applyHere)) {}

CMultiApplyDlg::~CMultiApplyDlg() {
    // Only reached with the worker still there when the window went without OnCancel.
    if (m_worker) {
        ::WaitForSingleObject(m_worker, kWorkerEndMs);
        ::CloseHandle(m_worker);
    }
}

std::u16string CMultiApplyDlg::String(int index, const char16_t* english) const {
    return m_texts.TextOr(LangListKind::ScreenStrings, index, english);
}

bool CMultiApplyDlg::OnInitDialog() {
    m_texts.ApplyCaptions(m_hWnd);
    ::SetWindowTextW(m_hWnd, WidePtr(String(kStrTitle, u"Apply to Several Printers")));
    ::SetDlgItemTextW(m_hWnd, IDC_SETFILE_MULTI_FILE, WidePtr(m_filePath));
    m_list.AttachDlgItem(m_hWnd, IDC_SETFILE_MULTI_LIST);
    m_list.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    m_texts.ApplyListColumns(m_hWnd);
    for (size_t i = 0; i < m_printers.size(); ++i) {
        const PrinterTarget& printer = m_printers[i];
        const std::u16string name =
            printer.thisPrinter ? Fill(String(kStrThisWindow, u"%s (this window)"), printer.name)
                                : printer.name;
        const int row = m_list.InsertItem(static_cast<int>(i), WidePtr(name));
        m_list.SetItemText(row, 1, WidePtr(printer.port));
        m_list.SetCheck(row, true);
    }
    return true;
}

void CMultiApplyDlg::OnCancel() {
    if (m_childrenRunning || m_applyingHere) {
        ::MessageBeep(MB_OK);
        return;
    }
    CDialog::OnCancel();
}

void CMultiApplyDlg::OnDestroy() {
    m_list.Detach();
    CDialog::OnDestroy();
}

bool CMultiApplyDlg::OnCommand(UINT code, UINT id, HWND control) {
    if (code == BN_CLICKED && id == IDC_SETFILE_MULTI_START) {
        OnStartClicked();
        return true;
    }
    return CDialog::OnCommand(code, id, control);
}

bool CMultiApplyDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == kMsgChildRow) {
        OnChildRowChanged(static_cast<size_t>(wp),
                          std::unique_ptr<ChildRow>(reinterpret_cast<ChildRow*>(lp)));
        result = 0;
        return true;
    }
    if (msg == kMsgChildrenDone) {
        OnChildrenDone();
        result = 0;
        return true;
    }
    return CDialog::OnMessage(msg, wp, lp, result);
}

void CMultiApplyDlg::SetResult(int row, const std::u16string& text) {
    m_list.SetItemText(row, kColumnResult, WidePtr(text));
}

void CMultiApplyDlg::SetBusy(bool busy) {
    for (int id : {IDC_SETFILE_MULTI_START, IDCANCEL, IDC_SETFILE_MULTI_LIST})
        ::EnableWindow(::GetDlgItem(m_hWnd, id), busy ? FALSE : TRUE);
}

void CMultiApplyDlg::OnStartClicked() {
    std::vector<int> children;
    int here = -1;
    for (int row = 0; row < m_list.GetItemCount(); ++row) {
        if (!m_list.GetCheck(row))
            continue;
        SetResult(row, String(kStrWaiting, u"waiting"));
        if (m_printers[static_cast<size_t>(row)].thisPrinter)
            here = row;
        else
            children.push_back(row);
    }
    if (children.empty() && here < 0) {
        ShowWarning(m_hWnd, WidePtr(m_texts.TextOr(LangListKind::ScreenMessages, kMsgNoneChecked,
                                                   u"Check the printers to apply the file to.")));
        return;
    }
    SetBusy(true);
    StartChildren(children);
    if (here >= 0)
        ApplyHereRow(here);
    FinishIfDone();
}

void CMultiApplyDlg::StartChildren(const std::vector<int>& rows) {
    if (rows.empty())
        return;
    m_run =
        std::make_unique<CMultiApplyRun>(os::RealProcessLauncher(), os::RealClock(),
                                         os::RealFileSystem(), m_program, m_filePath, m_dataFolder);
    m_listRowOfChild = rows;
    for (int row : rows)
        m_run->AddTarget(m_printers[static_cast<size_t>(row)].port);
    m_childrenRunning = true;
    m_worker = StartWorkerThread(&CMultiApplyDlg::ChildrenWorker, this);
    if (m_worker)
        return;
    m_childrenRunning = false;
    for (int row : rows)
        SetResult(row, String(kStrNotStarted, u"could not be started"));
}

void CMultiApplyDlg::ApplyHereRow(int row) {
    SetResult(row, String(kStrApplying, u"applying"));
    m_applyingHere = true;
    // The progress dialog's loop goes on taking the runs' rows meanwhile.
    ChildRow here;
    here.state = ChildState::Ended;
    here.exitCode = m_applyHere ? m_applyHere(here.summary) : kUnattendedFailed;
    here.summary.read = true; // no result file: the page's own report holds the lines
    m_applyingHere = false;
    SetResult(row, ChildText(here));
}

unsigned __stdcall CMultiApplyDlg::ChildrenWorker(void* dialog) {
    auto* self = static_cast<CMultiApplyDlg*>(dialog);
    const HWND window = self->m_hWnd;
    try {
        self->m_run->Run([window](size_t child, const ChildRow& now) {
            auto* copy = new ChildRow(now);
            if (!::PostMessageW(window, kMsgChildRow, child, reinterpret_cast<LPARAM>(copy)))
                delete copy;
        });
    } catch (...) {
        // Out of memory: the rows not told keep their last words; the dialog still ends.
    }
    ::PostMessageW(window, kMsgChildrenDone, 0, 0);
    return 0;
}

void CMultiApplyDlg::OnChildRowChanged(size_t child, std::unique_ptr<ChildRow> now) {
    if (!now || child >= m_listRowOfChild.size())
        return;
    SetResult(m_listRowOfChild[child], ChildText(*now));
}

void CMultiApplyDlg::OnChildrenDone() {
    if (m_worker) {
        ::WaitForSingleObject(m_worker, kWorkerEndMs);
        ::CloseHandle(m_worker);
        m_worker = nullptr;
    }
    m_childrenRunning = false;
    FinishIfDone();
}

void CMultiApplyDlg::FinishIfDone() {
    if (!m_childrenRunning && !m_applyingHere)
        SetBusy(false);
}

std::u16string CMultiApplyDlg::CodeText(int32_t code) const {
    switch (code) {
    case kUnattendedApplied:
        return String(kStrApplied, u"applied and verified");
    case kUnattendedAlreadyMatching:
        return String(kStrAlreadyHeld, u"already held every setting, nothing sent");
    case kUnattendedFileRefused:
        return String(kStrRefused, u"file refused, nothing sent");
    case kUnattendedNoPrinter:
        return String(kStrNoPrinter, u"printer not found or not answering, nothing sent");
    case kUnattendedLost:
        return String(kStrLost, u"printer lost part-way");
    case kUnattendedNotHeld:
        return String(kStrNotHeld, u"sent, but not every setting holds");
    default:
        return Fill(String(kStrFailed, u"failed (exit code %s)"),
                    Decimal(static_cast<uint32_t>(code)));
    }
}

std::u16string CMultiApplyDlg::ChildText(const ChildRow& row) const {
    switch (row.state) {
    case ChildState::Waiting:
        return String(kStrWaiting, u"waiting");
    case ChildState::Running:
        return String(kStrApplying, u"applying");
    case ChildState::NotStarted:
        return String(kStrNotStarted, u"could not be started");
    case ChildState::TimedOut:
        return String(kStrTimedOut, u"did not end in time and was stopped");
    case ChildState::Ended:
        break;
    }
    std::u16string text = CodeText(row.exitCode);
    if (!row.summary.read)
        return text + u" (" + String(kStrNoResultFile, u"no result file") + u")";
    const bool counted = row.exitCode == kUnattendedApplied ||
                         row.exitCode == kUnattendedAlreadyMatching ||
                         row.exitCode == kUnattendedLost || row.exitCode == kUnattendedNotHeld;
    if (counted && row.summary.settings > 0) {
        std::u16string holding = String(kStrHolding, u"%s of %s settings hold");
        holding = Fill(holding, Decimal(row.summary.holding));
        text += u" (" + Fill(holding, Decimal(row.summary.settings)) + u")";
    }
    return text;
}

} // namespace qk::settingsfile
