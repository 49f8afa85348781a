#include "plugins/paper/QKUPaperApp.h"

#include "plugins/paper/PaperViewCtrl.h"

namespace qk::paper {

CQKUPaperApp::~CQKUPaperApp() {
    ExitInstance();
}

bool CQKUPaperApp::InitInstance() {
    m_controller = std::make_unique<CPaperViewCtrl>();
    return true;
}

} // namespace qk::paper
