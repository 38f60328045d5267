#include "params/image_export.h"

#include <QImage>
#include <string>
#include <utility>
#include <vector>

#include "core/run_error.h"
#include "ui/form_ports.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

namespace rdsim {

namespace {

bool SaveBitmap(const PictureBox& picture, const char* name) {
  // RGB888 so that the writer stores 24 bits per pixel.
  return picture.Image().convertToFormat(QImage::Format_RGB888).save(QString::fromUtf8(name), "BMP");
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
  std::string failed;
  for (const auto& [picture, name] : files) {
    if (SaveBitmap(*picture, name)) continue;
    failed += (failed.empty() ? "" : " and ") + std::string("\"") + name + "\"";
  }
  if (!failed.empty()) throw RunError(Fault::FileAccess, "cannot write " + failed + " in the working folder");
}

}  // namespace rdsim
