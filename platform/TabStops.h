// The tab stops of a dialog or form view as the keyboard reaches them.
#pragma once
#include <windows.h>

namespace qk {

// The first (or, with `last`, the last) control of the container in tab order that takes
// the keyboard: a visible, enabled control with WS_TABSTOP that is not a group box. The
// controls of a child container (WS_EX_CONTROLPARENT) count as the container's own. Null
// when there is none.
HWND EnabledTabStop(HWND container, bool last);

} // namespace qk
