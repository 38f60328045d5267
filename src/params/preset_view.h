#pragma once

#include <string>
#include <vector>

namespace rdsim {

// What the presets need of the window: the coefficient boxes and the preset
// list with its editable name.
class PresetView {
 public:
  virtual ~PresetView() = default;
  virtual std::string CoefficientText(int k) const = 0;
  virtual void SetCoefficientText(int k, const std::string& text) = 0;
  // The name typed or picked in the list's box.
  virtual std::string PresetName() const = 0;
  // Replaces the list's entries; the first one, if any, is picked and named in the box.
  virtual void ListPresets(const std::vector<std::string>& names) = 0;
  // The entry picked from the list, or -1.
  virtual int PickedPreset() const = 0;
  // Shows entry `row`'s name in the list's box.
  virtual void ShowPresetName(int row) = 0;
};

}  // namespace rdsim
