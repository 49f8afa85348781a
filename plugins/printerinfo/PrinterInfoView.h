// The printer information page (template 12, texts of screen "QKUPRNINFO_DLL"): what the printer
// is, as the last settings read learned it, and the port it was read on; copied to the
// clipboard or saved as a text file for a support call.
#pragma once
#include <string>
#include "framework/view/SingleFormView.h"
#include "plugins/printerinfo/PrinterInfoText.h"

namespace qk::printerinfo {

class CPrinterInfoView : public CSingleFormView {
public:
    CPrinterInfoView();

    void OnInitialUpdate() override;
    // The settings read may have run since the page was last shown.
    void OnActivatePage() override;

protected:
    bool OnCommand(UINT code, UINT id, HWND control) override;

private:
    void OnCopyClicked();
    void OnSaveClicked();
    void ShowInformation();
    InfoLabels Labels() const;
    std::u16string Message(int index, const char16_t* english) const;
    // The operator's choice of a file to save to; empty when cancelled.
    std::u16string ChooseFile() const;

    std::u16string m_text;
};

} // namespace qk::printerinfo
