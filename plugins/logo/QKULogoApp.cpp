#include "plugins/logo/QKULogoApp.h"

#include "plugins/logo/LogoViewCtrl.h"

namespace qk::logo {

CQKULogoApp::~CQKULogoApp() {
    ExitInstance();
}

bool CQKULogoApp::InitInstance() {
    m_controller = std::make_unique<CLogoViewCtrl>();
    return true;
}

} // namespace qk::logo
