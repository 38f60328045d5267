// The editing tools' events: brush, swatches, sliders, spiral, profile drawing.
#include <QAction>

#include "edit/field_brush.h"
#include "edit/profile_drawing.h"
#include "edit/spiral_seed.h"
#include "run/undo.h"
#include "ui/error_boundary.h"
#include "ui/frm_main.h"

namespace rdsim {

void frmMain::mnuUndo_Click() {
  RunEvent(this, [this] { UndoFieldChange(session, ports); });
}
void frmMain::mnuRedo_Click() {
  RunEvent(this, [this] { RedoFieldChange(session, ports); });
}

// The items name the change they would take back or make again.
void frmMain::mnuEdit_Show() {
  const FieldHistory& history = session.history;
  const Mode mode = ports.SelectedMode();
  const bool undo = history.CanUndo(session.sim, mode), redo = history.CanRedo(session.sim, mode);
  mnuUndo->setEnabled(undo);
  mnuRedo->setEnabled(redo);
  mnuUndo->setText(undo ? QStringLiteral("&Undo %1").arg(QString::fromStdString(history.UndoName()))
                        : QStringLiteral("&Undo"));
  mnuRedo->setText(redo ? QStringLiteral("&Redo %1").arg(QString::fromStdString(history.RedoName()))
                        : QStringLiteral("&Redo"));
}

void frmMain::Spiral_Click() {
  RunEvent(this, [this] { StampSpiral(session, ports); });
}

void frmMain::Picture1_MouseDown(int Button, int, float X, float Y) {
  if (Button == 2) return PickProbe(Mode::OneD, X, Y);
  RunEvent(this, [=, this] { StartProfileStroke(session, ports, Profile::Activator, Button, X, Y); });
}
void frmMain::Picture1_MouseMove(int Button, int, float X, float Y) {
  RunEvent(this, [=, this] { ContinueProfileStroke(session, ports, Profile::Activator, Button, X, Y); });
}
void frmMain::Picture1_MouseUp(int, int, float, float) {
  RunEvent(this, [this] { EndStroke(session); });
}
void frmMain::Picture2_MouseDown(int Button, int, float X, float Y) {
  if (Button == 2) return PickProbe(Mode::OneD, X, Y);
  RunEvent(this, [=, this] { StartProfileStroke(session, ports, Profile::Inhibitor, Button, X, Y); });
}
void frmMain::Picture2_MouseMove(int Button, int, float X, float Y) {
  RunEvent(this, [=, this] { ContinueProfileStroke(session, ports, Profile::Inhibitor, Button, X, Y); });
}
void frmMain::Picture2_MouseUp(int, int, float, float) {
  RunEvent(this, [this] { EndStroke(session); });
}

void frmMain::Picture3_MouseDown(int Button, int, float X, float Y) {
  if (Button == 2) return PickProbe(Mode::TwoD, X, Y);
  RunEvent(this, [=, this] { StartBrushStroke(session, ports, Button, X, Y); });
}
void frmMain::Picture3_MouseMove(int Button, int, float X, float Y) {
  RunEvent(this, [=, this] { ContinueBrushStroke(session, ports, Button, X, Y); });
}
void frmMain::Picture3_MouseUp(int, int, float, float) {
  RunEvent(this, [this] { EndStroke(session); });
}

void frmMain::Picture6_Click(int Index) {
  RunEvent(this, [this, Index] { ChooseBrushSpecies(session, ports, Index); });
}

void frmMain::Slider1_Change() {
  RunEvent(this, [this] { DrawBrushPreview(session, ports); });
}
void frmMain::Slider1_Scroll() {
  RunEvent(this, [this] { DrawBrushPreview(session, ports); });
}
void frmMain::Slider2_Change() {
  RunEvent(this, [this] { DrawBrushPreview(session, ports); });
}
void frmMain::Slider2_Scroll() {
  RunEvent(this, [this] { DrawBrushPreview(session, ports); });
}

}  // namespace rdsim
