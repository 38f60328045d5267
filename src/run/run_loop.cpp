#include "run/run_loop.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <iterator>
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
bool KeepRunning(const frmMain& form, Mode loopMode) {
  return form.sim.Running && !form.Closing && SelectedMode(form) == loopMode;
}

// Whatever ends a run (Stop, the last step, a run-time error, a mode switch,
// the window closing) leaves the button ready to start the next one.
class RunEnds {
 public:
  explicit RunEnds(frmMain& form) : form_(form) {}
  ~RunEnds() { ShowRunning(form_, false); }
  RunEnds(const RunEnds&) = delete;
  RunEnds& operator=(const RunEnds&) = delete;

 private:
  frmMain& form_;
};

// The speed limit is spent inside the yield: the window keeps serving events
// until the step's share of a second is over, so every control stays live. A
// Stop or a change of speed takes effect at once.
void WaitForNextStep(const frmMain& form, Mode loopMode, const QElapsedTimer& sinceStep) {
  for (;;) {
    if (form.StepsPerSecond <= 0 || !KeepRunning(form, loopMode)) return;
    const qint64 leftNs = 1'000'000'000 / form.StepsPerSecond - sinceStep.nsecsElapsed();
    if (leftNs <= 0) return;
    // The timer only wakes the wait below when no other event does.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(static_cast<int>((leftNs + 999'999) / 1'000'000));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
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
  QElapsedTimer sinceStep;
  for (std::int32_t k = 1; k <= MaxRunSteps; ++k) {
    sinceStep.start();
    try {
      body(k);
    } catch (const RunError& error) {
      throw WithContext(error, "in step " + std::to_string(k) + " of the run");
    }
    YieldToWindow();
    WaitForNextStep(form, loopMode, sinceStep);
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
  const RunEnds ends(form);
  switch (SelectedMode(form)) {
    case Mode::OneD: RunLoop1D(form); break;
    case Mode::TwoD: RunLoop2D(form); break;
    case Mode::None: break;
  }
}

void mnuSpeed_Click(frmMain& form, int index) {
  if (index < 0 || index >= static_cast<int>(std::size(RunSpeeds))) return;
  form.StepsPerSecond = RunSpeeds[index];
  form.mnuSpeed[index]->setChecked(true);
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
