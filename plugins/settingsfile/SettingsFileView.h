// The settings file page (template 11, texts of screen "QKUSETFILESTG_DLL"): saves this
// printer's settings as a settings command file; checks a settings command file against this
// printer (whole, unchanged, made for this model) and lists what it sets; applies one: what
// the printer holds now is read, the changes are shown and asked for, the file is sent under
// the progress dialog and every setting is read back and reported; or applies one to several
// registered printers at once (CMultiApplyDlg), this printer by the same exchanges.
#pragma once
#include <string>
#include "framework/view/FileChooser.h"
#include "framework/view/ExchangePageView.h"
#include "plugins/settingsfile/SettingsFileApply.h"
#include "plugins/settingsfile/SettingsFileCheck.h"
#include "plugins/settingsfile/MultiApplyRun.h"

namespace qk::settingsfile {

class CSettingsFileView : public CExchangePageView {
public:
    CSettingsFileView();

protected:
    bool OnCommand(UINT code, UINT id, HWND control) override;
    // The exchange of an apply that m_task names.
    int32_t ExchangeOnWorker(const PrinterWork& work) override;

private:
    // What the printer holds now, or the file sent and every setting read back.
    enum class Task { ReadHeld, Apply };

    void OnSaveClicked();
    void OnCheckClicked();
    void OnApplyClicked();
    void OnMultiClicked();
    // The apply of m_file to this printer without a question, for the several printers'
    // dialog: an UnattendedExitCode, as a run of its own would end with.
    int32_t ApplyWithoutAsking(ResultSummary& summary);
    // False (the operator told) when the window has no printer.
    bool HasPrinter();
    // Chooses and checks a file; false (the operator told why) when it may not be sent.
    // `chosen`, when given, receives its path.
    bool ChooseCheckedFile(CheckedFile& file, std::u16string* chosen = nullptr);
    // Runs the task under the progress dialog; the exchange's result.
    int32_t RunApplyExchange(Task task);
    // "setting: now -> after" of every setting the file changes.
    std::u16string ChangeLines() const;
    // Per setting: what the file sets and what the printer read back.
    std::u16string OutcomeLines() const;
    // The operator's choice of a file; empty when cancelled.
    std::u16string ChooseFile(FileChoice choice) const;
    // What a refused file is told with.
    std::u16string RefusalText(int32_t result) const;
    // One line per setting the file carries.
    std::u16string SettingLines(const CheckedFile& file) const;
    std::u16string SettingName(const FileSetting& setting) const;

    // The file being applied and what its exchanges found (written by the worker while the
    // page waits in the progress dialog).
    Task m_task = Task::ReadHeld;
    CheckedFile m_file;
    ApplyReport m_report;
};

} // namespace qk::settingsfile
