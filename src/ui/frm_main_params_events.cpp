// The events of the presets, the phase plane and the image export.
#include "ui/frm_main.h"

namespace rdsim {

void frmMain::Combo1_Click() {}
void frmMain::SavePar_Click() {}
void frmMain::mnuSaveAs_Click() {}
void frmMain::Picture4_MouseDown(int, int, float, float) {}

}  // namespace rdsim
