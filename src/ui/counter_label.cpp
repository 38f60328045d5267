#include "ui/counter_label.h"

namespace rdsim {

namespace {
constexpr int FrameMilliseconds = 16;
}

CounterLabel::CounterLabel(const QString& caption, QWidget* parent)
    : QLabel(caption, parent), caption_(caption), announced_(caption) {
  flushTimer_.setSingleShot(true);
  flushTimer_.setInterval(FrameMilliseconds);
  connect(&flushTimer_, &QTimer::timeout, this, &CounterLabel::Flush);
  announceTimer_.setSingleShot(true);
  announceTimer_.setInterval(AnnounceMilliseconds);
  // A coarse timer may fire a little early, which would shorten the spacing.
  announceTimer_.setTimerType(Qt::PreciseTimer);
  connect(&announceTimer_, &QTimer::timeout, this, &CounterLabel::Announce);
}

void CounterLabel::SetCaption(const QString& caption) {
  caption_ = caption;
  if (!flushTimer_.isActive()) {
    Flush();  // the first change shows at once; later ones wait for the frame
    flushTimer_.start();
  }
  if (!announceTimer_.isActive()) Announce();
}

void CounterLabel::Flush() {
  if (text() != caption_) setText(caption_);
}

// Each announcement opens a quiet interval; what changes in it is told when
// it ends, which opens the next one.
void CounterLabel::Announce() {
  if (announced_ == caption_) return;
  announced_ = caption_;
  announceTimer_.start();
  emit Announced(announced_);
}

}  // namespace rdsim
