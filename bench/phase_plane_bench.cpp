// One click in the phase plane at N = 128, in both modes, beside what it is
// made of: the intake alone, and the points drawn one PSet at a time instead
// of off-screen. Figures are medians over many clicks in the same process.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "params/phase_plane_points.h"
#include "run/intake.h"
#include "ui/error_boundary.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

using namespace rdsim;

namespace {

double MedianMilliseconds(int repeats, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < repeats; ++i) {
    QElapsedTimer clock;
    clock.start();
    work();
    QCoreApplication::processEvents();  // the repaint the click asked for
    times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
  }
  std::nth_element(times.begin(), times.begin() + repeats / 2, times.end());
  return times[static_cast<std::size_t>(repeats / 2)];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  SetErrorSink([](const std::string& message) { std::fprintf(stderr, "error: %s\n", message.c_str()); });
  const int repeats = argc > 1 ? std::atoi(argv[1]) : 200;

  frmMain form;
  form.Form_Load();
  form.show();
  form.Text3->setText("128");
  for (int mode : {0, 1}) {
    form.Option1[mode]->click();
    float x = 0;
    const double click = MedianMilliseconds(repeats, [&] {
      x = x >= 1990 ? 10 : x + 7;  // a new start point each time
      form.Picture4_MouseDown(1, 0, x, 2000 - x);
    });
    const double intake = MedianMilliseconds(repeats, [&] { ReadParameters(form.session, form.ports); });
    const double pointByPoint = MedianMilliseconds(repeats, [&] {
      form.Picture4->Cls();
      ReadParameters(form.session, form.ports);
      for (const PhasePoint& p :
           PhasePlanePoints(form.session.sim.coef, 5, 5, form.session.sim.synU, form.session.sim.synV)) {
        form.Picture4->PSet(p.x, p.y, p.color);
      }
    });
    std::printf("%s N=128: click=%.3f ms (intake alone %.3f ms; drawn point by point %.3f ms), median of %d\n",
                mode == 0 ? "1D" : "2D", click, intake, pointByPoint, repeats);
  }
  return 0;
}
