// The logo page (template 10, texts of screen "QKULOGOSTG_DLL"): open a picture, see what the
// printer will print, store it under a key code, choose the top and bottom logo with their
// alignment, the logo options and the logo value; list and delete the stored graphics. The
// settings read fills block 0x10007 and the list from the printer; leaving the page with
// changes writes them (in the file mode: the logo work file and the block, which the settings
// command file carries at exit).
#pragma once
#include <string>
#include "framework/view/PrinterPageView.h"
#include "plugins/logo/LogoExchange.h"
#include "plugins/logo/LogoPicture.h"

namespace qk::logo {

// What the settings read brings the page.
struct LogoRead {
    LogoReport report;
    std::vector<KeyCode> stored;
};

class CLogoView : public CPrinterPage<LogoRead> {
public:
    CLogoView();

    int32_t IsModified() override;
    // Stores a converted picture and sends the changed logo settings under the progress
    // dialog, then reads them back: 1 when the printer holds them all, else the failure.
    int32_t WriteSettings() override;
    // The file mode: the converted picture into the logo work file, the settings into the
    // block.
    int32_t SaveToFile() override;
    void OnInitialUpdate() override;

    // Reads and converts the picture; a picture that cannot be used is told and changes
    // nothing. True when it is the page's picture now.
    bool OpenPicture(const std::wstring& path);

protected:
    // The settings read: the stored graphics and the logo settings from the printer; 1, -1
    // when some were not answered, -64 without an answer.
    int32_t ReadPrinter(const PrinterWork& work, LogoRead& read) override;
    void ShowRead(const LogoRead& read) override;
    void ShowStored() override;
    int32_t ExchangeOnWorker(const PrinterWork& work) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool OnCommand(UINT code, UINT id, HWND control) override;

private:
    enum class Task { Write, DeleteOne, DeleteAll };

    void OnOpen();
    void OnConversionChanged();
    void OnDelete(bool all);
    // "Failed to change settings." with why: no answer, or the items the printer refused.
    void WarnTaskFailed(int32_t result);
    // The page's conversion choices at the printable width.
    RasterOptions ConversionOptions();
    // The drawn preview's window text, which it never shows: what a screen reader names it.
    void NamePreview(const std::u16string& pictureLine);
    void ShowSettings(const LogoSettings& settings);
    void ShowStoredList();
    void ShowKeyCode();
    void FillChoices(UINT comboId, int selected);
    // The settings as the controls hold them; false (message shown) for a bad key code.
    bool WantedFromControls(LogoSettings& wanted);
    std::optional<KeyCode> NewKeyCode();
    int32_t RunTask(Task task);
    std::u16string MissedNames(uint32_t missed) const;
    int32_t PrintableDots();
    bool AutoNumbering() const;

    PrinterLogos m_held;            // what the store and the printer hold, as the page last saw it
    std::u16string m_suggestedCode; // the key code the page last offered, not one typed
    CLogoPicture m_picture;

    // One exchange with the printer (worker thread).
    Task m_task = Task::Write;
    KeyCode m_taskCode;
    LogoSettings m_wanted;
    PrinterLogos m_result;
    LogoReport m_report;
};

} // namespace qk::logo
