// The events of the View menu.
#include "ui/error_boundary.h"
#include "ui/field_window.h"
#include "ui/frm_main.h"

namespace rdsim {

// Opens the field window the first time, and brings it back to the front
// afterwards, showing the field as it is now.
void frmMain::mnuFieldWindow_Click() {
  RunEvent(this, [this] {
    if (!frmField) {
      frmField = new FieldWindow(*this);
      connect(frmField, &FieldWindow::ProbeChosen, this, &frmMain::ChooseProbe);
    }
    frmField->show();
    frmField->raise();
    frmField->activateWindow();
    frmField->Follow();
  });
}

}  // namespace rdsim
