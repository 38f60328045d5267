#include "run/field_image.h"

#include "core/checked.h"
#include "pixels/field_image_pixels.h"

namespace rdsim {

void DrawField(Picture& picture, const Buffer& source, int n) {
  picture.Cls();
  const int width = RoundToInt32(picture.ScaleWidth());
  const int height = RoundToInt32(picture.ScaleHeight());
  // A fresh bitmap is black where the field does not reach.
  picture.Blit(ComposeFieldImage(source, n, width, height, 0x000000));
}

}  // namespace rdsim
