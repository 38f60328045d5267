#pragma once

class QLineEdit;
class QString;

namespace rdsim {

// Puts a text into a box and shows it from its start. A line edit leaves its
// cursor after the last character, so a number wider than the box would show
// only its end: its sign and leading digits hidden.
void SetBoxText(QLineEdit* box, const QString& text);

}  // namespace rdsim
