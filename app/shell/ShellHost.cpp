#include "app/shell/ShellHost.h"

#include "app/shell/QKUtilApp.h"

namespace qk::app {
namespace {

// The running application, when nothing else was registered.
class CAppShellHost final : public IShellHost {
public:
    UtilContext* Context() override {
        CQKUtilApp* app = CQKUtilApp::Get();
        return app ? &app->Context() : nullptr;
    }
    comm::QkcBinding* Binding() override {
        CQKUtilApp* app = CQKUtilApp::Get();
        return app ? app->Binding() : nullptr;
    }
    int32_t ConnectionResult() override {
        CQKUtilApp* app = CQKUtilApp::Get();
        return app ? app->ConnectionResult() : static_cast<int32_t>(0x80000000u);
    }
};

CAppShellHost g_appHost;
IShellHost* g_host = nullptr;
constexpr wchar_t kFrameProperty[] = L"QKShellFrame";

} // namespace

void SetShellFrame(HWND window, IShellFrame* frame) {
    if (frame)
        ::SetPropW(window, kFrameProperty, frame);
    else
        ::RemovePropW(window, kFrameProperty);
}

IShellFrame* ShellFrameOf(HWND pane) {
    HWND root = pane ? ::GetAncestor(pane, GA_ROOT) : nullptr;
    return root ? static_cast<IShellFrame*>(::GetPropW(root, kFrameProperty)) : nullptr;
}

IShellHost* ShellHost() {
    if (g_host)
        return g_host;
    return CQKUtilApp::Get() ? &g_appHost : nullptr;
}

IShellHost* SetShellHost(IShellHost* host) {
    IShellHost* previous = g_host;
    g_host = host;
    return previous;
}

} // namespace qk::app
