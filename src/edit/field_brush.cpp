#include "edit/field_brush.h"

#include <QSlider>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/checked.h"
#include "core/constants.h"
#include "edit/checked_cell.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

namespace rdsim {

namespace {

constexpr int kPreviewSize = 25;
constexpr int kPreviewCentre = 12;

// Distance of a cell from the centre, stored as single precision like every
// value the disc test compares.
float Distance(double dx, double dy) { return ToSingle(std::sqrt(dx * dx + dy * dy)); }

}  // namespace

Brush ReadBrush(const frmMain& form) {
  Brush brush;
  brush.radius = form.Slider1->value();
  brush.intensity = form.Slider2->value();
  return brush;
}

float BrushValue(bool activator, int intensity) {
  const double top = activator ? Umax : Vmax;
  return ToSingle(top * intensity / 255.0);
}

QRgb BrushMarkColor(bool activator, int intensity) {
  const auto a = static_cast<QRgb>(std::clamp(intensity, 0, 255));
  return activator ? a << 16 : a;
}

void PaintDisc(frmMain& form, float cx, float cy, const Brush& brush) {
  Simulation& sim = form.sim;
  const double r = brush.radius;
  const std::int32_t x0 = std::max(RoundToInt32(double(cx) - r), 0);
  const std::int32_t x1 = std::min(RoundToInt32(double(cx) + r), sim.Nm1);
  const std::int32_t y0 = std::max(RoundToInt32(double(cy) - r), 0);
  const std::int32_t y1 = std::min(RoundToInt32(double(cy) + r), sim.Nm1);
  const bool activator = sim.BrushOnActivator;
  const float value = BrushValue(activator, brush.intensity);
  const QRgb mark = BrushMarkColor(activator, brush.intensity);
  Buffer& first = activator ? sim.U() : sim.V();
  Buffer& second = activator ? sim.U2() : sim.V2();
  const char* firstName = activator ? "U" : "V";
  const char* secondName = activator ? "U2" : "V2";
  PictureBox& picture = *form.Picture3;
  // The marks are in the image at once (the spiral reads them back); the
  // window repaints the disc's box once.
  const PictureBox::RepaintBatch batch(picture);
  for (std::int32_t x = x0; x <= x1; ++x) {
    for (std::int32_t y = y0; y <= y1; ++y) {
      if (Distance(x - double(cx), y - double(cy)) > r) continue;
      const std::int32_t k = CheckedAdd(x, CheckedMul(y, sim.N));
      float& cell = CellAt(first, k, firstName);
      cell = value;
      CellAt(second, k, secondName) = cell;
      picture.PSet(static_cast<float>(x), static_cast<float>(y), mark);
    }
  }
}

void Picture3_MouseDown(frmMain& form, int button, float x, float y) {
  if (button != 1 || form.sim.MouseDrawing) return;
  form.sim.MouseDrawing = true;
  PaintDisc(form, x, y, ReadBrush(form));
}

bool StrokeGoesOn(Simulation& sim, int buttons) {
  if (!sim.MouseDrawing) return false;
  if ((buttons & 1) == 0) sim.MouseDrawing = false;
  return sim.MouseDrawing;
}

void Picture3_MouseMove(frmMain& form, int buttons, float x, float y) {
  if (!StrokeGoesOn(form.sim, buttons)) return;
  PaintDisc(form, x, y, ReadBrush(form));
}

void Picture3_MouseUp(frmMain& form) { form.sim.MouseDrawing = false; }

void Picture6_Click(frmMain& form, int index) {
  if (index != 0 && index != 1) return;
  const bool activator = index == 0;
  // The chosen species at full brightness, the other dimmed.
  form.Picture6[0]->SetBackColor(activator ? 0xFF0000 : 0x7F0000);
  form.Picture6[1]->SetBackColor(activator ? 0x00007F : 0x0000FF);
  form.sim.BrushOnActivator = activator;
  DrawBrushPreview(form);
}

void DrawBrushPreview(frmMain& form) {
  PictureBox& preview = *form.Picture5;
  const PictureBox::RepaintBatch batch(preview);
  preview.Cls();
  const Brush brush = ReadBrush(form);
  const QRgb mark = BrushMarkColor(form.sim.BrushOnActivator, brush.intensity);
  for (int n = 0; n < kPreviewSize; ++n) {
    for (int m = 0; m < kPreviewSize; ++m) {
      if (Distance(n - kPreviewCentre, m - kPreviewCentre) <= brush.radius)
        preview.PSet(static_cast<float>(m), static_cast<float>(n), mark);
    }
  }
}

}  // namespace rdsim
