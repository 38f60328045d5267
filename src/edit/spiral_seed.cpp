#include "edit/spiral_seed.h"

#include <QRgb>

#include "core/checked.h"
#include "edit/field_brush.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

namespace rdsim {

namespace {

constexpr QRgb kSpiralGreen = 0x00FF00;
constexpr int kArcs = 400;
constexpr double kArcAngle = 0.0157;     // radians swept by one arc
constexpr double kRadiusGrowth = 0.00125;  // per arc, in units of the last cell index

void DrawSpiral(PictureBox& picture, double last) {
  const float cx = ToSingle(0.5 * last);
  const float cy = ToSingle(0.4 * last);
  for (int i = 0; i < kArcs; ++i) {
    const float radius = ToSingle((i * kRadiusGrowth) * last);
    const float start = ToSingle(i * kArcAngle);
    const float end = ToSingle((i + 1) * kArcAngle);
    picture.Circle(cx, cy, radius, kSpiralGreen, start, end);
  }
}

}  // namespace

void PlotSpiral(frmMain& form, int x, int y) {
  PaintDisc(form, static_cast<float>(x), static_cast<float>(y), ReadBrush(form));
}

void Spiral_Click(frmMain& form) {
  PictureBox& picture = *form.Picture3;
  DrawSpiral(picture, form.sim.Nm1);
  // Each read sees the stamps made before it, so a pixel already covered by a
  // disc no longer reads green and triggers nothing.
  const int rows = form.sim.Nm1;
  for (int y = 0; y <= rows; ++y) {
    const int columns = form.sim.Nm1;
    for (int x = 0; x <= columns; ++x) {
      if (picture.GetPixel(x, y) == kSpiralGreen) PlotSpiral(form, x, y);
    }
  }
}

}  // namespace rdsim
