// The keyboard's cursors in the pictures: each acts through the picture's own
// mouse handlers, so that a key does exactly what a press there would.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/simulation.h"
#include "ui/accessibility.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"
#include "ui/picture_cursor.h"

namespace rdsim {

namespace {

std::optional<float> CellOf(const Buffer& cells, std::int64_t k, std::int64_t count) {
  if (k < 0 || k >= count || std::uint64_t(k) >= cells.size()) return std::nullopt;
  return cells[std::size_t(k)];
}

}  // namespace

void frmMain::AttachCellCursors() {
  const auto mode = [this] { return ports.SelectedMode(); };
  FieldCursor = new PictureCursor(Picture3, PictureCursor::Kind::Cells, [this, mode](QPointF at) {
    const Simulation& sim = session.sim;
    const auto x = std::int64_t(at.x()), y = std::int64_t(at.y());
    const std::int64_t n = sim.N;
    const std::int64_t k = x < n ? x + y * n : -1;
    return FieldCursorText(int(x), int(y), CellOf(NewestActivator(sim, mode()), k, n * n),
                           CellOf(NewestInhibitor(sim, mode()), k, n * n));
  });
  const auto profileText = [this](bool activator) {
    return [this, activator](QPointF at) {
      Simulation& sim = session.sim;
      // The cell a press sets: the nearest, ties to even.
      const auto k = std::int64_t(std::nearbyint(at.x()));
      return ProfileCursorText(activator, int(k), at.y(), CellOf(activator ? sim.U() : sim.V(), k, sim.N));
    };
  };
  ActivatorCursor = new PictureCursor(Picture1, PictureCursor::Kind::CellValues, profileText(true));
  InhibitorCursor = new PictureCursor(Picture2, PictureCursor::Kind::CellValues, profileText(false));
  PhasePlaneCursor = new PictureCursor(Picture4, PictureCursor::Kind::Values,
                                       [](QPointF at) { return PhasePlaneCursorText(at.x() / 200, at.y() / 200); });

  connect(FieldCursor, &PictureCursor::MouseDown, this, &frmMain::Picture3_MouseDown);
  connect(FieldCursor, &PictureCursor::MouseMove, this, &frmMain::Picture3_MouseMove);
  connect(FieldCursor, &PictureCursor::MouseUp, this, &frmMain::Picture3_MouseUp);
  connect(ActivatorCursor, &PictureCursor::MouseDown, this, &frmMain::Picture1_MouseDown);
  connect(ActivatorCursor, &PictureCursor::MouseMove, this, &frmMain::Picture1_MouseMove);
  connect(ActivatorCursor, &PictureCursor::MouseUp, this, &frmMain::Picture1_MouseUp);
  connect(InhibitorCursor, &PictureCursor::MouseDown, this, &frmMain::Picture2_MouseDown);
  connect(InhibitorCursor, &PictureCursor::MouseMove, this, &frmMain::Picture2_MouseMove);
  connect(InhibitorCursor, &PictureCursor::MouseUp, this, &frmMain::Picture2_MouseUp);
  connect(PhasePlaneCursor, &PictureCursor::MouseDown, this, &frmMain::Picture4_MouseDown);
}

}  // namespace rdsim
