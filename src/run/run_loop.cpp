#include "run/run_loop.h"

#include <QCoreApplication>
#include <QPushButton>
#include <string>

#include "core/checked.h"
#include "core/constants.h"
#include "core/integrators.h"
#include "run/field_image.h"
#include "run/profile_plots.h"
#include "ui/counter_label.h"
#include "ui/form_ports.h"
#include "ui/frm_main.h"

namespace rdsim {

namespace {

void ShowRunning(frmMain& form, bool running) {
  form.sim.Running = running;
  form.Run->setText(running ? "Stop" : "Start");
}

// After each yield: go on unless Stop was pressed, the window closed, or the
// user switched the mode under the loop (its buffers now belong to the other
// mode, so the run ends as if stopped).
bool KeepRunning(frmMain& form, Mode loopMode) {
  if (!form.sim.Running || form.Closing) return false;
  if (SelectedMode(form) != loopMode) {
    ShowRunning(form, false);
    return false;
  }
  return true;
}

// One iteration's bookkeeping, shared by both loops. Returns true when this
// step is due for a redraw.
bool CountStep(frmMain& form, std::int32_t k) {
  form.Label2->SetCaption(QString::number(CheckedAdd(k, 1)));
  if (form.sim.StepsPerImage == 0) {
    throw RunError(Fault::DivisionByZero, std::string(IterationsBoxName) + " is 0; it must be a whole number other than 0",
                   IterationsControlName);
  }
  return CheckedMod(k, form.sim.StepsPerImage) == 0;
}

template <typename Body>
void RunSteps(frmMain& form, Mode loopMode, Body body) {
  for (std::int32_t k = 1; k <= MaxRunSteps; ++k) {
    try {
      body(k);
    } catch (const RunError& error) {
      throw WithContext(error, "in step " + std::to_string(k) + " of the run");
    }
    YieldToWindow();
    if (!KeepRunning(form, loopMode)) break;
  }
}

}  // namespace

void YieldToWindow() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void Run_Click(frmMain& form) {
  if (form.sim.Running) {
    // Stop ends the run whatever the intake finds: a box mistyped during the
    // run must not keep the user from stopping it. Its error still shows.
    ShowRunning(form, false);
    ReadParameters(form);
    return;
  }
  ReadParameters(form);
  ShowRunning(form, true);
  switch (SelectedMode(form)) {
    case Mode::OneD: RunLoop1D(form); break;
    case Mode::TwoD: RunLoop2D(form); break;
    case Mode::None: break;
  }
}

void RunLoop1D(frmMain& form) {
  Simulation& sim = form.sim;
  RunSteps(form, Mode::OneD, [&](std::int32_t k) {
    Step1D(sim);
    if (CountStep(form, k)) DrawProfiles(form);
  });
}

void RunLoop2D(frmMain& form) {
  Simulation& sim = form.sim;
  RunSteps(form, Mode::TwoD, [&](std::int32_t k) {
    Step2D(sim, sim.CurrentInU ? Direction::Forward : Direction::Backward);
    if (CountStep(form, k)) DrawField(form, sim.CurrentInU ? sim.U() : sim.U2());
  });
}

}  // namespace rdsim
