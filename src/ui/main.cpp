#include <QApplication>
#include <QRect>
#include <QScreen>
#include <csignal>

#include "ui/fonts.h"
#include "ui/frm_main.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  rdsim::InstallFontSubstitutions();
  // Menus and message boxes are windows of their own and do not inherit the
  // main window's font.
  QApplication::setFont(rdsim::DefaultFont());

  // Past a file size limit a save fails with a message instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);

  rdsim::frmMain window;
  window.Form_Load();
  window.adjustSize();
  const QRect screen = window.screen()->availableGeometry();
  window.move(screen.center() - window.rect().center());
  window.show();
  return app.exec();
}
