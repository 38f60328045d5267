#include "params/image_export.h"

#include <string>
#include <utility>
#include <vector>

#include "core/run_error.h"
#include "files/file_access.h"
#include "image_io/image_file.h"

namespace rdsim {

void ExportPictures(RunView& view) {
  std::vector<std::pair<const Picture*, const char*>> files;
  switch (view.SelectedMode()) {
    case Mode::OneD:
      files = {{&view.ActivatorProfile(), "Activator_1D.bmp"}, {&view.InhibitorProfile(), "Inhibitor_1D.bmp"}};
      break;
    case Mode::TwoD: files = {{&view.Field(), "2D.bmp"}}; break;
    case Mode::None: return;
  }
  // Both pictures of a mode change together or not at all.
  WholeFiles written;
  try {
    for (const auto& [picture, name] : files) CheckOutputPath(name);
    for (const auto& [picture, name] : files) written.Add(name, EncodeImageFile(name, picture->Pixels()));
  } catch (const RunError& error) {
    throw RunError(error.fault(), error.detail() + "; no picture file was changed");
  }
  written.Commit();
}

}  // namespace rdsim
