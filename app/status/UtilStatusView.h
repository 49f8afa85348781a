// The status strip along the bottom of the main window.
//
// What it does today: it exists as the frame's status pane, keeps the binding record and the
// menu item list that the frame hands it, answers the current status code, stops updates on
// request, and offers the status procedure that the communication library calls. Showing the
// printer's name, port and status texts, turning status codes into texts and starting the
// settings read come with the status view's own work.
#pragma once
#include <cstdint>
#include "app/menu/UtilMenuView.h"
#include "framework/comm/QkcEntryPoints.h"
#include "platform/FormView.h"

namespace qk::comm {
struct QkcBinding;
}

namespace qk::app {

class CUtilStatusView : public CFormView {
public:
    CUtilStatusView();
    ~CUtilStatusView() override;

    // Registered with the communication library; runs on the library's thread. Posts the
    // status to the pane when `context` is a pane whose window still exists; answers the
    // post's result, else 0.
    static int32_t QKC_CALL StatusProc(int32_t status, void* context);

    void SetBinding(comm::QkcBinding* binding) { m_binding = binding; } // not owned
    comm::QkcBinding* Binding() const { return m_binding; }
    void SetMenuItems(MenuItemList* items) { m_items = items; } // not owned
    MenuItemList* MenuItems() const { return m_items; }

    // Start of monitoring: with a printer that answered at start-up the pane begins online.
    void BeginMonitoring(bool connected);
    int32_t CurrentStatus() const { return m_currentStatus; }
    bool UpdatesEnabled() const { return m_updatesEnabled; }

protected:
    void OnDestroy() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    LRESULT OnGetStatus(int32_t* status);
    LRESULT OnStopStatus();

    comm::QkcBinding* m_binding = nullptr; // not owned
    MenuItemList* m_items = nullptr;       // not owned
    int32_t m_currentStatus = -1;
    int32_t m_lastRawStatus = -1;
    bool m_updatesEnabled = true;
    // The window the status procedure may post to; guarded by the pane registry's lock.
    HWND m_postTarget = nullptr;
};

} // namespace qk::app
