// The small "Communicating with the printer" window that the main frame shows while a worker
// thread exchanges settings with the printer. It appears after the request's delay, follows
// the worker's progress, cannot be cancelled, and closes by itself when the worker ends.
#pragma once
#include <cstdint>
#include "framework/view/UtilMessages.h"
#include "platform/Dialog.h"

namespace qk::app {

class CCommStateDlg : public CDialog {
public:
    static constexpr UINT_PTR kShowTimer = 1;
    static constexpr UINT_PTR kPollTimer = 10;
    // Ends the extra second a briefly shown dialog stays up.
    static constexpr UINT_PTR kLingerTimer = 11;
    static constexpr UINT kPollMs = 500;
    static constexpr UINT kLingerMs = 1000;

    CCommStateDlg();

    // Takes the handles, the delay and the clip of a request (the handles stay the caller's).
    void SetRequest(const CommStateRequest& request);
    UINT AnimationResource() const { return m_animationResource; }
    int32_t HighestPosition() const { return m_highestPosition; }
    bool WasShown() const { return m_shownAtSecond >= 0; }

protected:
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void OnTimer(UINT_PTR id) override;
    // The operator cannot end the exchange: Enter and Escape do nothing.
    void OnOK() override {}
    void OnCancel() override {}

private:
    void OnStart();
    LRESULT OnSetProgress(WPARAM position);
    void OnShowTimer();
    void OnPollTimer();
    void Finish();

    HANDLE* m_workerThread = nullptr;  // not owned
    HANDLE* m_progressEvent = nullptr; // not owned
    UINT m_showDelayMs = 0;
    UINT m_animationResource;
    int32_t m_highestPosition = 0;
    int64_t m_shownAtSecond = -1; // whole seconds of the tick count when shown; -1 never
};

} // namespace qk::app
