#include "params/phase_plane.h"

#include "core/checked.h"
#include "params/phase_plane_points.h"
#include "ui/form_ports.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"
#include "ui/raster.h"

namespace rdsim {

void Picture4_MouseDown(frmMain& form, float x, float y) {
  PictureBox& panel = *form.Picture4;
  panel.Cls();
  const float u0 = ToSingle(x / 200.0);
  const float v0 = ToSingle(y / 200.0);
  ReadParameters(form);

  const std::vector<PhasePoint> points = PhasePlanePoints(form.sim.coef, u0, v0, form.sim.synU, form.sim.synV);
  // Drawn off-screen and shown in one transfer: ten thousand single-pixel
  // repaints would cost more than the arithmetic.
  QImage canvas = panel.Image().copy();
  for (const PhasePoint& p : points) raster::SetPixel(canvas, panel.PixelX(p.x), panel.PixelY(p.y), p.color);
  panel.Blit(canvas);
}

}  // namespace rdsim
