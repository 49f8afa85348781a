// The logo page (template 10, texts of screen "QKULOGOSTG_DLL"): open a picture, see what the
// printer will print, store it under a key code, choose the top and bottom logo with their
// alignment, the logo options and the logo value; list and delete the stored graphics. The
// settings read fills block 0x10007 and the list from the printer; leaving the page with
// changes writes them (in the file mode: the logo work file and the block, which the settings
// command file carries at exit).
#pragma once
#include <mutex>
#include <string>
#include "framework/view/SingleFormView.h"
#include "plugins/logo/LogoExchange.h"

namespace qk::logo {

class CLogoView : public CSingleFormView {
public:
    // Posted to the page by a settings read that ran on the exchange's worker thread.
    static constexpr UINT kReadDoneMessage = WM_APP + 42;

    CLogoView();

    int32_t IsModified() override;
    // Stores a converted picture and sends the changed logo settings under the progress
    // dialog, then reads them back: 1 when the printer holds them all, else the failure.
    int32_t WriteSettings() override;
    // The file mode: the converted picture into the logo work file, the settings into the
    // block.
    int32_t SaveToFile() override;
    // The settings read (on the host's worker thread): the stored graphics and the logo
    // settings from the printer; 1, -1 when some were not answered, -64 without an answer.
    int32_t ReadSettings() override;
    void OnInitialUpdate() override;

    // Brings the controls to what the store holds.
    void ShowStoredSettings();
    // Reads and converts the picture; a picture that cannot be used is told and changes
    // nothing. True when it is the page's picture now.
    bool OpenPicture(const std::wstring& path);

    static unsigned __stdcall ExchangeWorker(void* page);

protected:
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool OnCommand(UINT code, UINT id, HWND control) override;

private:
    enum class Task { Write, DeleteOne, DeleteAll };

    void OnOpen();
    void OnConversionChanged();
    void OnDelete(bool all);
    // "Failed to change settings." with why: no answer, or the items the printer refused.
    void WarnTaskFailed(int32_t result);
    void OnReadDone();
    void DrawPreview(const DRAWITEMSTRUCT& item) const;
    // Converts `picture` with the page's choices into `raster`; 0 or the message index.
    int ConvertPicture(const GrayPicture& picture, Raster& raster) const;
    void ShowPictureLine();
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
    std::u16string Message(int index, const char16_t* english) const;
    std::u16string Text(int index, const char16_t* english) const;
    void ShowNote(const std::u16string& text);
    int32_t AnswerWaitMs();
    int32_t PrintableDots();
    bool FileMode() const;
    bool AutoNumbering() const;
    LogoSettings LoadStored();
    bool WriteWorkFile(const KeyCode& code);

    PrinterLogos m_held;            // what the store and the printer hold, as the page last saw it
    std::u16string m_suggestedCode; // the key code the page last offered, not one typed
    bool m_shown = false;

    // Only the opened picture's grays at the printable width: the decoded picture is let go
    // at once (in a 32-bit process two large ones may not fit side by side).
    GrayPicture m_picture;
    std::wstring m_pictureName;
    Raster m_raster;              // the converted picture
    bool m_rasterPending = false; // converted and not stored yet

    // One exchange with the printer (worker thread).
    Task m_task = Task::Write;
    KeyCode m_taskCode;
    LogoSettings m_wanted;
    PrinterLogos m_result;
    LogoReport m_report;
    bool m_ran = false;

    // The last settings read's outcome, handed from the worker to the page.
    std::mutex m_readLock;
    LogoReport m_readReport;
    std::vector<KeyCode> m_readStored;
    bool m_readPending = false;
};

} // namespace qk::logo
