#include "ui/counter_label.h"

namespace rdsim {

namespace {
constexpr int FrameMilliseconds = 16;
}

CounterLabel::CounterLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent), caption_(caption) {
  flushTimer_.setSingleShot(true);
  flushTimer_.setInterval(FrameMilliseconds);
  connect(&flushTimer_, &QTimer::timeout, this, &CounterLabel::Flush);
}

void CounterLabel::SetCaption(const QString& caption) {
  caption_ = caption;
  if (!flushTimer_.isActive()) {
    Flush();  // the first change shows at once; later ones wait for the frame
    flushTimer_.start();
  }
}

void CounterLabel::Flush() {
  if (text() != caption_) setText(caption_);
}

}  // namespace rdsim
