#include "run/field_image.h"

#include <QImage>

#include "core/checked.h"
#include "run/field_image_pixels.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

namespace rdsim {

void DrawField(frmMain& form, const Buffer& source) {
  PictureBox& picture = *form.Picture3;
  picture.Cls();
  const int width = RoundToInt32(picture.ScaleWidth());
  const int height = RoundToInt32(picture.ScaleHeight());
  // A fresh bitmap is black where the field does not reach. Blit makes the
  // pixels opaque, so the 0xRRGGBB values go in as they are.
  const std::vector<std::uint32_t> pixels = ComposeFieldImage(source, form.sim.N, width, height, 0x000000);
  const QImage image(reinterpret_cast<const uchar*>(pixels.data()), width, height,
                     static_cast<qsizetype>(width) * 4, QImage::Format_RGB32);
  picture.Blit(image);
}

}  // namespace rdsim
