// The function menu pane has no dialog template: its rows are drawn by the program from the
// menu files. This measures every row of every menu file in the program folder the way the
// pane draws it: the item's text in the list's own font (bold or resized as the item asks)
// against the row's width less its level's indent on both sides and the pressed row's shift,
// and against the row's height.
#pragma once
#include <vector>
#include "tests/textfit/TemplateWindow.h"
#include "tests/textfit/TextMeasure.h"

namespace qk::test {

// `texts` holds the "MENU_ITEM" screen. Rows are named by their ITEMID and menu file.
void MeasureMenuPane(const ScreenTexts& texts, std::vector<Misfit>& misfits);

// The widest row, in pixels, that a menu file of the program folder gives the pane.
int WidestMenuRow();

} // namespace qk::test
