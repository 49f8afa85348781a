// What the main frame and its panes need from the running application: the context, the
// communication library's binding record and the start-up connection result. By default
// that is the running application object; a test registers a host of its own. Without
// either (a window on its own) the frame runs without a language file and a library.
#pragma once
#include <cstdint>

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

// The registered host, else the running application, else null.
IShellHost* ShellHost();
// Registers a host (not owned; null to forget it). Answers the previous one.
IShellHost* SetShellHost(IShellHost* host);

} // namespace qk::app
