#include "edit/profile_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/checked.h"
#include "core/checked_cell.h"
#include "core/constants.h"
#include "edit/field_brush.h"
#include "run/undo.h"

namespace rdsim {

namespace {

constexpr std::uint32_t kBackground = 0xFFFFFF;

struct ProfileView {
  Picture& picture;
  Buffer& cells;
  const char* name;
  float top;
  std::uint32_t color;
};

ProfileView ViewOf(Session& session, RunView& view, Profile profile) {
  if (profile == Profile::Activator) return {view.ActivatorProfile(), session.sim.U(), "U", Umax, 0xFF0000};
  return {view.InhibitorProfile(), session.sim.V(), "V", Vmax, 0x0000FF};
}

// Sets the cell nearest to x (ties to even) to y pinned to the scale, and
// redraws only its column. The bar stands at the pointer's own x, which with
// one pixel per cell is the cell's column. Positions beyond the first or last
// cell are ignored, so the spare element after the last cell is never written.
void SetCell(Session& session, RunView& runView, Profile profile, float x, float y) {
  if (x > session.sim.Nm1 || x < 0) return;
  ProfileView view = ViewOf(session, runView, profile);
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

void StartProfileStroke(Session& session, RunView& view, Profile profile, int button, float x, float y) {
  if (button != 1 || session.MouseDrawing) return;
  RememberField(session, Mode::OneD, "Profile Stroke");
  session.MouseDrawing = true;
  session.StrokeX = x;
  session.StrokeY = y;
  // The press obeys the same bounds as a move: in the last pixel column x can
  // round to N, one past the last cell.
  SetCell(session, view, profile, x, y);
}

void ContinueProfileStroke(Session& session, RunView& view, Profile profile, int buttons, float x, float y) {
  if (!StrokeGoesOn(session, buttons)) return;
  // The cells a fast drag passes over between two reported positions take
  // the height of the line between them, as if the pointer had stopped on
  // each. The cell of the last position has had its event already.
  const DrawingBatch batch(ViewOf(session, view, profile).picture);
  const double x0 = session.StrokeX, y0 = session.StrokeY;
  const double from = std::nearbyint(x0), to = std::nearbyint(double(x));
  const double first = std::max(std::min(from, to) + 1, 0.0);
  const double last = std::min(std::max(from, to) - 1, double(session.sim.Nm1));
  for (double k = first; k <= last; ++k)
    SetCell(session, view, profile, static_cast<float>(k), ToSingle(y0 + (y - y0) * (k - x0) / (x - x0)));
  SetCell(session, view, profile, x, y);
  session.StrokeX = x;
  session.StrokeY = y;
}

}  // namespace rdsim
