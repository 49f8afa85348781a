// A frame window: the program's main top-level window that holds the views.
#pragma once
#include "platform/Wnd.h"

namespace qk {

class CDocument;
class CView;
struct CCreateContext;

// Style flag of the framework: the document title is added to the frame title. It lives in
// the class-specific low word, which our frame class does not use.
constexpr DWORD FWS_ADDTOTITLE = 0x00008000L;
// Identifier of the frame's first pane (its client view or splitter).
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;

class CFrameWnd : public CWnd {
public:
    CFrameWnd() = default;

    // Creates the frame: title (string resource), icon and menu (when the resources have them)
    // from resourceId; PreCreateWindow may change every value first. Hidden until shown.
    virtual bool LoadFrame(UINT resourceId, DWORD style, HWND parent, CCreateContext* context);
    // Sends every view below the frame its initial update.
    void InitialUpdateFrame(CDocument* document);
    // Lays the first pane over the whole client area.
    virtual void RecalcLayout();
    // Offered every message of the thread's loop aimed at the frame or a window inside it,
    // before dialog navigation sees it; true when the frame handled it.
    virtual bool PreTranslateMessage(MSG*) { return false; }

protected:
    // Creates the client: by default the context's view as the first pane.
    virtual bool OnCreateClient(CREATESTRUCTW* cs, CCreateContext* context);
    bool OnCreate(CREATESTRUCTW* cs) override;
    void OnSize(UINT type, int cx, int cy) override;
    bool PreCreateWindow(CREATESTRUCTW& cs) override;
    // Frames delete themselves when their window is gone.
    void PostNcDestroy() override { delete this; }

    // Removes a command from the window's system menu; true when it was there.
    bool RemoveSystemMenuCommand(UINT command);

    UINT m_resourceId = 0;
    CCreateContext* m_createContext = nullptr; // only during creation

private:
    HICON FrameIcon(int width, int height) const;
};

} // namespace qk
