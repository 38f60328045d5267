#include "ui/box_text.h"

#include <QLineEdit>

namespace rdsim {

void SetBoxText(QLineEdit* box, const QString& text) {
  box->setText(text);
  box->setCursorPosition(0);
}

}  // namespace rdsim
