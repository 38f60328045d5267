#pragma once

#include <string>

#include "core/simulation.h"

namespace rdsim {

// What opening a field file needs of the window beyond the run's view: the
// mode buttons and the coefficient boxes.
class FieldView {
 public:
  virtual ~FieldView() = default;
  // Selects the mode's button as a click would, switching the mode.
  virtual void SelectMode(Mode mode) = 0;
  virtual void SetCoefficientText(int k, const std::string& text) = 0;
};

}  // namespace rdsim
