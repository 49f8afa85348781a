#include "app/status/UtilStatusView.h"

#include <set>
#include "framework/view/UtilMessages.h"
#include "platform/Sync.h"
#include "resource.h"

namespace qk::app {
namespace {

// Panes alive in this process. The status procedure runs on the library's thread and may be
// handed a pane that is already gone, so it never touches a pane that is not listed here.
struct PaneRegistry {
    CCriticalSection lock;
    std::set<CUtilStatusView*> panes;
};

PaneRegistry& Registry() {
    static PaneRegistry registry;
    return registry;
}

} // namespace

CUtilStatusView::CUtilStatusView() : CFormView(IDD_STATUS_VIEW) {
    CSingleLock hold(Registry().lock.Get());
    Registry().panes.insert(this);
}

CUtilStatusView::~CUtilStatusView() {
    CSingleLock hold(Registry().lock.Get());
    Registry().panes.erase(this);
}

int32_t QKC_CALL CUtilStatusView::StatusProc(int32_t status, void* context) {
    try {
        CSingleLock hold(Registry().lock.Get());
        auto* pane = static_cast<CUtilStatusView*>(context);
        if (!pane || !Registry().panes.count(pane) || !::IsWindow(pane->m_postTarget))
            return 0;
        return ::PostMessageW(pane->m_postTarget, WM_UTIL_STATUSCHANGED,
                              static_cast<WPARAM>(status), reinterpret_cast<LPARAM>(context))
                   ? 1
                   : 0;
    } catch (...) {
        return 0;
    }
}

void CUtilStatusView::OnDestroy() {
    CSingleLock hold(Registry().lock.Get());
    m_postTarget = nullptr;
}

void CUtilStatusView::BeginMonitoring(bool connected) {
    if (connected) {
        m_lastRawStatus = 0;
        m_currentStatus = 0;
    }
}

bool CUtilStatusView::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_INITDIALOG: {
        CSingleLock hold(Registry().lock.Get());
        m_postTarget = m_hWnd;
        result = TRUE;
        return true;
    }
    case WM_UTIL_GETSTATUS:
        result = OnGetStatus(reinterpret_cast<int32_t*>(wp));
        return true;
    case WM_UTIL_STOPSTATUS:
        result = OnStopStatus();
        return true;
    default:
        return CFormView::OnMessage(msg, wp, lp, result);
    }
}

LRESULT CUtilStatusView::OnGetStatus(int32_t* status) {
    if (status)
        *status = m_currentStatus;
    return 0;
}

LRESULT CUtilStatusView::OnStopStatus() {
    m_updatesEnabled = false;
    return 0;
}

} // namespace qk::app
