// The editing tools' events: brush, swatches, sliders, spiral, profile drawing.
#include "ui/frm_main.h"

namespace rdsim {

void frmMain::Spiral_Click() {}
void frmMain::Picture1_MouseDown(int, int, float, float) {}
void frmMain::Picture1_MouseMove(int, int, float, float) {}
void frmMain::Picture1_MouseUp(int, int, float, float) {}
void frmMain::Picture2_MouseDown(int, int, float, float) {}
void frmMain::Picture2_MouseMove(int, int, float, float) {}
void frmMain::Picture2_MouseUp(int, int, float, float) {}
void frmMain::Picture3_MouseDown(int, int, float, float) {}
void frmMain::Picture3_MouseMove(int, int, float, float) {}
void frmMain::Picture3_MouseUp(int, int, float, float) {}
void frmMain::Picture6_Click(int) {}
void frmMain::Slider1_Change() {}
void frmMain::Slider1_Scroll() {}
void frmMain::Slider2_Change() {}
void frmMain::Slider2_Scroll() {}

}  // namespace rdsim
