#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QString>
#include <QTimer>

namespace rdsim {

// A label whose caption may change after every step of a run. The caption is
// always current; the screen catches up at most once per frame, so a run does
// not pay a repaint per step.
class CounterLabel : public QLabel {
  Q_OBJECT

 public:
  explicit CounterLabel(const QString& caption, QWidget* parent);

  void SetCaption(const QString& caption);
  const QString& Caption() const { return caption_; }

  // Announced spaces its signals at least this far apart.
  static constexpr int AnnounceMilliseconds = 250;

 signals:
  // The caption for listeners that must not hear every step (a screen
  // reader): the first change at once, later ones at most once per
  // AnnounceMilliseconds, and the last one always.
  void Announced(const QString& caption);

 private:
  void Flush();
  void Announce();

  QString caption_;
  QString announced_;
  QTimer flushTimer_;
  QTimer announceTimer_;
};

}  // namespace rdsim
