// Makes the README's dispersion plot: the window with the Labyrinth preset in
// 2D, Analysis > Linear Stability opened, and its plot grabbed at a fixed
// size. Run through scripts/dispersion_plot.sh (offscreen platform).
//   rdsim_dispersion_plot OUT.png
#include <QApplication>
#include <QComboBox>
#include <QRadioButton>

#include <cstdio>

#include "ui/dispersion_plot.h"
#include "ui/fonts.h"
#include "ui/frm_main.h"
#include "ui/stability_window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
    return 2;
  }
  rdsim::InstallFontSubstitutions();
  QApplication::setFont(rdsim::DefaultFont());

  rdsim::frmMain window;
  window.Form_Load();
  const int row = window.Combo1->findText(QStringLiteral("Labyrinth"));
  if (row < 0) {
    std::fprintf(stderr, "%s: no Labyrinth preset\n", argv[0]);
    return 1;
  }
  window.Combo1->setCurrentIndex(row);
  window.Combo1_Click();
  window.Option1[1]->click();
  window.mnuStability->trigger();
  rdsim::DispersionPlot* plot = window.frmStability->Plot;
  // A larger font than the window's own 8 points, for a picture read at
  // the README's width.
  QFont font = plot->font();
  font.setPointSizeF(10);
  plot->setFont(font);
  plot->setFixedSize(760, 400);
  const bool ok = plot->Curve() && plot->grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
  if (!ok) std::fprintf(stderr, "%s: the plot could not be written\n", argv[0]);
  return ok ? 0 : 1;
}
