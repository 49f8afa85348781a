// Measures the texts of a window's controls with each control's own font against the room the
// control draws them in: push buttons inside their frame and text margin, check boxes and
// radio buttons beside their box, static texts wrapped (or on one line when they do not
// wrap) against their width and height, combo box items against the selection field, list
// view column headers against their columns.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace qk::test {

// One text that does not fit its control.
struct Misfit {
    int controlId = 0;
    std::wstring className;
    std::wstring part; // "caption", "item 3", "column 1"
    std::wstring text;
    SIZE needed{};
    SIZE room{};
};

// Measures the text the control holds now (and its items or column headers); appends what
// does not fit. Controls without text, pictures and lines are passed over.
void MeasureControl(HWND control, std::vector<Misfit>& misfits);

// Measures every child of a window that the window shows (WS_VISIBLE), except those listed.
void MeasureShownControls(HWND window, const std::vector<int>& except,
                          std::vector<Misfit>& misfits);

} // namespace qk::test
