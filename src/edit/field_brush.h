#pragma once

#include <QRgb>

namespace rdsim {

class frmMain;
struct Simulation;

// Radius in cells (Slider1) and intensity 0..255 (Slider2), read once per event.
struct Brush {
  int radius = 0;
  int intensity = 0;
};

// Reads R, then a, in that order.
Brush ReadBrush(const frmMain& form);

// The value a brush of intensity a writes: Umax*a/255 or Vmax*a/255.
float BrushValue(bool activator, int intensity);
// (a, 0, 0) for the activator, (0, 0, a) for the inhibitor, as 0xRRGGBB.
QRgb BrushMarkColor(bool activator, int intensity);

// Writes one disc of the brush centred at (cx, cy), in cells, into both
// buffers of the selected species, and marks each cell's pixel in Picture3.
// The disc is clipped to the field.
void PaintDisc(frmMain& form, float cx, float cy, const Brush& brush);

// Whether a move continues the stroke. A move that reports no left button
// means its release went elsewhere (a message box shown during the drag takes
// it): the stroke ends, and that move paints nothing. Shared by the profiles.
bool StrokeGoesOn(Simulation& sim, int buttons);

void Picture3_MouseDown(frmMain& form, int button, float x, float y);
// buttons: those held during the move, 1 the left.
void Picture3_MouseMove(frmMain& form, int buttons, float x, float y);
void Picture3_MouseUp(frmMain& form);

// Swatch 0 selects the activator, 1 the inhibitor; other indices do nothing.
void Picture6_Click(frmMain& form, int index);

// The brush footprint at one pixel per cell around pixel (12, 12) of Picture5.
void DrawBrushPreview(frmMain& form);

}  // namespace rdsim
