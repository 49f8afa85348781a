#include "app/shell/QKUtilApp.h"

#include <commctrl.h>
#include "app/shell/MainFrame.h"
#include "app/shell/UtilDummyView.h"
#include "app/shell/UtlDoc.h"
#include "platform/DocTemplate.h"
#include "resource.h"

namespace qk::app {

CQKUtilApp::CQKUtilApp() : m_context(std::make_unique<UtilContext>()) {
    m_context->applicationLock = m_applicationLock.Get();
}

CQKUtilApp::~CQKUtilApp() = default;

bool CQKUtilApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES |
                                                        ICC_INTERNET_CLASSES | ICC_ANIMATE_CLASS};
    ::InitCommonControlsEx(&controls);
    AddDocTemplate(new CSingleDocTemplate(
        IDR_MAINFRAME, [] { return new CUtlDoc; }, [] { return new CMainFrame; },
        [] { return new CUtilDummyView; }));
    if (!OnFileNew())
        return false;
    m_pMainWnd->ShowWindow(SW_SHOWNORMAL);
    m_pMainWnd->UpdateWindow();
    return true;
}

int CQKUtilApp::ExitInstance() {
    // Outside the described-printer mode the process always ends with 1.
    return 1;
}

} // namespace qk::app
