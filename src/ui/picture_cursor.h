#pragma once

#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <QTimer>
#include <functional>

#include "ui/cell_cursor.h"

class QKeyEvent;

namespace rdsim {

class PictureBox;

// The keyboard's hand in a picture: the arrows move a cell cursor, Space and
// Enter press there as the left mouse button would (Space held draws a
// stroke until it is released, Escape pressed or the focus lost), and a
// reader hears where the cursor stands and what is under it. Tab is left to
// the window, so the focus never stays caught in a picture.
class PictureCursor : public QObject {
  Q_OBJECT

 public:
  // How the cursor's places map onto the picture.
  enum class Kind {
    Cells,       // a cell per place on both axes, one user unit each: the field
    CellValues,  // pixel columns across, heights 0 to 10 by 0.1 upwards: a profile
    Values,      // u and v 0 to 10 by 0.1, 200 of the picture's units to 1: the phase plane
  };
  // The reader's text for the cursor at `user`, the point a press there
  // reports in the picture's units.
  using Describe = std::function<QString(QPointF user)>;

  PictureCursor(PictureBox* picture, Kind kind, Describe describe);

  // Where a press at the cursor lands, in the picture's units.
  QPointF UserPoint() const;
  // The pixel of the drawing area the outline surrounds.
  QPoint AreaPixel() const;

  // Announced spaces the reader's updates at least this far apart.
  static constexpr int AnnounceMilliseconds = 250;

 signals:
  // As the picture's own pointer signals: button 1, no shift, user units.
  void MouseDown(int button, int shift, float x, float y);
  void MouseMove(int buttons, int shift, float x, float y);
  void MouseUp(int button, int shift, float x, float y);
  // The text a reader was given: the first change at once, later ones at
  // most once per AnnounceMilliseconds, the last one always.
  void Announced(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool KeyPress(const QKeyEvent& event);
  void Fit();
  void Moved();
  void StartStroke();
  void EndStroke();
  void Announce();
  void FocusIn();
  void FocusOut();

  PictureBox* picture_;
  Kind kind_;
  Describe describe_;
  CellCursor cursor_;
  bool stroke_ = false;
  QString instructions_;  // the picture's description while it has no focus
  QString announced_;
  QTimer quiet_;
};

}  // namespace rdsim
