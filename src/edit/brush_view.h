#pragma once

#include "pixels/picture.h"

namespace rdsim {

// What the brush, its preview and the spiral need of the window.
class BrushView {
 public:
  virtual ~BrushView() = default;
  virtual Picture& Field() = 0;
  virtual Picture& Preview() = 0;
  virtual Picture& Swatch(int index) = 0;  // 0 activator, 1 inhibitor
  virtual int BrushRadius() const = 0;     // cells
  virtual int BrushIntensity() const = 0;  // 0..255
};

}  // namespace rdsim
