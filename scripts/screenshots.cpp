// Makes the README's screenshots: the window during a 2D run and during a 1D
// run, from seeded noise so that every run of the script gives the same
// pictures. Run through scripts/make_screenshots.sh (offscreen platform).
//   rdsim_screenshots OUTDIR
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>

#include "core/noise_fill.h"
#include "run/intake.h"
#include "ui/counter_label.h"
#include "ui/fonts.h"
#include "ui/frm_main.h"

namespace {

using rdsim::frmMain;

// Starts a run from seeded noise and grabs the window, still running, once
// `steps` steps are done; then stops the run.
bool ShootRun(frmMain& window, int mode, int steps, std::uint32_t seed, const QString& path) {
  window.Option1[mode]->click();
  window.Text3->setText(QStringLiteral("128"));
  rdsim::ReadParameters(window.session, window.ports);
  const std::size_t cells = mode == 1 ? 128u * 128u : 128u;
  rdsim::FillNoise(window.session.sim.U(), window.session.sim.V(), cells, seed);
  bool saved = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &window, [&] {
    if (window.Label2->Caption().toInt() - 1 < steps) return;
    poll.stop();
    saved = window.grab().save(path, "PNG");
    window.Run->click();  // Stop
  });
  poll.start(0);
  window.Run->click();  // Start; returns when the run has stopped
  return saved;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
    return 2;
  }
  rdsim::InstallFontSubstitutions();
  QApplication::setFont(rdsim::DefaultFont());
  const QDir out(QString::fromLocal8Bit(argv[1]));
  out.mkpath(QStringLiteral("."));

  frmMain window;
  window.Form_Load();
  window.adjustSize();
  window.show();
  const bool ok = ShootRun(window, 1, 12000, 7, out.filePath(QStringLiteral("run-2d.png"))) &&
                  ShootRun(window, 0, 6000, 11, out.filePath(QStringLiteral("run-1d.png")));
  if (!ok) std::fprintf(stderr, "%s: a screenshot could not be written\n", argv[0]);
  return ok ? 0 : 1;
}
