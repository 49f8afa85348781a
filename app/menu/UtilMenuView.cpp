#include "app/menu/UtilMenuView.h"

#include "app/shell/MainFrame.h"

namespace qk::app {

void CUtilMenuView::OnInitialUpdate() {
    auto* frame = dynamic_cast<CMainFrame*>(FromHandlePermanent(::GetAncestor(m_hWnd, GA_ROOT)));
    if (!frame)
        return;
    frame->HandOverMenuItems(&m_items);
    frame->SetMenuPaneSize(kPlaceholderWidth, kPlaceholderHeight);
    frame->LayoutPanes();
}

CUtilMenuView::LeaveAnswer CUtilMenuView::AskSelectedToLeave() const {
    if (!m_hasSelection)
        return LeaveAnswer::NoSelection;
    if (!m_selectedChangeMenuState)
        return LeaveAnswer::Refused;
    return m_selectedChangeMenuState(kMenuStateLeave) == 0 ? LeaveAnswer::Allowed
                                                           : LeaveAnswer::Refused;
}

void CUtilMenuView::SelectEntry(PFN_FORMVIEWDLL_ChangeMenuState changeMenuState) {
    m_hasSelection = true;
    m_selectedChangeMenuState = changeMenuState;
}

} // namespace qk::app
