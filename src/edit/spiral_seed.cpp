#include "edit/spiral_seed.h"

#include <cstdint>

#include "core/checked.h"
#include "edit/field_brush.h"
#include "run/undo.h"

namespace rdsim {

namespace {

constexpr std::uint32_t kSpiralGreen = 0x00FF00;
constexpr int kArcs = 400;
constexpr double kArcAngle = 0.0157;       // radians swept by one arc
constexpr double kRadiusGrowth = 0.00125;  // per arc, in units of the last cell index

void DrawSpiral(Picture& picture, double last) {
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

void PlotSpiral(Session& session, BrushView& view, int x, int y) {
  PaintDisc(session, view, static_cast<float>(x), static_cast<float>(y), ReadBrush(view));
}

void StampSpiral(Session& session, BrushView& view) {
  RememberField(session, Mode::TwoD, "Spiral");
  Picture& picture = view.Field();
  DrawSpiral(picture, session.sim.Nm1);
  // Each read sees the stamps made before it, so a pixel already covered by a
  // disc no longer reads green and triggers nothing.
  const int rows = session.sim.Nm1;
  for (int y = 0; y <= rows; ++y) {
    const int columns = session.sim.Nm1;
    for (int x = 0; x <= columns; ++x) {
      if (picture.GetPixel(x, y) == kSpiralGreen) PlotSpiral(session, view, x, y);
    }
  }
}

}  // namespace rdsim
