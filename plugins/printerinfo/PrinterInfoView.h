// The printer information page (template 12, texts of screen "QKUPRNINFO_DLL"): what the printer
// is, as the last settings read learned it, and the port it was read on; copied to the
// clipboard or saved as a text file for a support call. Below it, the test print and the
// printer's maintenance counters, each an exchange under the progress dialog.
#pragma once
#include <mutex>
#include <string>
#include <vector>
#include "framework/view/ExchangePageView.h"
#include "plugins/printerinfo/MaintenanceExchange.h"
#include "plugins/printerinfo/PrinterInfoText.h"

namespace qk::printerinfo {

class CPrinterInfoView : public CExchangePageView {
public:
    CPrinterInfoView();

    void OnInitialUpdate() override;
    // The settings read (on its worker thread): the page reads nothing itself, it notes when
    // the read ran. 1.
    int32_t ReadSettings() override;
    // The settings read may have run since the page was last shown.
    void OnActivatePage() override;

protected:
    bool OnCommand(UINT code, UINT id, HWND control) override;
    // The exchange that m_task names.
    int32_t ExchangeOnWorker(const PrinterWork& work) override;

private:
    enum class Task { Print, ReadCounters, ResetCounters };

    void OnCopyClicked();
    void OnSaveClicked();
    void OnTestPrintClicked();
    void OnReadCountersClicked();
    void OnResetCountersClicked();
    // Runs the task under the progress dialog; its result, or the exchange's failure.
    int32_t RunOnPrinter(Task task);
    // The status strip's word on the printer: a refusal's message, or "" when it may print.
    std::u16string StripRefusal();
    void ShowCounters();
    // Another exchange (the settings read) holds the printer.
    void ShowBusy();
    void ShowPrintOutcome(PrintOutcome outcome);
    // Builds the receipt from what the printer holds now (worker thread).
    Bytes MakeReceipt(comm::IPrinterLink& link, int32_t waitMs, IPluginDataMgr* store);
    // The exchanges (worker thread); each answers 1 when it ran, the counters' read -1 when a
    // value was not read.
    int32_t PrintOnWorker(comm::IPrinterLink& link, int32_t waitMs, IPluginDataMgr* store);
    int32_t ReadCountersOnWorker(comm::IPrinterLink& link, int32_t waitMs);
    int32_t ResetCountersOnWorker(comm::IPrinterLink& link, int32_t waitMs);
    void ShowInformation();
    InfoLabels Labels() const;
    // The read time and the versions, with their labels.
    InfoDetails Details();

    std::u16string m_text;
    std::mutex m_readLock;
    std::u16string m_readAt; // when the last settings read ran, under m_readLock

    // Handed between the page and its exchange's worker (one exchange at a time).
    Task m_task = Task::Print;
    PrintOutcome m_printOutcome = PrintOutcome::NoAnswer;
    std::vector<CounterValues> m_counters;
    bool m_countersReset = false;
};

} // namespace qk::printerinfo
