#include "run/mode_switch.h"

#include <QGroupBox>

#include "core/parameter_intake.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

namespace rdsim {

void Option1_Click(frmMain& form, int index) {
  Simulation& sim = form.sim;
  if (index == 0) {
    // The profile pen writes U/V only, so U/V must hold the newest field
    // before the line takes it over.
    KeepNewestFieldInU(sim);
    sim.buffers.Resize(static_cast<std::size_t>(BufferLength(Mode::OneD, sim.N)));
    form.Picture1->show();
    form.Picture2->show();
    form.Picture3->hide();
    form.Frame3->hide();
  } else if (index == 1) {
    sim.buffers.Resize(static_cast<std::size_t>(BufferLength(Mode::TwoD, sim.N)));
    form.Picture1->hide();
    form.Picture2->hide();
    form.Picture3->show();
    form.Frame3->show();
  }
}

}  // namespace rdsim
