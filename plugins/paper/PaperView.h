// The paper and print settings page (template 9, texts of screen "QKUPAPERSTG_DLL"): paper
// width, print density, print speed, code table and international character set as named
// choices. The settings read fills its blocks from the printer; leaving the page with
// changes writes them to the printer (or, in the file mode, only to the blocks that the
// settings command file is built from).
#pragma once
#include <string>
#include "framework/view/PrinterPageView.h"
#include "plugins/paper/PaperChoices.h"
#include "plugins/paper/SettingsExchange.h"

namespace qk::paper {

class CPaperView : public CPrinterPage<ExchangeReport> {
public:
    CPaperView();

    int32_t IsModified() override;
    // Sends the changed values to the printer under the progress dialog and reads them back:
    // 1 when the printer holds them all, else the failure (the edits stay on the page).
    int32_t WriteSettings() override;
    // The file mode: the edits go into the blocks only.
    int32_t SaveToFile() override;
    void OnInitialUpdate() override;

protected:
    // The settings read: every value from the printer into the blocks; 1, -1 when some were
    // not answered, -64 when the printer did not answer.
    int32_t ReadPrinter(const PrinterWork& work, ExchangeReport& read) override;
    void ShowRead(const ExchangeReport& read) override;
    void ShowStored() override;
    int32_t ExchangeOnWorker(const PrinterWork& work) override;

private:
    PaperSettings WantedFromChoices() const;
    void FillChoices(const ShownSetting& shown, uint16_t value);
    void ShowValues(const PaperSettings& settings);
    // "Paper width, Code table" for the missed values of a report.
    std::u16string MissedNames(const ExchangeReport& report) const;

    PaperSettings m_held; // what the store holds, as the page last saw it

    // A write: what is sent and what the printer holds afterwards (worker thread).
    PaperSettings m_wanted;
    PaperSettings m_written;
    ExchangeReport m_writeReport;
};

} // namespace qk::paper
