#include "edit/profile_drawing.h"

#include <QRgb>

#include "core/checked.h"
#include "core/constants.h"
#include "edit/checked_cell.h"
#include "edit/field_brush.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

namespace rdsim {

namespace {

constexpr QRgb kBackground = 0xFFFFFF;

struct ProfileView {
  PictureBox& picture;
  Buffer& cells;
  const char* name;
  float top;
  QRgb color;
};

ProfileView ViewOf(frmMain& form, Profile profile) {
  if (profile == Profile::Activator) return {*form.Picture1, form.sim.U(), "U", Umax, 0xFF0000};
  return {*form.Picture2, form.sim.V(), "V", Vmax, 0x0000FF};
}

// Sets the cell nearest to x (ties to even) to y pinned to the scale, and
// redraws only its column. The bar stands at the pointer's own x, which with
// one pixel per cell is the cell's column. Positions beyond the first or last
// cell are ignored, so the spare element after the last cell is never written.
void SetCell(frmMain& form, Profile profile, float x, float y) {
  if (x > form.sim.Nm1 || x < 0) return;
  ProfileView view = ViewOf(form, profile);
  view.picture.Line(x, 0, x, view.top, kBackground);
  const std::int32_t k = RoundToInt32(x);
  float value = y;
  if (y > view.top) {
    value = view.top;
  } else if (y < 0) {
    value = 0;
  }
  float& cell = CellAt(view.cells, k, view.name);
  cell = value;
  view.picture.Line(x, 0, x, cell, view.color);
}

}  // namespace

void ProfileMouseDown(frmMain& form, Profile profile, int button, float x, float y) {
  if (button != 1 || form.sim.MouseDrawing) return;
  form.sim.MouseDrawing = true;
  // The press obeys the same bounds as a move: in the last pixel column x can
  // round to N, one past the last cell.
  SetCell(form, profile, x, y);
}

void ProfileMouseMove(frmMain& form, Profile profile, int buttons, float x, float y) {
  if (!StrokeGoesOn(form.sim, buttons)) return;
  SetCell(form, profile, x, y);
}

void ProfileMouseUp(frmMain& form) { form.sim.MouseDrawing = false; }

}  // namespace rdsim
