#include "app/shell/UtilDummyView.h"

#include "resource.h"

namespace qk::app {

CUtilDummyView::CUtilDummyView() : CFormView(IDD_DUMMY_VIEW) {}

namespace {
struct SizeMessage {
    WPARAM type;
    LPARAM size;
};

BOOL CALLBACK ForwardSize(HWND hwnd, LPARAM param) {
    auto* message = reinterpret_cast<const SizeMessage*>(param);
    ::SendMessageW(hwnd, WM_SIZE, message->type, message->size);
    return TRUE;
}
} // namespace

void CUtilDummyView::OnSize(UINT type, int cx, int cy) {
    SizeMessage message{type, MAKELPARAM(cx, cy)};
    ::EnumChildWindows(m_hWnd, ForwardSize, reinterpret_cast<LPARAM>(&message));
}

} // namespace qk::app
