#include "plugins/journal/QKUEJApp.h"

#include "plugins/journal/EJViewCtrl.h"

namespace qk::journal {

CQKUEJApp::~CQKUEJApp() {
    ExitInstance();
}

bool CQKUEJApp::InitInstance() {
    m_controller = std::make_unique<CEJViewCtrl>(&m_engine);
    return true;
}

void CQKUEJApp::AbandonAtProcessExit() {
    CPluginApp::AbandonAtProcessExit();
    m_engine.Abandon();
}

void CQKUEJApp::ExitInstance() {
    CPluginApp::ExitInstance();
    m_engine.Unload();
}

} // namespace qk::journal
