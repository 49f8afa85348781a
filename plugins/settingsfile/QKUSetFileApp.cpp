#include "plugins/settingsfile/QKUSetFileApp.h"

#include "plugins/settingsfile/SettingsFileViewCtrl.h"

namespace qk::settingsfile {

CQKUSetFileApp::~CQKUSetFileApp() {
    ExitInstance();
}

bool CQKUSetFileApp::InitInstance() {
    m_controller = std::make_unique<CSettingsFileViewCtrl>();
    return true;
}

} // namespace qk::settingsfile
