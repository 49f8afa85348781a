// "Apply to Several Printers": one checked settings command file taken to the registered
// printers the operator checks, with a row per printer (printer, port, result in words). The
// printer the window works with is applied in this process, through the page's own apply under
// the progress dialog; every other one by a run of the utility of its own on its port
// (CMultiApplyRun), waited for on a worker thread, so the dialog answers all the while. The
// dialog closes only when every run has ended, and every run's time is bounded.
#pragma once
#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "platform/Controls.h"
#include "platform/Dialog.h"
#include "plugins/settingsfile/MultiApplyRun.h"
#include "plugins/settingsfile/PrinterTargets.h"

class CLangResTable;

namespace qk::settingsfile {

class CMultiApplyDlg : public CDialog {
public:
    // Applies the file to the window's own printer; answers an UnattendedExitCode and counts
    // the settings as a run's result file would.
    using ApplyHere = std::function<int32_t(ResultSummary& summary)>;

    // texts: the page's, not owned. program: the utility's own path.
    CMultiApplyDlg(const CLangResTable& texts, std::vector<PrinterTarget> printers,
                   std::u16string filePath, std::u16string program, std::u16string dataFolder,
                   ApplyHere applyHere);
    ~CMultiApplyDlg() override;

protected:
    bool OnInitDialog() override;
    // Not while runs go on: their rows would be left without an end.
    void OnCancel() override;
    bool OnCommand(UINT code, UINT id, HWND control) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnDestroy() override;

private:
    void OnStartClicked();
    // A run's row changed (the worker's copy of it, owned from here on).
    void OnChildRowChanged(size_t child, std::unique_ptr<ChildRow> now);
    void OnChildrenDone();
    void StartChildren(const std::vector<int>& rows);
    void ApplyHereRow(int row);
    void FinishIfDone();
    void SetBusy(bool busy);
    void SetResult(int row, const std::u16string& text);
    std::u16string ChildText(const ChildRow& row) const;
    std::u16string CodeText(int32_t code) const;
    std::u16string String(int index, const char16_t* english) const;
    static unsigned __stdcall ChildrenWorker(void* dialog);

    const CLangResTable& m_texts;
    std::vector<PrinterTarget> m_printers;
    std::u16string m_filePath;
    std::u16string m_program;
    std::u16string m_dataFolder;
    ApplyHere m_applyHere;
    CListCtrl m_list;
    std::unique_ptr<CMultiApplyRun> m_run;
    std::vector<int> m_listRowOfChild; // the list row of each run
    HANDLE m_worker = nullptr;
    bool m_childrenRunning = false;
    bool m_applyingHere = false;
};

} // namespace qk::settingsfile
