// The printer information page (template 12, texts of screen "QKUPRNINFO_DLL"): what the printer
// is, as the last settings read learned it, and the port it was read on; copied to the
// clipboard or saved as a text file for a support call. Below it, the test print and the
// printer's maintenance counters, each an exchange under the progress dialog.
#pragma once
#include <functional>
#include <mutex>
#include <string>
#include <vector>
#include "framework/view/SingleFormView.h"
#include "plugins/printerinfo/MaintenanceExchange.h"
#include "plugins/printerinfo/PrinterInfoText.h"

namespace qk::printerinfo {

class CPrinterInfoView : public CSingleFormView {
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

private:
    void OnCopyClicked();
    void OnSaveClicked();
    void OnTestPrintClicked();
    void OnReadCountersClicked();
    void OnResetCountersClicked();
    // Runs the worker under the progress dialog; its result, or the exchange's failure.
    int32_t RunOnPrinter(ExchangeWorkerProc worker);
    // The status strip's word on the printer: a refusal's message, or "" when it may print.
    std::u16string StripRefusal();
    void ShowCounters();
    // Another exchange (the settings read) holds the printer.
    void ShowBusy();
    void ShowPrintOutcome(PrintOutcome outcome);
    // Builds the receipt from what the printer holds now (worker thread).
    Bytes MakeReceipt(comm::IPrinterLink& link, int32_t waitMs);
    int32_t AnswerWaitMs();
    // Opens the bounded printer link a worker runs its exchange on (worker thread).
    int32_t OnPrinterLink(const std::function<int32_t(comm::IPrinterLink&, int32_t)>& body);

    static unsigned __stdcall PrintWorker(void* page);
    static unsigned __stdcall ReadCountersWorker(void* page);
    static unsigned __stdcall ResetCountersWorker(void* page);
    void ShowInformation();
    InfoLabels Labels() const;
    // The read time and the versions, with their labels.
    InfoDetails Details();
    std::u16string Message(int index, const char16_t* english) const;
    // The operator's choice of a file to save to; empty when cancelled.
    std::u16string ChooseFile() const;

    std::u16string m_text;
    std::mutex m_readLock;
    std::u16string m_readAt; // when the last settings read ran, under m_readLock

    // Handed between the page and its exchange's worker (one exchange at a time).
    PrintOutcome m_printOutcome = PrintOutcome::NoAnswer;
    std::vector<CounterValues> m_counters;
    bool m_countersReset = false;
};

} // namespace qk::printerinfo
