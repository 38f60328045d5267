#include "edit/field_brush.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/checked.h"
#include "core/checked_cell.h"
#include "core/constants.h"
#include "run/undo.h"

namespace rdsim {

namespace {

constexpr int kPreviewSize = 25;
constexpr int kPreviewCentre = 12;
// Beyond this many cells a move is not joined to the last position: only a
// pointer far outside the window reports such jumps, and the discs would
// all miss the field.
constexpr double kLongestJoin = 65536;

// Distance of a cell from the centre, stored as single precision like every
// value the disc test compares.
float Distance(double dx, double dy) { return ToSingle(std::sqrt(dx * dx + dy * dy)); }

}  // namespace

Brush ReadBrush(const BrushView& view) {
  Brush brush;
  brush.radius = view.BrushRadius();
  brush.intensity = view.BrushIntensity();
  return brush;
}

float BrushValue(bool activator, int intensity) {
  const double top = activator ? Umax : Vmax;
  return ToSingle(top * intensity / 255.0);
}

std::uint32_t BrushMarkColor(bool activator, int intensity) {
  const auto a = static_cast<std::uint32_t>(std::clamp(intensity, 0, 255));
  return activator ? a << 16 : a;
}

void PaintDisc(Session& session, BrushView& view, float cx, float cy, const Brush& brush) {
  Simulation& sim = session.sim;
  const double r = brush.radius;
  const std::int32_t x0 = std::max(RoundToInt32(double(cx) - r), 0);
  const std::int32_t x1 = std::min(RoundToInt32(double(cx) + r), sim.Nm1);
  const std::int32_t y0 = std::max(RoundToInt32(double(cy) - r), 0);
  const std::int32_t y1 = std::min(RoundToInt32(double(cy) + r), sim.Nm1);
  const bool activator = session.BrushOnActivator;
  const float value = BrushValue(activator, brush.intensity);
  const std::uint32_t mark = BrushMarkColor(activator, brush.intensity);
  Buffer& first = activator ? sim.U() : sim.V();
  Buffer& second = activator ? sim.U2() : sim.V2();
  const char* firstName = activator ? "U" : "V";
  const char* secondName = activator ? "U2" : "V2";
  Picture& picture = view.Field();
  // The marks are in the image at once (the spiral reads them back); the
  // window repaints the disc's box once.
  const DrawingBatch batch(picture);
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

void StartBrushStroke(Session& session, BrushView& view, int button, float x, float y) {
  if (button != 1 || session.MouseDrawing) return;
  // The brush is a tool of the 2D field; one stroke is one step of undo.
  RememberField(session, Mode::TwoD, "Brush Stroke");
  session.MouseDrawing = true;
  session.StrokeX = x;
  session.StrokeY = y;
  PaintDisc(session, view, x, y, ReadBrush(view));
}

bool StrokeGoesOn(Session& session, int buttons) {
  if (!session.MouseDrawing) return false;
  if ((buttons & 1) == 0) session.MouseDrawing = false;
  if (session.MouseDrawing) ++session.HandChanges;
  return session.MouseDrawing;
}

void ContinueBrushStroke(Session& session, BrushView& view, int buttons, float x, float y) {
  if (!StrokeGoesOn(session, buttons)) return;
  const Brush brush = ReadBrush(view);
  const DrawingBatch batch(view.Field());
  // A fast drag reports positions far apart: discs at most one cell apart in
  // either direction along the way draw a line rather than beads, the same
  // line as a slow drag that reports every cell.
  const double x0 = session.StrokeX, y0 = session.StrokeY;
  const double cells = std::ceil(std::max(std::abs(x - x0), std::abs(y - y0)));
  const int stamps = cells < kLongestJoin ? static_cast<int>(cells) : 1;
  for (int i = 1; i < stamps; ++i)
    PaintDisc(session, view, ToSingle(x0 + (x - x0) * i / stamps), ToSingle(y0 + (y - y0) * i / stamps), brush);
  PaintDisc(session, view, x, y, brush);
  session.StrokeX = x;
  session.StrokeY = y;
}

void EndStroke(Session& session) { session.MouseDrawing = false; }

void ChooseBrushSpecies(Session& session, BrushView& view, int index) {
  if (index != 0 && index != 1) return;
  const bool activator = index == 0;
  // The chosen species at full brightness, the other dimmed.
  view.Swatch(0).SetBackColor(activator ? 0xFF0000 : 0x7F0000);
  view.Swatch(1).SetBackColor(activator ? 0x00007F : 0x0000FF);
  session.BrushOnActivator = activator;
  DrawBrushPreview(session, view);
}

void DrawBrushPreview(const Session& session, BrushView& view) {
  Picture& preview = view.Preview();
  const DrawingBatch batch(preview);
  preview.Cls();
  const Brush brush = ReadBrush(view);
  const std::uint32_t mark = BrushMarkColor(session.BrushOnActivator, brush.intensity);
  for (int n = 0; n < kPreviewSize; ++n) {
    for (int m = 0; m < kPreviewSize; ++m) {
      if (Distance(n - kPreviewCentre, m - kPreviewCentre) <= brush.radius)
        preview.PSet(static_cast<float>(m), static_cast<float>(n), mark);
    }
  }
}

}  // namespace rdsim
