// Build-time helper: writes the window's own icon as PNG files for the
// desktop's icon theme, so the installed icon is always the one the window
// shows. Usage: rdsim_make_icons OUTDIR SIZE...  (writes OUTDIR/SIZE.png)
#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

#include "ui/icons.h"

int main(int argc, char* argv[]) {
  // No display is needed to draw into an image.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTDIR SIZE...\n", argv[0]);
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!out.mkpath(QStringLiteral("."))) return 1;
  for (int i = 2; i < argc; ++i) {
    const int size = QString::fromLatin1(argv[i]).toInt();
    if (size < 16 || size > 512) {
      std::fprintf(stderr, "%s: size %s outside 16 to 512\n", argv[0], argv[i]);
      return 2;
    }
    const QString path = out.filePath(QString::number(size) + QStringLiteral(".png"));
    if (!rdsim::WindowIconImage(size).save(path, "PNG")) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(path));
      return 1;
    }
  }
  return 0;
}
