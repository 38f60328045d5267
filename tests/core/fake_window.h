#pragma once

#include <array>
#include <string>
#include <vector>

#include <sstream>

#include "core/number_text.h"
#include "core/parameter_intake.h"
#include "params/builtin_presets.h"

namespace rdsim::testing {

// Boxes holding the design texts, and a view that records what it was asked.
struct FakeBoxes : ParameterBoxes {
  std::array<std::string, 11> k{"0.08",  "-0.08", "0.04", "0.03", "0.06", "-0.03",
                                "-0.15", "0.01",  "0.25", "0.2",  "0.5"};
  std::string iterations = "20";
  std::string size = "128";
  Mode mode = Mode::OneD;

  std::string CoefficientText(int i) const override { return k.at(static_cast<std::size_t>(i)); }
  std::string IterationsText() const override { return iterations; }
  std::string SizeText() const override { return size; }
  void SetSizeText(const std::string& text) override { size = text; }
  Mode SelectedMode() const override { return mode; }
};

struct FakeView : IntakeView {
  std::vector<std::string> calls;
  std::int32_t cells = 0;

  void FitPictures(Mode mode, std::int32_t n) override {
    cells = n;
    calls.push_back(mode == Mode::OneD ? "fit profiles" : "fit field");
  }
  void DrawProfiles() override { calls.push_back("draw profiles"); }
  void DrawFieldFromU() override { calls.push_back("draw field"); }
};

// "k0,k1,...,k10" as the boxes' texts.
inline CoefficientTexts SplitTexts(const std::string& list) {
  CoefficientTexts texts;
  std::stringstream in(list);
  for (std::string& text : texts) std::getline(in, text, ',');
  return texts;
}

// A built-in preset's coefficients as the list would put them into the boxes;
// empty texts for an unknown name.
inline CoefficientTexts PresetTexts(const std::string& name) {
  CoefficientTexts texts;
  for (const BuiltinPreset& preset : BuiltinPresets()) {
    if (preset.record.name != name) continue;
    for (std::size_t k = 0; k < texts.size(); ++k) texts[k] = FormatSingle(preset.record.values[k]);
  }
  return texts;
}

}  // namespace rdsim::testing
