// The events of the presets, the phase plane and the image export.
#include "params/image_export.h"
#include "params/phase_plane.h"
#include "params/presets.h"
#include "ui/error_boundary.h"
#include "ui/frm_main.h"

namespace rdsim {

void frmMain::Combo1_Click() {
  RunEvent(this, [this] { rdsim::Combo1_Click(*this); });
}
void frmMain::SavePar_Click() {
  RunEvent(this, [this] { rdsim::SavePar_Click(*this); });
}
void frmMain::mnuSaveAs_Click() {
  RunEvent(this, [this] { rdsim::mnuSaveAs_Click(*this); });
}
void frmMain::Picture4_MouseDown(int, int, float X, float Y) {
  RunEvent(this, [this, X, Y] { rdsim::Picture4_MouseDown(*this, X, Y); });
}

}  // namespace rdsim
