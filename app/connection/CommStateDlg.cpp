#include "app/connection/CommStateDlg.h"

#include "platform/Controls.h"
#include "platform/Module.h"
#include "resource.h"

namespace qk::app {
namespace {

constexpr int kAnimationId = IDC_COMMSTATE_CLIP;
constexpr int kProgressId = IDC_COMMSTATE_PROGRESS;

int64_t NowSecond() {
    return static_cast<int64_t>(::GetTickCount64() / 1000);
}

} // namespace

CCommStateDlg::CCommStateDlg() : CDialog(IDD_COMM_STATE), m_animationResource(IDR_AVI_COMM) {}

void CCommStateDlg::SetRequest(const CommStateRequest& request) {
    m_workerThread = request.workerThread;
    m_progressEvent = request.progressEvent;
    m_showDelayMs = request.showDelayMs > 0 ? static_cast<UINT>(request.showDelayMs) : 0;
    m_animationResource =
        request.animationKind == kCommAnimationPrinter ? IDR_AVI_COMM_PRINTER : IDR_AVI_COMM;
}

bool CCommStateDlg::OnInitDialog() {
    CProgressCtrl progress(GetDlgItem(kProgressId));
    progress.SetRange(0, 100);
    progress.SetPos(0);
    return true;
}

bool CCommStateDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_UTIL_STARTCOMMSTATE:
        OnStart();
        result = 0;
        return true;
    case WM_UTIL_SETPROGRESS:
        result = OnSetProgress(wp);
        return true;
    default:
        return CDialog::OnMessage(msg, wp, lp, result);
    }
}

void CCommStateDlg::OnStart() {
    SetTimer(kShowTimer, m_showDelayMs);
    SetTimer(kPollTimer, kPollMs);
}

LRESULT CCommStateDlg::OnSetProgress(WPARAM position) {
    auto value = static_cast<int32_t>(position);
    if (value < m_highestPosition)
        return -1;
    m_highestPosition = value > 100 ? 100 : value;
    return 0;
}

void CCommStateDlg::OnTimer(UINT_PTR id) {
    if (id == kShowTimer)
        OnShowTimer();
    else if (id == kPollTimer)
        OnPollTimer();
    else if (id == kLingerTimer) {
        KillTimer(kLingerTimer);
        EndDialog(IDOK);
    }
}

void CCommStateDlg::OnShowTimer() {
    KillTimer(kShowTimer);
    CenterWindow();
    ShowWindow(SW_SHOW);
    m_shownAtSecond = NowSecond();
    CAnimateCtrl clip(GetDlgItem(kAnimationId));
    if (clip.Open(ThisModule(), m_animationResource))
        clip.Play(0, 0xFFFF, static_cast<UINT>(-1));
}

void CCommStateDlg::OnPollTimer() {
    HANDLE worker = m_workerThread ? *m_workerThread : nullptr;
    HANDLE progress = m_progressEvent ? *m_progressEvent : nullptr;
    // Nothing to wait for means nothing will ever end the dialog: treat it as ended.
    if (!worker) {
        Finish();
        return;
    }
    HANDLE handles[2];
    DWORD count = 0;
    if (progress)
        handles[count++] = progress;
    handles[count++] = worker;
    DWORD waited = ::WaitForMultipleObjects(count, handles, FALSE, 1);
    if (progress && waited == WAIT_OBJECT_0) {
        CProgressCtrl(GetDlgItem(kProgressId)).SetPos(m_highestPosition);
        ::ResetEvent(progress);
    } else if (waited == WAIT_OBJECT_0 + count - 1 || waited == WAIT_FAILED) {
        Finish();
    }
}

void CCommStateDlg::Finish() {
    KillTimer(kPollTimer);
    KillTimer(kShowTimer);
    // A dialog that has just appeared stays up for another second instead of flashing.
    // A timer rather than a sleep keeps it painted meanwhile.
    if (WasShown() && NowSecond() - m_shownAtSecond <= 1) {
        SetTimer(kLingerTimer, kLingerMs);
        return;
    }
    EndDialog(IDOK);
}

} // namespace qk::app
