#include "plugins/settingsfile/QKUSetFileApp.h"

#include "framework/plugin/PageViewCtrl.h"
#include "plugins/settingsfile/SettingsFileView.h"

namespace qk::settingsfile {

CQKUSetFileApp::~CQKUSetFileApp() {
    ExitInstance();
}

bool CQKUSetFileApp::InitInstance() {
    // The page keeps no settings of its own: it works on the blocks the other pages own. Its
    // block (0x1000C) holds only its header and one reserved word.
    m_controller = std::make_unique<CPageViewCtrl>(
        0x0001000C, 36, []() -> CCommonFormView* { return new CSettingsFileView; });
    return true;
}

} // namespace qk::settingsfile
