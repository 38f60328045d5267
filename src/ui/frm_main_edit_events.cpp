// The editing tools' events: brush, swatches, sliders, spiral, profile drawing.
#include "edit/field_brush.h"
#include "edit/profile_drawing.h"
#include "edit/spiral_seed.h"
#include "ui/error_boundary.h"
#include "ui/frm_main.h"

namespace rdsim {

void frmMain::Spiral_Click() {
  RunEvent(this, [this] { rdsim::Spiral_Click(*this); });
}

void frmMain::Picture1_MouseDown(int Button, int, float X, float Y) {
  RunEvent(this, [=, this] { ProfileMouseDown(*this, Profile::Activator, Button, X, Y); });
}
void frmMain::Picture1_MouseMove(int Button, int, float X, float Y) {
  RunEvent(this, [=, this] { ProfileMouseMove(*this, Profile::Activator, Button, X, Y); });
}
void frmMain::Picture1_MouseUp(int, int, float, float) {
  RunEvent(this, [this] { ProfileMouseUp(*this); });
}
void frmMain::Picture2_MouseDown(int Button, int, float X, float Y) {
  RunEvent(this, [=, this] { ProfileMouseDown(*this, Profile::Inhibitor, Button, X, Y); });
}
void frmMain::Picture2_MouseMove(int Button, int, float X, float Y) {
  RunEvent(this, [=, this] { ProfileMouseMove(*this, Profile::Inhibitor, Button, X, Y); });
}
void frmMain::Picture2_MouseUp(int, int, float, float) {
  RunEvent(this, [this] { ProfileMouseUp(*this); });
}

void frmMain::Picture3_MouseDown(int Button, int, float X, float Y) {
  RunEvent(this, [=, this] { rdsim::Picture3_MouseDown(*this, Button, X, Y); });
}
void frmMain::Picture3_MouseMove(int Button, int, float X, float Y) {
  RunEvent(this, [=, this] { rdsim::Picture3_MouseMove(*this, Button, X, Y); });
}
void frmMain::Picture3_MouseUp(int, int, float, float) {
  RunEvent(this, [this] { rdsim::Picture3_MouseUp(*this); });
}

void frmMain::Picture6_Click(int Index) {
  RunEvent(this, [this, Index] { rdsim::Picture6_Click(*this, Index); });
}

void frmMain::Slider1_Change() {
  RunEvent(this, [this] { DrawBrushPreview(*this); });
}
void frmMain::Slider1_Scroll() {
  RunEvent(this, [this] { DrawBrushPreview(*this); });
}
void frmMain::Slider2_Change() {
  RunEvent(this, [this] { DrawBrushPreview(*this); });
}
void frmMain::Slider2_Scroll() {
  RunEvent(this, [this] { DrawBrushPreview(*this); });
}

}  // namespace rdsim
