#include "run/mode_switch.h"

#include "run/recording.h"

namespace rdsim {

void SwitchMode(Session& session, RunView& view, int index) {
  Simulation& sim = session.sim;
  if (index == 0) {
    // The profile pen writes U/V only, so U/V must hold the newest field
    // before the line takes it over.
    KeepNewestFieldInU(sim);
    sim.buffers.Resize(static_cast<std::size_t>(BufferLength(Mode::OneD, sim.N)));
    view.ShowModeControls(Mode::OneD);
  } else if (index == 1) {
    sim.buffers.Resize(static_cast<std::size_t>(BufferLength(Mode::TwoD, sim.N)));
    view.ShowModeControls(Mode::TwoD);
  }
  EndRecordingIfFrameChanged(session, view);
}

}  // namespace rdsim
