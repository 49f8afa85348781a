// The application object: runs the utility's whole life and ends it with an exit code. It
// owns the application context that every window and plug-in reads.
#pragma once
#include <memory>
#include "app/connection/CommLibrary.h"
#include "framework/context/UtilContext.h"
#include "platform/Sync.h"
#include "platform/WinApp.h"

namespace qk::app {

class CQKUtilApp : public CWinApp {
public:
    CQKUtilApp();
    ~CQKUtilApp() override;

    // The running application, or null (in a test without one).
    static CQKUtilApp* Get() { return dynamic_cast<CQKUtilApp*>(CWinApp::Get()); }

    bool InitInstance() override;
    int ExitInstance() override;

    UtilContext& Context() { return *m_context; }
    // The binding record of the communication library (unbound in the file mode).
    comm::QkcBinding* Binding() { return m_commLibrary.Record(); }
    // 0 when the chosen printer answered; the library's failure code otherwise.
    int32_t ConnectionResult() const { return m_connectionResult; }

private:
    std::unique_ptr<UtilContext> m_context; // cleared to zero at construction
    CCommLibrary m_commLibrary;
    CCriticalSection m_applicationLock;
    int32_t m_connectionResult = static_cast<int32_t>(0x80000000u);
};

} // namespace qk::app
