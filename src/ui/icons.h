#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace rdsim {

// The window icon: a spiral wave of activator (red) on inhibitor (navy), at
// 32 x 32 as designed and at 64 x 64 for large displays.
QIcon WindowIcon();

// The window icon's picture at any size (the 32-pixel one, scaled up by
// drawing, not by resampling); the installed theme icons are made from it.
QImage WindowIconImage(int size);

// 32 x 32 picture of the Spiral button: a dark spiral on light grey.
QPixmap SpiralPicture();

}  // namespace rdsim
