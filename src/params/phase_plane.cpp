#include "params/phase_plane.h"

#include "core/checked.h"
#include "params/phase_plane_points.h"
#include "run/intake.h"

namespace rdsim {

void ClickPhasePlane(Session& session, RunView& view, Picture& panel, float x, float y) {
  panel.Cls();
  const float u0 = ToSingle(x / 200.0);
  const float v0 = ToSingle(y / 200.0);
  ReadParameters(session, view);

  Simulation& sim = session.sim;
  const std::vector<PhasePoint> points = PhasePlanePoints(sim.coef, u0, v0, sim.synU, sim.synV);
  // Drawn off-screen and shown in one transfer: ten thousand single-pixel
  // repaints would cost more than the arithmetic.
  PixelImage canvas = panel.Pixels();
  for (const PhasePoint& p : points) SetPixel(canvas, panel.PixelX(p.x), panel.PixelY(p.y), p.color);
  panel.Blit(canvas);
}

}  // namespace rdsim
