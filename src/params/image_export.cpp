#include "params/image_export.h"

#include <string>
#include <utility>
#include <vector>

#include "core/run_error.h"
#include "image_io/image_file.h"

namespace rdsim {

void ExportPictures(RunView& view) {
  std::vector<std::pair<const Picture*, const char*>> files;
  switch (view.SelectedMode()) {
    case Mode::OneD:
      files = {{&view.ActivatorProfile(), "Activator_1D.bmp"}, {&view.InhibitorProfile(), "Inhibitor_1D.bmp"}};
      break;
    case Mode::TwoD:
      files = {{&view.Field(), "2D.bmp"}};
      break;
    case Mode::None:
      return;
  }
  std::string failed;
  for (const auto& [picture, name] : files) {
    try {
      WriteImageFile(name, picture->Pixels());
    } catch (const RunError&) {
      failed += (failed.empty() ? "" : " and ") + std::string("\"") + name + "\"";
    }
  }
  if (!failed.empty()) throw RunError(Fault::FileAccess, "cannot write " + failed + " in the working folder");
}

}  // namespace rdsim
