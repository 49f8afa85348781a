// What the main frame and its panes need from the running application: the context, the
// communication library's binding record and the start-up connection result. By default
// that is the running application object; a test registers a host of its own. Without
// either (a window on its own) the frame runs without a language file and a library.
#pragma once
#include <windows.h>
#include <cstdint>
#include "app/menu/MenuItem.h"

struct UtilContext;
namespace qk::comm {
struct QkcBinding;
}

namespace qk::app {

class IShellHost {
public:
    virtual UtilContext* Context() = 0;
    // The binding record; may be unbound, null only when there is none at all.
    virtual comm::QkcBinding* Binding() = 0;
    // 0 when the chosen printer answered at start-up.
    virtual int32_t ConnectionResult() = 0;

protected:
    ~IShellHost() = default;
};

// What the panes need from the main window they sit in.
class IShellFrame {
public:
    virtual HWND ShellWindow() const = 0;
    virtual HWND PageAreaWindow() const = 0;
    // Set by the menu view once it knows its size; the layout waits for both to be above 0.
    virtual void SetMenuPaneSize(int32_t width, int32_t height) = 0;
    virtual void LayoutPanes() = 0;
    // The menu view's items are in place: the status strip gets them and starts watching.
    virtual void HandOverMenuItems(MenuItemList* items) = 0;
    // A long exchange shows its progress dialog.
    virtual bool ExchangeRunning() const = 0;

protected:
    ~IShellFrame() = default;
};

// Marks a main window as the frame of its panes (null: no longer).
void SetShellFrame(HWND window, IShellFrame* frame);
// The frame of the main window a pane sits in; null for a window outside one.
IShellFrame* ShellFrameOf(HWND pane);

// The registered host, else the running application, else null.
IShellHost* ShellHost();
// Registers a host (not owned; null to forget it). Answers the previous one.
IShellHost* SetShellHost(IShellHost* host);

} // namespace qk::app
