#pragma once

#include <QIcon>
#include <QPixmap>

namespace rdsim {

// 32 x 32 window icon: a spiral wave of activator (red) on inhibitor (navy).
QIcon WindowIcon();

// 32 x 32 picture of the Spiral button: a dark spiral on light grey.
QPixmap SpiralPicture();

}  // namespace rdsim
