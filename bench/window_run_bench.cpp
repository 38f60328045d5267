// Steps per second of the window's 2D run loop (offscreen platform) beside
// the bare engine's, measured in the same process on the same field.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>

#include "core/integrators.h"
#include "ui/counter_label.h"
#include "ui/error_boundary.h"
#include "ui/form_ports.h"
#include "ui/frm_main.h"

using namespace rdsim;

namespace {

double BareEngineStepsPerSecond(Simulation sim, double seconds) {
  QElapsedTimer clock;
  clock.start();
  long steps = 0;
  while (clock.nsecsElapsed() < static_cast<qint64>(seconds * 1e9)) {
    for (int i = 0; i < 100; ++i) Step2D(sim, sim.CurrentInU ? Direction::Forward : Direction::Backward);
    steps += 100;
  }
  return static_cast<double>(steps) / (static_cast<double>(clock.nsecsElapsed()) / 1e9);
}

double WindowStepsPerSecond(frmMain& form, int milliseconds) {
  QElapsedTimer clock;
  QTimer::singleShot(milliseconds, form.Run, &QPushButton::click);
  clock.start();
  form.Run->click();  // returns when the timer's Stop press ends the run
  const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
  return (form.Label2->Caption().toDouble() - 1.0) / seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  SetErrorSink([](const std::string& message) { std::fprintf(stderr, "error: %s\n", message.c_str()); });
  const int milliseconds = argc > 1 ? std::atoi(argv[1]) : 3000;

  frmMain form;
  form.Form_Load();
  form.show();
  form.Option1[1]->click();
  form.Text3->setText("128");
  form.Text2->setText("20");
  form.Clear->click();
  form.Random->click();
  ReadParameters(form);

  for (int round = 0; round < 2; ++round) {
    const double engine = BareEngineStepsPerSecond(form.sim, milliseconds / 1000.0);
    const double window = WindowStepsPerSecond(form, milliseconds);
    std::printf("round %d: N=128 StepsPerImage=20 engine=%.0f steps/s window=%.0f steps/s ratio=%.1f%%\n", round + 1,
                engine, window, 100.0 * window / engine);
  }
  return 0;
}
