#include "edit/clear_random.h"

#include <chrono>

#include "core/checked.h"
#include "core/constants.h"
#include "core/noise_fill.h"
#include "run/field_image.h"
#include "run/profile_plots.h"
#include "ui/form_ports.h"
#include "ui/frm_main.h"

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

void Redraw(frmMain& form, Mode mode) {
  if (mode == Mode::OneD) {
    DrawProfiles(form);
  } else {
    DrawField(form, form.sim.U());
  }
}

}  // namespace

void Clear_Click(frmMain& form) {
  ReadParameters(form);
  const Mode mode = SelectedMode(form);
  if (mode == Mode::None) return;
  const std::size_t cells = CellCount(form.sim, mode);
  std::fill_n(form.sim.U().begin(), cells, 0.0f);
  std::fill_n(form.sim.V().begin(), cells, 0.0f);
  Redraw(form, mode);
}

void Random_Click(frmMain& form) {
  const auto seed = static_cast<std::uint32_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
  const Mode mode = SelectedMode(form);
  if (mode == Mode::None) return;
  Simulation& sim = form.sim;
  FillNoise(sim.U(), sim.V(), CellCount(sim, mode), seed);
  // During a 2D run the newest field may be in U2/V2; the noise must be what
  // the next step reads.
  if (mode == Mode::TwoD) sim.CurrentInU = true;
  Redraw(form, mode);
}

}  // namespace rdsim
