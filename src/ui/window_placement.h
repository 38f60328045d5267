#pragma once

class QWidget;

namespace rdsim {

// Places an analysis window next to `owner` on its screen: right of it where
// there is room, else left, else narrower on the roomier side.
void PlaceWindowBeside(QWidget& window, const QWidget& owner);

}  // namespace rdsim
