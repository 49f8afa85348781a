// The paper and print settings page (template 9, texts of screen "QKUPAPERSTG_DLL"): paper
// width, print density, print speed, code table and international character set as named
// choices. The settings read fills its blocks from the printer; leaving the page with
// changes writes them to the printer (or, in the file mode, only to the blocks that the
// settings command file is built from).
#pragma once
#include <mutex>
#include <string>
#include "framework/view/SingleFormView.h"
#include "plugins/paper/PaperChoices.h"
#include "plugins/paper/SettingsExchange.h"

namespace qk::paper {

class CPaperView : public CSingleFormView {
public:
    // Posted to the page by a settings read that ran on the exchange's worker thread.
    static constexpr UINT kReadDoneMessage = WM_APP + 41;

    CPaperView();

    int32_t IsModified() override;
    // Sends the changed values to the printer under the progress dialog and reads them back:
    // 1 when the printer holds them all, else the failure (the edits stay on the page).
    int32_t WriteSettings() override;
    // The file mode: the edits go into the blocks only.
    int32_t SaveToFile() override;
    // The settings read (on the host's worker thread): every value from the printer into the
    // blocks; 1, -1 when some were not answered, -64 when the printer did not answer.
    int32_t ReadSettings() override;
    void OnInitialUpdate() override;

    // Brings the choices to what the store holds.
    void ShowStoredSettings();

    static unsigned __stdcall WriteWorker(void* page);

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    int32_t RunWrite();
    void OnReadDone();
    PaperSettings WantedFromChoices() const;
    void FillChoices(const ShownSetting& shown, uint16_t value);
    void ShowValues(const PaperSettings& settings);
    // "Paper width, Code table" for the missed values of a report.
    std::u16string MissedNames(const ExchangeReport& report) const;
    std::u16string Message(int index, const char16_t* english) const;
    void ShowNote(const std::u16string& text);
    int32_t AnswerWaitMs();
    PaperSettings LoadStored();

    PaperSettings m_held; // what the store holds, as the page last saw it
    bool m_choicesShown = false;

    // A write: what is sent and what the printer holds afterwards (worker thread).
    PaperSettings m_wanted;
    PaperSettings m_written;
    ExchangeReport m_writeReport;
    bool m_writeRan = false;

    // The last settings read's report, handed from the worker to the page.
    std::mutex m_readLock;
    ExchangeReport m_readReport;
    std::u16string m_readNote; // what the last read could not do, for the page
    bool m_readNoteStale = false;
};

} // namespace qk::paper
