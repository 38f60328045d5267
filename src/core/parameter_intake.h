#pragma once

#include <cstdint>
#include <string>

#include "core/coefficients.h"
#include "core/run_error.h"
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
  virtual Mode SelectedMode() const = 0;  // Option1
};

// What the intake asks of the window once the field is sized.
class IntakeView {
 public:
  virtual ~IntakeView() = default;
  // The field now has n cells (a side) in `mode`: the pictures follow.
  virtual void FitPictures(Mode mode, std::int32_t n) = 0;
  virtual void DrawProfiles() = 0;
  virtual void DrawFieldFromU() = 0;
};

// What a box holds, as the user sees it on the window, for error messages:
// a coefficient by its place in the equations (CoefficientBoxName), the other
// two by their captions.
inline constexpr const char* IterationsBoxName = "the number of iterations per image (Iteration / Image)";
inline constexpr const char* SizeBoxName = "the field size (Field Size)";

// The control names the window gives the boxes, carried by a RunError so that
// the window can find the box to focus.
std::string CoefficientControlName(int k);  // "Text1(k)"
// The numbers a box takes, as its messages state them.
struct BoxRange {
  std::string lowest, highest;
};
BoxRange CoefficientRange(int k);  // what the intake takes for Text1(k)
BoxRange SingleRange();            // any single-precision number

// What is wrong with a box's text, in plain words after the fault's name,
// then its cause and its remedy, one sentence each.
std::string ExplainBoxFault(Fault fault, const std::string& box, const std::string& text, const BoxRange& range);
inline constexpr const char* IterationsControlName = "Text2";
inline constexpr const char* SizeControlName = "Text3";

// When U2/V2 hold the newest 2D field (an odd number of steps ran), copies it
// into U/V; then U/V are current. The 2D intake and the switch to 1D call it,
// so that making U/V current throws no computed step away.
void KeepNewestFieldInU(Simulation& sim);

// Converts the boxes, derives the step coefficients, sizes the buffers and the
// pictures for the selected mode and redraws. A bad box raises its RunError,
// naming the box and carrying its control name, with what was converted
// before it kept.
void ReadParameters(Simulation& sim, ParameterBoxes& boxes, IntakeView& view);
// The same without pictures to fit or draw: the batch runner, the atlas, and a
// look at the boxes that must not touch the window.
void ReadParameters(Simulation& sim, ParameterBoxes& boxes);

}  // namespace rdsim
