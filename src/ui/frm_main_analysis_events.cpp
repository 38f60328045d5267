// The events of the Analysis menu.
#include "ui/error_boundary.h"
#include "ui/frm_main.h"
#include "ui/stability_window.h"

namespace rdsim {

// Opens the window beside this one the first time, and brings it back to
// the front afterwards; it analyses the boxes as they read now.
void frmMain::mnuStability_Click() {
  RunEvent(this, [this] {
    const bool first = frmStability == nullptr;
    if (first) frmStability = new StabilityWindow(ports, this);
    frmStability->Refresh();
    if (first) frmStability->PlaceBeside(*this);
    frmStability->show();
    frmStability->raise();
    frmStability->activateWindow();
  });
}

}  // namespace rdsim
