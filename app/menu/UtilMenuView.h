// The function menu on the left of the main window.
//
// What it does today: it exists as the frame's menu pane, hands the frame its (still empty)
// item list so that the status pane starts, claims a placeholder pane width so that the
// frame can lay out its panes, and answers the frame's close question for the selected
// entry. Reading the menu file, drawing the rows and driving the plug-in pages come with the
// menu definition files and the plug-in host.
#pragma once
#include <cstdint>
#include <vector>
#include "app/menu/MenuItem.h"
#include "framework/plugin/FormViewDllApi.h"
#include "platform/ListView.h"

namespace qk::app {

class CUtilMenuView : public CListView {
public:
    // Pane size claimed until the menu file gives the real one.
    static constexpr int32_t kPlaceholderWidth = 200;
    static constexpr int32_t kPlaceholderHeight = 400;

    enum class LeaveAnswer { NoSelection, Allowed, Refused };

    CUtilMenuView() = default;

    void OnInitialUpdate() override;

    // Asks the selected entry's plug-in whether its page may be left: allowed only when the
    // plug-in is bound and answers 0.
    LeaveAnswer AskSelectedToLeave() const;
    // The selected entry, by its plug-in's leave entry point (null: the plug-in is not bound).
    // Stands in for the item list until the menu file is read.
    void SelectEntry(PFN_FORMVIEWDLL_ChangeMenuState changeMenuState);
    void ClearSelection() { m_hasSelection = false; }

    MenuItemList& Items() { return m_items; }

private:
    MenuItemList m_items;
    bool m_hasSelection = false;
    PFN_FORMVIEWDLL_ChangeMenuState m_selectedChangeMenuState = nullptr;
};

} // namespace qk::app
