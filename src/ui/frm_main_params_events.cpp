// The events of the presets, the phase plane and the image export.
#include "params/image_export.h"
#include "params/phase_plane.h"
#include "params/presets.h"
#include "ui/error_boundary.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

namespace rdsim {

void frmMain::Combo1_Click() {
  RunEvent(this, [this] { ShowPickedPreset(session, ports); });
}
void frmMain::SavePar_Click() {
  RunEvent(this, [this] { SavePreset(session, ports); });
}
void frmMain::mnuSaveAs_Click() {
  RunEvent(this, [this] { ExportPictures(ports); });
}
void frmMain::Picture4_MouseDown(int, int, float X, float Y) {
  RunEvent(this, [this, X, Y] { ClickPhasePlane(session, ports, *Picture4, X, Y); });
}

}  // namespace rdsim
