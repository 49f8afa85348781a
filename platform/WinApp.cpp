#include "platform/WinApp.h"

#include "platform/DocTemplate.h"
#include "platform/FrameWnd.h"

namespace qk {
namespace {
CWinApp* g_app = nullptr;
} // namespace

CWinApp::CWinApp() {
    g_app = this;
    m_bAutoDelete = false;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* CWinApp::Get() {
    return g_app;
}

int CWinApp::RunApplication(HINSTANCE instance, const wchar_t* commandLine) {
    m_hInstance = instance;
    m_lpCmdLine = commandLine ? commandLine : L"";
    m_nThreadID = ::GetCurrentThreadId();
    try {
        return RunThreadBody();
    } catch (...) {
        return -1;
    }
}

int CWinApp::ExitInstance() {
    return m_exitCode;
}

void CWinApp::AddDocTemplate(CSingleDocTemplate* docTemplate) {
    m_docTemplate.reset(docTemplate);
}

bool CWinApp::OnFileNew() {
    if (!m_docTemplate)
        return false;
    CFrameWnd* frame = m_docTemplate->OpenNewDocument();
    if (!frame)
        return false;
    if (!m_pMainWnd)
        m_pMainWnd = frame;
    return true;
}

} // namespace qk
