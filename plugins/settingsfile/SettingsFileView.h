// The settings file page (template 11, texts of screen "QKUSETFILESTG_DLL"): saves this
// printer's settings as a settings command file, and checks a settings command file against
// this printer (whole, unchanged, made for this model) and lists what it sets.
#pragma once
#include <string>
#include "framework/view/SingleFormView.h"
#include "plugins/settingsfile/SettingsFileCheck.h"

namespace qk::settingsfile {

class CSettingsFileView : public CSingleFormView {
public:
    CSettingsFileView();

    void OnInitialUpdate() override;

protected:
    bool OnCommand(UINT code, UINT id, HWND control) override;

private:
    void OnSaveClicked();
    void OnCheckClicked();
    // The operator's choice of a file; empty when cancelled.
    std::u16string ChooseFile(bool forSaving) const;
    // What a refused file is told with.
    std::u16string RefusalText(int32_t result) const;
    // One line per setting the file carries.
    std::u16string SettingLines(const CheckedFile& file) const;
    std::u16string SettingName(const FileSetting& setting) const;
    std::u16string Message(int index, const char16_t* english) const;
    std::u16string String(int index, const char16_t* english) const;
    void ShowReport(const std::u16string& text);
};

} // namespace qk::settingsfile
