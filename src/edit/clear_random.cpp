#include "edit/clear_random.h"

#include <chrono>

#include "core/checked.h"
#include "core/constants.h"
#include "core/noise_fill.h"
#include "run/intake.h"
#include "run/undo.h"

namespace rdsim {

namespace {

// The cells of the selected mode, checked once against the buffers.
std::size_t CellCount(const Simulation& sim, Mode mode) {
  const std::int32_t n = sim.N > 0 ? sim.N : 0;
  const std::int32_t cells = mode == Mode::TwoD ? CheckedMul(n, n) : n;
  const auto count = static_cast<std::size_t>(cells);
  if (sim.buffers.U.size() < count || sim.buffers.V.size() < count) {
    throw RunError(Fault::SubscriptOutOfRange, "the field buffers are shorter than the field");
  }
  return count;
}

}  // namespace

void ClearField(Session& session, RunView& view) {
  ReadParameters(session, view);
  const Mode mode = view.SelectedMode();
  if (mode == Mode::None) return;
  Simulation& sim = session.sim;
  const std::size_t cells = CellCount(sim, mode);
  RememberField(session, mode, "Clear");
  std::fill_n(sim.U().begin(), cells, 0.0f);
  std::fill_n(sim.V().begin(), cells, 0.0f);
  session.FieldSteps = 0;
  DrawFromU(session, view, mode);
}

void FillWithNoise(Session& session, RunView& view) {
  const auto seed = static_cast<std::uint32_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
  const Mode mode = view.SelectedMode();
  if (mode == Mode::None) return;
  Simulation& sim = session.sim;
  const std::size_t cells = CellCount(sim, mode);
  RememberField(session, mode, "Random");
  FillNoise(sim.U(), sim.V(), cells, seed);
  session.FieldSteps = 0;
  // During a 2D run the newest field may be in U2/V2; the noise must be what
  // the next step reads.
  if (mode == Mode::TwoD) sim.CurrentInU = true;
  DrawFromU(session, view, mode);
}

}  // namespace rdsim
