#include <QCloseEvent>

#include "core/constants.h"
#include "edit/clear_random.h"
#include "edit/field_brush.h"
#include "params/presets.h"
#include "run/intake.h"
#include "run/mode_switch.h"
#include "run/recording.h"
#include "run/run_control.h"
#include "ui/error_boundary.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

namespace rdsim {

void frmMain::Form_Load() {
  AddFileMenuItems();
  AttachCellCursors();
  // A preset file passed over is reported on its own: the start-up goes on.
  RunEvent(this, [this] { LoadPresets(session, ports); });
  RunEvent(this, [this] {
    ReadParameters(session, ports);
    session.Running = false;
    session.BrushOnActivator = true;
    session.sim.CurrentInU = true;
    // The intake's scale, 0 to N: a profile drawn before the first intake
    // must land where every later one does.
    const auto cells = static_cast<double>(session.sim.N);
    Picture1->Scale(0, Umax, cells, 0);
    Picture2->Scale(0, Vmax, cells, 0);
    Picture4->Scale(0, 2000, 2000, 0);
    DrawBrushPreview(session, ports);
  });
}

void frmMain::Run_Click() {
  RunEvent(this, [this] { StartOrStopRun(session, ports); });
}
void frmMain::Option1_Click(int Index) {
  RunEvent(this, [this, Index] { SwitchMode(session, ports, Index); });
}
void frmMain::Random_Click() {
  RunEvent(this, [this] { FillWithNoise(session, ports); });
}
void frmMain::Clear_Click() {
  RunEvent(this, [this] { ClearField(session, ports); });
}
void frmMain::mnuSpeed_Click(int Index) {
  RunEvent(this, [this, Index] {
    if (Index < 0 || Index >= static_cast<int>(std::size(mnuSpeed))) return;
    SetRunSpeed(session, Index);
    mnuSpeed[Index]->setChecked(true);
  });
}

// Closing ends every running loop; the outermost handler then returns to the
// event loop, which quits with the last window.
void frmMain::closeEvent(QCloseEvent* event) {
  Closing = true;
  session.Running = false;
  // A movie being recorded is kept up to its last frame.
  RunEvent(this, [this] { StopRecording(session, ports); });
  event->accept();
}

}  // namespace rdsim
