#include "plugins/settingsfile/SettingsFileViewCtrl.h"

#include "plugins/settingsfile/SettingsFileView.h"

namespace qk::settingsfile {

CSettingsFileViewCtrl::CSettingsFileViewCtrl()
    : CFormViewCtrl(kSettingsFileBlockKey, kSettingsFileBlockSize, nullptr) {
    DeferPageWindows();
}

void CSettingsFileViewCtrl::CreatePages() {
    AddPage(new CSettingsFileView);
}

} // namespace qk::settingsfile
