// The Help menu and File > Quit.
#include "ui/error_boundary.h"
#include "ui/frm_main.h"
#include "ui/help_pages.h"

namespace rdsim {

void frmMain::mnuQuickStart_Click() {
  RunEvent(this, [this] { ShowQuickStart(this); });
}

void frmMain::mnuAbout_Click() {
  RunEvent(this, [this] { ShowAbout(this); });
}

// As the window's close box: a run ends, a recording keeps its frames.
void frmMain::mnuQuit_Click() {
  RunEvent(this, [this] { close(); });
}

}  // namespace rdsim
