// The screen's pixels per inch and the scaling of layouts drawn for 96 of them. The program
// declares itself aware of the system DPI: every size it lays out or draws by hand is given
// at 96 DPI and scaled once with these, as the dialog templates are by their dialog units.
#pragma once

namespace qk {

inline constexpr int kDesignDpi = 96;

// The system's pixels per inch (the screen's logical pixels; 96 for a program Windows scales).
int SystemDpi();

// A length laid out at 96 DPI, at `dpi` (rounded to the nearest pixel).
int ScaleToDpi(int pixels, int dpi);

} // namespace qk
