// The status strip along the bottom of the main window: the printer's name, the port through
// which it is reached and its live status. It is the one place that follows the printer's
// status: the communication library reports each change to its status procedure, and when the
// printer comes back after being offline (or unknown) the strip starts the settings read.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include "app/menu/MenuItem.h"
#include "app/status/PrinterSettingViewCtrl.h"
#include "app/status/StatusRules.h"
#include "framework/comm/QkcEntryPoints.h"
#include "framework/controls/StaticItem.h"
#include "framework/controls/StaticPictureItem.h"
#include "framework/lang/LangResTable.h"
#include "platform/FormView.h"
#include "platform/os/OsServices.h"
#include "resources/resource.h"

namespace qk::comm {
struct QkcBinding;
}

namespace qk::app {

class CUtilStatusView : public CFormView {
public:
    // Controls of the strip's template.
    static constexpr int kPictureId = IDC_STATUS_PICTURE;
    static constexpr int kNameLineId = IDC_STATUS_NAME;
    static constexpr int kPortLineId = IDC_STATUS_PORT;
    static constexpr int kStatusLineId = IDC_STATUS_STATE;
    static constexpr int kIconId = IDC_STATUS_ICON;

    CUtilStatusView();
    ~CUtilStatusView() override;
    // The registry (point-of-sale printers) and the clock (pause before reopening a port) are
    // the ones used.
    void SetSeams(const os::OsServices& seams) { m_seams = seams; }

    // Registered with the communication library; runs on the library's thread. Posts the
    // status to the pane when `context` is a pane whose window still exists; answers the
    // post's result, else 0.
    static int32_t QKC_CALL StatusProc(int32_t status, void* context);

    void SetBinding(comm::QkcBinding* binding) { m_binding = binding; } // not owned
    comm::QkcBinding* Binding() const { return m_binding; }
    void SetMenuItems(MenuItemList* items) { m_items = items; } // not owned
    MenuItemList* MenuItems() const { return m_items; }

    // Start of monitoring: a printer that answered at start-up begins online and is read once
    // the message loop runs; otherwise the current status is shown.
    void BeginMonitoring(bool connected);
    // The settings read: 1 success, -67 the printer did not identify itself, else a failure.
    int32_t ReadSettings();

    int32_t CurrentStatus() const { return m_currentStatus; }
    bool UpdatesEnabled() const { return m_updatesEnabled; }
    bool SettingsReadNeeded() const { return m_tracker.ReadNeeded(); }
    const std::u16string& StatusLine() const { return m_statusLine; }
    const std::u16string& NameLine() const { return m_nameLine; }
    const std::u16string& PortLine() const { return m_portLine; }
    CPrinterSettingViewCtrl& Controller() { return m_ctrl; }

protected:
    void OnInitialUpdate() override;
    void OnDestroy() override;
    bool OnEraseBkgnd(HDC dc) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    LRESULT OnUpdatePrinterInfo();
    LRESULT OnGetStatus(int32_t* status);
    LRESULT OnStopStatus();
    LRESULT OnStatusChanged(int32_t code);
    LRESULT OnSetIcon(uint16_t iconCode);
    bool LoadLanguage();
    void RegisterDataBlocks();
    void PrepareItems();
    void ShowStatusText(const std::u16string& text);
    std::u16string Text(int32_t entry, const char16_t* english) const;
    std::u16string StatusTextFor(int32_t code) const;
    HWND MainWindow() const;
    bool ProgressDialogShown() const;

    CStaticItem m_nameItem;                // IDC_STATUS_NAME
    CStaticItem m_portItem;                // IDC_STATUS_PORT
    CStaticItem m_statusItem;              // IDC_STATUS_STATE
    CStaticPictureItem m_picture;          // IDC_STATUS_PICTURE
    CStaticPictureItem m_icon;             // IDC_STATUS_ICON, its bitmap owned
    HBITMAP m_pictureBitmap = nullptr;     // owned
    HBITMAP m_iconBitmap = nullptr;        // owned
    comm::QkcBinding* m_binding = nullptr; // not owned
    MenuItemList* m_items = nullptr;       // not owned
    CPrinterSettingViewCtrl m_ctrl;
    int32_t m_currentStatus = -1;
    // Counts the statuses taken: a status handled inside the settings read's progress loop
    // is newer than the one that started the read.
    uint32_t m_statusSerial = 0;
    CStatusTracker m_tracker;
    int32_t m_lastIconCode = -1;
    std::u16string m_lastStatusText;
    bool m_updatesEnabled = true;
    bool m_ready = false; // the initial update completed
    std::u16string m_statusLine;
    std::u16string m_nameLine;
    std::u16string m_portLine;
    CLangResTable m_texts; // screen "PRT_STATUS"
    os::OsServices m_seams;
    // The window the status procedure may post to; guarded by the pane registry's lock.
    HWND m_postTarget = nullptr;
};

} // namespace qk::app
