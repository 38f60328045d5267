#pragma once

#include <QString>

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

}  // namespace rdsim
