#include "params/image_export.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/file_access.h"
#include "core/run_error.h"
#include "ui/form_ports.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

namespace rdsim {

namespace {

QByteArray BitmapBytes(const PictureBox& picture, const char* name) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  // RGB888 so that the writer stores 24 bits per pixel.
  if (!picture.Image().convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP")) {
    throw RunError(Fault::FileAccess, std::string("cannot encode \"") + name + "\" as a bitmap");
  }
  return bytes;
}

}  // namespace

void mnuSaveAs_Click(frmMain& form) {
  std::vector<std::pair<const PictureBox*, const char*>> files;
  switch (SelectedMode(form)) {
    case Mode::OneD:
      files = {{form.Picture1, "Activator_1D.bmp"}, {form.Picture2, "Inhibitor_1D.bmp"}};
      break;
    case Mode::TwoD:
      files = {{form.Picture3, "2D.bmp"}};
      break;
    case Mode::None:
      return;
  }
  // Both pictures of a mode change together or not at all.
  WholeFiles written;
  try {
    for (const auto& [picture, name] : files) CheckOutputPath(name);
    for (const auto& [picture, name] : files) {
      const QByteArray bytes = BitmapBytes(*picture, name);
      written.Add(name, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }
  } catch (const RunError& error) {
    throw RunError(error.fault(), error.detail() + "; no picture file was changed");
  }
  written.Commit();
}

}  // namespace rdsim
