#pragma once

#include <QString>
#include <optional>

namespace rdsim {

class frmMain;

// Gives every control of the window a name a screen reader can say, unique in
// the window, and a description in plain text. Runs once, after the layout.
void NameForScreenReaders(frmMain& form);

// A coefficient box's name: "k4, factor of u in the inhibitor equation".
QString CoefficientAccessibleName(int k);

// The text of a rich-text tooltip without its markup; a line break becomes
// the end of a sentence, so that a reader pauses there.
QString PlainDescription(const QString& text);

// What a reader hears of the keyboard's cursor: its place, then what is under
// it where there is a cell. "x 40, y 52: u 3.21, v 1.05" in the field;
// "x 40, height 5.2: u 3.21" in a profile; "u 4.0, v 3.0" on the phase plane.
QString FieldCursorText(int x, int y, std::optional<float> u, std::optional<float> v);
QString ProfileCursorText(bool activator, int x, double height, std::optional<float> value);
QString PhasePlaneCursorText(double u, double v);

}  // namespace rdsim
