#include "app/menu/MenuRowState.h"

#include <algorithm>
#include <utility>

namespace qk::app {

void CMenuRowChanges::Add(int32_t row) {
    if (row < 0 || Contains(row))
        return;
    if (m_count < m_rows.size())
        m_rows[m_count++] = row;
}

bool CMenuRowChanges::Contains(int32_t row) const {
    const auto rows = Rows();
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

// --- Rows ---------------------------------------------------------------------------------

void CMenuRowState::SetRows(std::vector<bool> selectable) {
    Clear();
    m_selectable = std::move(selectable);
}

void CMenuRowState::Clear() {
    m_selectable.clear();
    m_hover = m_pressed = m_selected = m_focus = kNone;
}

bool CMenuRowState::StartSelected(int32_t row) {
    if (!IsSelectable(row))
        return false;
    m_selected = m_focus = row;
    m_changes.Add(row);
    return true;
}

bool CMenuRowState::IsSelectable(int32_t row) const {
    return row >= 0 && row < RowCount() && m_selectable[static_cast<std::size_t>(row)];
}

MenuRowBand CMenuRowState::BandOf(int32_t row) const {
    if (row < 0)
        return MenuRowBand::Plain;
    if (row == m_selected)
        return MenuRowBand::Selected;
    if (row == m_pressed)
        return MenuRowBand::Pressed;
    if (row == m_hover)
        return MenuRowBand::Hover;
    return MenuRowBand::Plain;
}

int32_t CMenuRowState::NextSelectable(int32_t from, int step) const {
    for (int32_t row = from; row >= 0 && row < RowCount(); row += step)
        if (IsSelectable(row))
            return row;
    return kNone;
}

// --- Mouse --------------------------------------------------------------------------------

void CMenuRowState::MouseMove(int32_t row, bool leftButtonOnly) {
    if (row < 0 || row >= RowCount()) {
        m_changes.Add(m_hover);
        m_changes.Add(m_pressed);
        m_hover = m_pressed = kNone;
        return;
    }
    if (!IsSelectable(row))
        return;
    const int32_t oldHover = m_hover;
    if (row != m_hover) {
        m_changes.Add(oldHover);
        m_hover = row;
        m_changes.Add(row);
        FollowWithFocus(row);
    }
    if (row != m_pressed) {
        if (m_pressed != oldHover)
            m_changes.Add(m_pressed);
        m_pressed = leftButtonOnly ? row : kNone;
        m_changes.Add(m_pressed);
    }
}

bool CMenuRowState::ButtonDown(int32_t row) {
    if (!IsSelectable(row))
        return false;
    if (row != m_pressed) {
        m_changes.Add(m_pressed);
        m_pressed = row;
        m_changes.Add(row);
    }
    return true;
}

int32_t CMenuRowState::ButtonUp(int32_t row, bool inside) {
    // A heading takes no hover, so the hover row may still be one the pointer left for it: a
    // release over the heading must not activate that row.
    const bool overHeading = row >= 0 && row < RowCount() && !IsSelectable(row);
    const int32_t target = !inside || overHeading ? kNone : m_pressed >= 0 ? m_pressed : m_hover;
    EndPress();
    return target;
}

// With the button up nothing stays pressed; the selected row's own picture hides a press, so
// it needs no drawing.
void CMenuRowState::EndPress() {
    if (m_pressed != m_selected)
        m_changes.Add(m_pressed);
    m_pressed = kNone;
}

void CMenuRowState::CaptureLost() {
    m_changes.Add(m_pressed);
    m_changes.Add(m_hover);
    m_pressed = m_hover = kNone;
}

// --- Keys ---------------------------------------------------------------------------------

int32_t CMenuRowState::KeyTarget(MenuRowKey key) const {
    const int32_t last = RowCount() - 1;
    const int32_t from = m_focus >= 0 ? m_focus : m_selected;
    switch (key) {
    case MenuRowKey::Up:
        return from < 0 ? NextSelectable(last, -1) : NextSelectable(from - 1, -1);
    case MenuRowKey::Down:
        return NextSelectable(from + 1, 1);
    case MenuRowKey::Home:
        return NextSelectable(0, 1);
    case MenuRowKey::End:
        return NextSelectable(last, -1);
    }
    return kNone;
}

// The highlight is the hover band: keys move it as the mouse does.
bool CMenuRowState::MoveFocus(int32_t row) {
    if (!IsSelectable(row))
        return false;
    FollowWithFocus(row);
    if (row != m_hover) {
        m_changes.Add(m_hover);
        m_hover = row;
        m_changes.Add(row);
    }
    return true;
}

int32_t CMenuRowState::KeyActivate() {
    if (m_focus >= 0)
        EndPress();
    return m_focus;
}

int32_t CMenuRowState::EntryRow() const {
    return m_selected >= 0 ? m_selected : NextSelectable(0, 1);
}

// The focus rectangle shows only while the menu has the keyboard.
void CMenuRowState::KeyboardFocus(bool has) {
    m_hasFocus = has;
    m_changes.Add(m_focus);
    if (has && m_focus >= 0)
        m_changes.focusMoved = true;
}

// The keys act where the mouse was last; the old focus rectangle only shows with the focus.
void CMenuRowState::FollowWithFocus(int32_t row) {
    if (row == m_focus)
        return;
    if (m_hasFocus)
        m_changes.Add(m_focus);
    m_focus = row;
    m_changes.Add(row);
    if (row >= 0)
        m_changes.focusMoved = true;
}

// --- Activation ---------------------------------------------------------------------------

bool CMenuRowState::Select(int32_t row) {
    if (!IsSelectable(row))
        return false;
    m_changes.Add(m_selected);
    m_changes.Add(row);
    m_selected = row;
    m_changes.selectionMoved = true;
    if (m_pressed != row)
        m_changes.Add(m_pressed);
    m_pressed = kNone;
    if (m_hover != row)
        m_changes.Add(m_hover);
    m_hover = row;
    FollowWithFocus(row);
    return true;
}

void CMenuRowState::KeepSelection(int32_t refused) {
    m_changes.Add(m_selected);
    if (refused >= 0 && refused < RowCount())
        m_changes.Add(refused);
}

CMenuRowChanges CMenuRowState::TakeChanges() {
    return std::exchange(m_changes, CMenuRowChanges{});
}

} // namespace qk::app
