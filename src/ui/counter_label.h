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

 private:
  void Flush();

  QString caption_;
  QTimer flushTimer_;
};

}  // namespace rdsim
