#include "framework/plugin/PluginApp.h"

namespace qk {
namespace {
// One per module: each library links its own copy of this code.
CPluginApp* g_current = nullptr;
} // namespace

CPluginApp::CPluginApp() {
    g_current = this;
}

CPluginApp::~CPluginApp() {
    if (g_current == this)
        g_current = nullptr;
}

CPluginApp* CPluginApp::Current() {
    return g_current;
}

void CPluginApp::ExitInstance() {
    m_controller.reset();
}

bool CControllerApp::InitInstance() {
    m_controller = m_make();
    return m_controller != nullptr;
}

void CPluginApp::AbandonAtProcessExit() {
    (void)m_controller.release();
}

} // namespace qk
