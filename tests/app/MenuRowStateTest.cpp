// The function menu's row rules without a window: sequences of mouse, key and focus events,
// then the rows' states, the rows to draw again and what a screen reader is told after the
// last event of each sequence.
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <vector>
#include "app/menu/MenuRowState.h"

namespace qk::test {
namespace {

using app::CMenuRowState;
using app::MenuRowBand;
using app::MenuRowKey;

constexpr int32_t kNoAnswer = -99;
constexpr int32_t kNone = CMenuRowState::kNone;

// Events, separated by blanks; a digit is a row, '-' no row:
//   S1 selected at start   m1 pointer over a row   M1 the same with the left button held
//   d1 button down         u  button up (u1 over a row)    U  button up outside the list
//   x  capture lost        k^ kv kh ke  up, down, home, end keys     e  Enter
//   f1 the keys' focus to a row   i / o  the menu gets / loses the keyboard
//   s1 selected (the page being left agreed)   r1 refused   c  the items are gone
struct Case {
    const char* name;
    const char* rows;    // one letter per row: 'r' selectable, 'h' heading
    const char* events;  // the last one is checked
    int32_t answer;      // the last event's row, or 1 / 0 for its success; kNoAnswer
    const char* state;   // hover, pressed, selected and focus rows
    const char* redrawn; // rows drawn again after the last event
    const char* told;    // a screen reader hears: 's' the selection, 'f' the focus
};

int32_t RowOf(char c) {
    return c >= '0' && c <= '9' ? c - '0' : kNone;
}

int32_t Apply(CMenuRowState& state, const std::string& event) {
    const int32_t row = event.size() > 1 ? RowOf(event[1]) : kNone;
    switch (event[0]) {
    case 'S':
        return state.StartSelected(row) ? 1 : 0;
    case 'm':
    case 'M':
        state.MouseMove(row, event[0] == 'M');
        return kNoAnswer;
    case 'd':
        return state.ButtonDown(row) ? 1 : 0;
    case 'u':
    case 'U':
        return state.ButtonUp(row, event[0] == 'u');
    case 'x':
        state.CaptureLost();
        return kNoAnswer;
    case 'k': {
        const char key = event.at(1);
        return state.KeyTarget(key == '^'   ? MenuRowKey::Up
                               : key == 'v' ? MenuRowKey::Down
                               : key == 'h' ? MenuRowKey::Home
                                            : MenuRowKey::End);
    }
    case 'e':
        return state.KeyActivate();
    case 'f':
        return state.MoveFocus(row) ? 1 : 0;
    case 'i':
    case 'o':
        state.KeyboardFocus(event[0] == 'i');
        return kNoAnswer;
    case 's':
        return state.Select(row) ? 1 : 0;
    case 'r':
        state.KeepSelection(row);
        return kNoAnswer;
    case 'c':
        state.Clear();
        return kNoAnswer;
    default:
        ADD_FAILURE() << "unknown event " << event;
        return kNoAnswer;
    }
}

std::vector<bool> Rows(const char* layout) {
    std::vector<bool> rows;
    for (const char* c = layout; *c; ++c)
        rows.push_back(*c == 'r');
    return rows;
}

std::string RowText(int32_t row) {
    return row < 0 ? "-" : std::to_string(row);
}

const Case kCases[] = {
    // Mouse moves
    {"a move hovers the row and the keys follow", "rrr", "m1", kNoAnswer, "1--1", "1", "f"},
    {"a move to another row redraws the old and new hover", "rrr", "m0 m2", kNoAnswer, "2--2", "02",
     "f"},
    {"with the keyboard the old focus rectangle is redrawn", "rrr", "i m0 x m2", kNoAnswer, "2--2",
     "02", "f"},
    {"without the keyboard no focus rectangle shows", "rrr", "m0 x m2", kNoAnswer, "2--2", "2",
     "f"},
    {"a move within the row redraws nothing", "rrr", "m1 m1", kNoAnswer, "1--1", "", ""},
    {"a heading takes no hover", "rhr", "m0 m1", kNoAnswer, "0--0", "", ""},
    {"leaving the rows drops hover and press", "rrr", "m0 d0 M1 m-", kNoAnswer, "---1", "1", ""},
    {"a row past the last is no row", "rr", "m1 m2", kNoAnswer, "---1", "1", ""},
    {"the press follows a held pointer", "rrr", "m0 d0 M2", kNoAnswer, "22-2", "02", "f"},
    {"a move without the button ends a press", "rrr", "m0 d0 m0 m1", kNoAnswer, "1--1", "01", "f"},
    {"a held move over a heading keeps the press", "rhr", "m0 d0 M1", kNoAnswer, "00-0", "", ""},
    // Buttons
    {"a press redraws the old and new pressed rows", "rrr", "m1 d1 M2 d0", 1, "20-2", "02", ""},
    {"a press on a heading is the list's", "rhr", "d1", 0, "----", "", ""},
    {"a press on an absent row is the list's", "rr", "d5", 0, "----", "", ""},
    {"a release activates the pressed row", "rrr", "m1 d1 M2 u", 2, "2--2", "2", ""},
    {"a release without a press activates the hover row", "rrr", "m1 u", 1, "1--1", "", ""},
    {"a release over nothing activates nothing", "rrr", "u", kNone, "----", "", ""},
    {"a press carried onto a heading and released there activates nothing", "rhr", "m0 d0 M1 u1",
     kNone, "0--0", "0", ""},
    {"a release outside the list activates nothing and ends the press", "rrr", "m1 d1 U", kNone,
     "1--1", "1", ""},
    {"a release on the selected row changes no drawing", "rrr", "S1 m1 d1 u", 1, "1-11", "", ""},
    {"a lost capture drops hover and press", "rrr", "m1 d2 x", kNoAnswer, "---1", "12", ""},
    // Selection
    {"the start row is selected and the focus row", "hrr", "S2", 1, "--22", "2", ""},
    {"a heading is never the start row", "hrr", "S0", 0, "----", "", ""},
    {"a selection redraws old, new, press and hover", "rrrr", "S0 m2 d3 s1", 1, "1-11", "0123",
     "sf"},
    {"a heading cannot be selected", "rhr", "S0 s1", 0, "--00", "", ""},
    {"an absent row cannot be selected", "rr", "S0 s2", 0, "--00", "", ""},
    {"a refused leave keeps the selection and redraws both", "rrr", "S0 m2 d2 u r2", kNoAnswer,
     "2-02", "02", ""},
    // Keys
    {"home skips a heading", "hrr", "kh", 1, "----", "", ""},
    {"end skips a heading", "rrh", "ke", 1, "----", "", ""},
    {"up from nothing goes to the last selectable row", "rrh", "k^", 1, "----", "", ""},
    {"up at the top has nowhere to go", "hrr", "S1 k^", kNone, "--11", "", ""},
    {"down from the selected row skips a heading", "rhr", "S0 kv", 2, "--00", "", ""},
    {"down from nothing goes to the first selectable row", "hr", "kv", 1, "----", "", ""},
    {"the keys move focus and hover together", "rrr", "S0 i f2", 1, "2-02", "02", "f"},
    {"the focus never goes to a heading", "rhr", "S0 f1", 0, "--00", "", ""},
    {"enter activates the focus row and ends a press", "rrr", "m1 d1 e", 1, "1--1", "1", ""},
    {"enter without a focus row does nothing", "rrr", "e", kNone, "----", "", ""},
    // Keyboard focus and the items' end
    {"getting the keyboard redraws and announces the focus row", "rrr", "S1 i", kNoAnswer, "--11",
     "1", "f"},
    {"losing the keyboard redraws the focus row only", "rrr", "S1 i o", kNoAnswer, "--11", "1", ""},
    {"no items, no states", "rrr", "S1 m2 d0 c", kNoAnswer, "----", "", ""},
    {"no items, nothing to select", "rrr", "c s0", 0, "----", "", ""},
};

TEST(MenuRowState, EventSequencesLeaveTheirStatesAndRedrawOnlyTheRowsThatChanged) {
    for (const Case& c : kCases) {
        CMenuRowState state;
        state.SetRows(Rows(c.rows));
        int32_t answer = kNoAnswer;
        std::istringstream events(c.events);
        for (std::string event; events >> event;) {
            state.TakeChanges();
            answer = Apply(state, event);
        }
        const app::CMenuRowChanges changes = state.TakeChanges();
        EXPECT_EQ(answer, c.answer) << c.name;
        EXPECT_EQ(RowText(state.Hover()) + RowText(state.Pressed()) + RowText(state.Selected()) +
                      RowText(state.Focus()),
                  c.state)
            << c.name << ": hover, pressed, selected, focus";
        std::set<int32_t> redrawn;
        for (const char* row = c.redrawn; *row; ++row)
            redrawn.insert(RowOf(*row));
        EXPECT_EQ(std::set<int32_t>(changes.Rows().begin(), changes.Rows().end()), redrawn)
            << c.name << ": rows drawn again";
        EXPECT_EQ(std::string(changes.selectionMoved ? "s" : "") + (changes.focusMoved ? "f" : ""),
                  c.told)
            << c.name << ": told";
    }
}

TEST(MenuRowState, ARowShowsSelectedOverPressedOverHover) {
    CMenuRowState state;
    state.SetRows(Rows("rrrrh"));
    state.StartSelected(0);
    state.MouseMove(2, false);
    state.ButtonDown(1);
    const MenuRowBand bands[] = {MenuRowBand::Selected, MenuRowBand::Pressed, MenuRowBand::Hover,
                                 MenuRowBand::Plain, MenuRowBand::Plain};
    for (int32_t row = 0; row < 5; ++row)
        EXPECT_EQ(state.BandOf(row), bands[row]) << "row " << row;
    state.ButtonDown(0);
    EXPECT_EQ(state.BandOf(0), MenuRowBand::Selected) << "selected and pressed";
    state.MouseMove(0, true);
    EXPECT_EQ(state.BandOf(0), MenuRowBand::Selected) << "selected, pressed and hovered";
    EXPECT_EQ(state.BandOf(kNone), MenuRowBand::Plain);
}

} // namespace
} // namespace qk::test
