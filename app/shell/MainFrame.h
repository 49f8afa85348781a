// The main window: a fixed-size frame without a menu bar that holds the program's panes.
#pragma once
#include "platform/FrameWnd.h"

namespace qk::app {

class CMainFrame : public CFrameWnd {
public:
    CMainFrame() = default;

protected:
    bool PreCreateWindow(CREATESTRUCTW& cs) override;
    bool OnCreate(CREATESTRUCTW* cs) override;
    void OnDestroy() override;
    // Dragging an edge never makes the window smaller than its fixed size.
    bool OnSizing(UINT edge, RECT* rect) override;
    bool OnSysCommand(UINT command, LPARAM lp) override;
};

} // namespace qk::app
