#include "ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace rdsim {

void PlaceWindowBeside(QWidget& window, const QWidget& owner) {
  const QRect frame = owner.frameGeometry();
  const QScreen* screen = owner.screen() ? owner.screen() : QGuiApplication::primaryScreen();
  const QRect room = screen ? screen->availableGeometry() : QRect(frame.topLeft(), frame.size() * 3);
  constexpr int Gap = 8;
  const QSize decoration = window.frameGeometry().size() - window.size();
  const QSize least = window.minimumSizeHint() + decoration;
  // As large as it asks, up to the whole screen's height (adjustSize stops
  // at two thirds, which at 200% leaves the plot a sliver).
  QSize want = window.sizeHint().expandedTo(window.minimumSizeHint()) + decoration;
  want.setHeight(std::min(want.height(), room.height()));
  const int right = room.right() + 1 - (frame.right() + 1 + Gap);
  const int left = frame.left() - Gap - room.left();
  // Right of it where it fits, else left; else narrower on the roomier side.
  QPoint place(frame.right() + 1 + Gap, frame.top());
  if (right < want.width() && left >= want.width()) {
    place.setX(frame.left() - Gap - want.width());
  } else if (right < want.width() && std::max(right, left) >= least.width()) {
    want.setWidth(std::max(right, left));
    if (left > right) place.setX(frame.left() - Gap - want.width());
  } else if (right < want.width()) {
    // No room beside: as narrow as it can be, against the screen's left
    // edge, where it hides the brush tools rather than Start and Stop.
    want.setWidth(std::min(least.width(), room.width()));
    place.setX(room.left());
  }
  window.resize(want - decoration);
  place.setX(std::clamp(place.x(), room.left(), std::max(room.left(), room.right() + 1 - want.width())));
  place.setY(std::clamp(place.y(), room.top(), std::max(room.top(), room.bottom() + 1 - want.height())));
  window.move(place);
}

}  // namespace rdsim
