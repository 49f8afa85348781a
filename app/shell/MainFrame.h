// The main window: a fixed-size frame without a menu bar, split into the function menu on
// the left, the page area on the right and the status strip along the bottom. It relays the
// pages' status requests to the status strip, hosts the communication progress dialog of
// long exchanges and asks the selected page before it lets the window close.
#pragma once
#include <cstdint>
#include <memory>
#include "app/menu/UtilMenuView.h"
#include "app/shell/ShellHost.h"
#include "app/shell/UtilSplitterWnd.h"
#include "framework/lang/LangResTable.h"
#include "framework/view/UtilMessages.h"
#include "platform/FrameWnd.h"

namespace qk::app {

class CCommStateDlg;
class CUtilDummyView;
class CUtilStatusView;

class CMainFrame : public CFrameWnd, public IShellFrame {
public:
    // Height of the status strip and of the bar above it, in pixels at 96 DPI.
    static constexpr int kStatusPaneHeight = 65;
    static constexpr int kStatusBandHeight = 67;
    // The same at `dpi`: the strip grows with the DPI, the splitter bar above it does not.
    static int StatusPaneHeightAt(int dpi);
    static int StatusBandHeightAt(int dpi);

    CMainFrame();
    ~CMainFrame() override;

    HWND ShellWindow() const override { return m_hWnd; }
    HWND PageAreaWindow() const override;
    void SetMenuPaneSize(int32_t width, int32_t height) override;
    int32_t MenuPaneWidth() const { return m_menuPaneWidth; }
    int32_t MenuPaneHeight() const { return m_menuPaneHeight; }
    // Sizes the splitters' rows and columns from the client area and the menu pane size.
    void LayoutPanes() override;
    void HandOverMenuItems(MenuItemList* items) override;
    bool ExchangeRunning() const override { return m_commStateDlg != nullptr; }

    CUtilMenuView* MenuView() const;
    CUtilDummyView* PageArea() const;
    CUtilStatusView* StatusView() const;
    CUtilSplitterWnd& OuterSplitter() { return m_outerSplitter; }
    CUtilSplitterWnd& InnerSplitter() { return m_innerSplitter; }
    // The progress dialog between its creation and the end of its run, else null.
    CCommStateDlg* CommStateDialog() const { return m_commStateDlg.get(); }
    const CLangResTable& LangTable() const { return m_langTable; }

protected:
    bool PreCreateWindow(CREATESTRUCTW& cs) override;
    bool OnCreate(CREATESTRUCTW* cs) override;
    bool OnCreateClient(CREATESTRUCTW* cs, CCreateContext* context) override;
    void OnDestroy() override;
    void OnSize(UINT type, int cx, int cy) override;
    // Dragging an edge never makes the window smaller than its fixed size.
    bool OnSizing(UINT edge, RECT* rect) override;
    bool OnSysCommand(UINT command, LPARAM lp) override;
    bool OnClose() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    // Tab past the last (Shift+Tab past the first) control of the shown page goes back to
    // the menu.
    bool PreTranslateMessage(MSG* msg) override;

private:
    LRESULT OnCreateCommState(HWND parent);
    LRESULT OnRunCommState(const CommStateRequest* request, HWND owner);
    LRESULT OnRelayToStatus(UINT msg, WPARAM wp, LPARAM lp, bool post);
    void LoadLanguage();
    // Takes the status strip off the printer's status procedure, or puts it back.
    // The binding record is refreshed from the application first.
    void DetachStatusProc();
    void AttachStatusProc(bool initializeFirst);
    // A length of the 96 DPI layout at the system DPI.
    int Scaled(int pixels) const;

    int m_dpi;                        // the system DPI, fixed for the process
    CUtilSplitterWnd m_outerSplitter; // 2 rows: page band and status strip
    CUtilSplitterWnd m_innerSplitter; // 2 columns in the upper band: menu and page area
    std::unique_ptr<CCommStateDlg> m_commStateDlg;
    int32_t m_menuPaneWidth = 0;
    int32_t m_menuPaneHeight = 0;
    CLangResTable m_langTable; // screen "MAIN_WINDOW"
    // A close asked for while an exchange ran; carried out when the exchange ends.
    bool m_closePending = false;
};

} // namespace qk::app
