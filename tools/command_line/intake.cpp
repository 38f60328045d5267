#include "command_line/intake.h"

#include "core/checked.h"
#include "core/constants.h"
#include "core/number_text.h"
#include "core/parameter_intake.h"
#include "core/run_error.h"

namespace rdsim::cli {

namespace {

// The boxes filled from the command line. Since the intake converts each text
// right after reading it, the last text read names the argument of an error.
class ArgumentBoxes : public ParameterBoxes {
 public:
  ArgumentBoxes(Mode mode, const std::string& sizeText, const CoefficientTexts& coefficients)
      : mode_(mode), coefficients_(coefficients), size_(sizeText) {}

  std::string CoefficientText(int k) const override {
    lastRead_ = "--params";
    return coefficients_.at(static_cast<std::size_t>(k));
  }
  // Only sets the window's redraw period.
  std::string IterationsText() const override { return "1"; }
  std::string SizeText() const override {
    lastRead_ = "--size";
    return size_;
  }
  void SetSizeText(const std::string& text) override { size_ = text; }
  Mode SelectedMode() const override { return mode_; }

  const std::string& LastRead() const { return lastRead_; }

 private:
  Mode mode_;
  const CoefficientTexts& coefficients_;
  std::string size_;
  mutable std::string lastRead_ = "--size";
};

// The window puts a size outside the range into it; from a script it is a
// mistake to report. Rounded as the intake rounds; a text that is not a
// number is left to the intake's message.
void CheckSize(const std::string& text) {
  double value;
  try {
    value = ParseDouble(text);
  } catch (const RunError&) {
    return;
  }
  const double n = RoundHalfEven(value - 1.0) + 1.0;
  if (!(n >= MinFieldSize && n <= MaxFieldSize)) {
    throw ArgumentError("--size", Echoed(text) + " is outside the range " + std::to_string(MinFieldSize) + " to " +
                                      std::to_string(MaxFieldSize));
  }
}

}  // namespace

void TakeParameters(Simulation& sim, Mode mode, const std::string& sizeText, const CoefficientTexts& coefficients) {
  CheckSize(sizeText);
  ArgumentBoxes boxes(mode, sizeText, coefficients);
  try {
    ReadParameters(sim, boxes);
  } catch (const RunError& error) {
    throw ArgumentError(boxes.LastRead(), error.what());
  }
}

std::size_t CellCount(const Simulation& sim, Mode mode) {
  const auto n = static_cast<std::size_t>(sim.N);
  return mode == Mode::TwoD ? n * n : n;
}

void LoadField(Simulation& sim, Mode mode, const std::vector<float>& field) {
  const std::size_t cells = CellCount(sim, mode);
  std::copy(field.begin(), field.begin() + static_cast<std::ptrdiff_t>(cells), sim.buffers.U.begin());
  std::copy(field.begin() + static_cast<std::ptrdiff_t>(cells), field.end(), sim.buffers.V.begin());
}

std::vector<float> NewestField(const Simulation& sim, Mode mode) {
  const std::size_t cells = CellCount(sim, mode);
  const Buffer& u = NewestActivator(sim, mode);
  const Buffer& v = NewestInhibitor(sim, mode);
  std::vector<float> field(u.begin(), u.begin() + static_cast<std::ptrdiff_t>(cells));
  field.insert(field.end(), v.begin(), v.begin() + static_cast<std::ptrdiff_t>(cells));
  return field;
}

}  // namespace rdsim::cli
