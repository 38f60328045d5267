#pragma once

#include <string>

#include "core/simulation.h"

namespace rdsim {

// The boxes the user types the parameters into, and the mode buttons. They
// are the only store of the texts: the intake reads them afresh every time.
class ParameterBoxes {
 public:
  virtual ~ParameterBoxes() = default;
  virtual std::string CoefficientText(int k) const = 0;  // Text1(k)
  virtual std::string IterationsText() const = 0;        // Text2
  virtual std::string SizeText() const = 0;              // Text3
  virtual void SetSizeText(const std::string& text) = 0;
  virtual Mode SelectedMode() const = 0;                 // Option1
};

// What the intake asks of the window once the field is sized.
class IntakeView {
 public:
  virtual ~IntakeView() = default;
  // Picture1 and Picture2, in window pixels (may be a half pixel).
  virtual void PlaceProfilePictures(float left, float width) = 0;
  // Profile x axis from 0 at the left edge to xRight at the right edge.
  virtual void ScaleProfilePictures(float xRight) = 0;
  virtual void DrawProfiles() = 0;
  virtual void PlaceFieldPicture(float left, float top, float size) = 0;
  virtual void DrawFieldFromU() = 0;
};

// The user-facing name of a box, for error messages.
std::string CoefficientBoxName(int k);
inline constexpr const char* IterationsBoxName = "Iteration / Image";
inline constexpr const char* SizeBoxName = "Field Size";

// Converts the boxes, derives the step coefficients, sizes the buffers and the
// pictures for the selected mode and redraws. A bad box raises its RunError
// with what was converted before it kept.
void ReadParameters(Simulation& sim, ParameterBoxes& boxes, IntakeView& view);

}  // namespace rdsim
