#include "analysis/boxes_stability.h"

namespace rdsim {

namespace {

// The boxes as the intake reads them, except that the intake's correction of
// an out-of-range size stays off the window: that is the real intake's job.
class ReadOnlyBoxes : public ParameterBoxes {
 public:
  explicit ReadOnlyBoxes(const ParameterBoxes& boxes) : boxes_(boxes) {}
  std::string CoefficientText(int k) const override { return boxes_.CoefficientText(k); }
  std::string IterationsText() const override { return boxes_.IterationsText(); }
  std::string SizeText() const override { return boxes_.SizeText(); }
  void SetSizeText(const std::string&) override {}
  Mode SelectedMode() const override { return boxes_.SelectedMode(); }

 private:
  const ParameterBoxes& boxes_;
};

std::string Sentence(const RunError& error) { return error.detail().empty() ? error.what() : error.detail(); }

}  // namespace

BoxesStability AnalyseBoxes(const ParameterBoxes& boxes) {
  BoxesStability result;
  const Mode mode = boxes.SelectedMode();
  if (mode == Mode::None) {
    result.fault = "Choose 1D or 2D: the analysis is made for the grid of the selected mode.";
    return result;
  }
  Simulation scratch;
  try {
    ReadOnlyBoxes readOnly(boxes);
    ReadParameters(scratch, readOnly);
  } catch (const RunError& error) {
    result.fault = "The boxes hold an error: " + Sentence(error) + ".";
    return result;
  }
  try {
    result.report = AnalyseStability(scratch.coef, mode, scratch.N);
  } catch (const RunError& error) {
    result.fault = "No analysis for these coefficients: " + Sentence(error) + ".";
  }
  return result;
}

}  // namespace rdsim
