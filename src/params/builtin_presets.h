#pragma once

#include <vector>

#include "core/simulation.h"
#include "files/preset_file.h"

namespace rdsim {

// A preset the program knows without a file, with the settings under which
// its picture in the README was made (and under which the tests run it).
struct BuiltinPreset {
  PresetRecord record;
  Mode mode = Mode::TwoD;
  int size = 0;
  int steps = 0;
};

// The design texts come first, so a first start shows them.
const std::vector<BuiltinPreset>& BuiltinPresets();

}  // namespace rdsim
