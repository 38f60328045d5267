#pragma once

#include <array>
#include <string>

#include "core/step_coefficients.h"

namespace rdsim {

// The model's coefficients k0..k10, one row each. Everything that names,
// explains or lists a coefficient, or takes it into the step, reads this
// table: the boxes and their tooltips and screen-reader texts, the intake and
// the stability analysis, the messages, the batch runner's and the atlas's
// --params and the atlas's sheet. To add a coefficient: append a row here and
// give its step term its use in the steps (step_coefficients.h, step_*.cpp).
enum class Equation { Activator, Inhibitor };

// How a box becomes its step term: multiplied by dt, or as read (a diffusion
// constant, weighted per neighbour afterwards).
enum class StepScaling { TimesDt, AsRead };

struct CoefficientInfo {
  const char* key;                // "k4"
  const char* role;               // its other name ("Du"), or ""
  Equation equation;              // where the window writes it
  const char* term;               // its term there ("- k3 u"); a cap on the synthesis has none
  float StepCoefficients::*step;  // the step term it feeds
  StepScaling scaling;
  const char* designText;  // what the box holds when the window opens
  const char* place;       // where it stands in the equations, in plain words
  const char* tip;         // the box's tooltip: the place and what it does
};

inline constexpr int CoefficientCount = 11;

inline constexpr std::array<CoefficientInfo, CoefficientCount> Coefficients{{
    {"k0", "", Equation::Activator, "k0 u", &StepCoefficients::aU, StepScaling::TimesDt, "0.08",
     "the factor of u in the activator equation",
     "k0, the factor of u in the activator equation: how strongly the activator furthers its own synthesis"},
    {"k1", "", Equation::Activator, "k1 v", &StepCoefficients::bU, StepScaling::TimesDt, "-0.08",
     "the factor of v in the activator equation",
     "k1, the factor of v in the activator equation: how the inhibitor acts on the activator's synthesis (negative: it "
     "holds it back)"},
    {"k2", "", Equation::Activator, "k2", &StepCoefficients::cU, StepScaling::TimesDt, "0.04",
     "the constant term of the activator equation",
     "k2, the constant term of the activator equation: synthesis of activator without u or v"},
    {"k3", "", Equation::Activator, "- k3 u", &StepCoefficients::decayU, StepScaling::TimesDt, "0.03",
     "the decay factor of u in the activator equation",
     "k3, the decay of the activator: the share of u lost per unit of time"},
    {"k4", "", Equation::Inhibitor, "k4 u", &StepCoefficients::aV, StepScaling::TimesDt, "0.06",
     "the factor of u in the inhibitor equation",
     "k4, the factor of u in the inhibitor equation: how strongly the activator drives the inhibitor's synthesis"},
    {"k5", "", Equation::Inhibitor, "k5 v", &StepCoefficients::bV, StepScaling::TimesDt, "-0.03",
     "the factor of v in the inhibitor equation",
     "k5, the factor of v in the inhibitor equation (negative: the inhibitor's decay)"},
    {"k6", "", Equation::Inhibitor, "k6", &StepCoefficients::cV, StepScaling::TimesDt, "-0.15",
     "the constant term of the inhibitor equation", "k6, the constant term of the inhibitor equation"},
    {"k7", "Du", Equation::Activator, "k7 d2u/dx2", &StepCoefficients::Du, StepScaling::AsRead, "0.01",
     "the diffusion constant of u in the activator equation",
     "k7 (Du), the diffusion constant of the activator: how fast u spreads to the neighbouring cells"},
    {"k8", "Dv", Equation::Inhibitor, "k8 d2v/dx2", &StepCoefficients::Dv, StepScaling::AsRead, "0.25",
     "the diffusion constant of v in the inhibitor equation",
     "k8 (Dv), the diffusion constant of the inhibitor: how fast v spreads to the neighbouring cells"},
    {"k9", "synU_max", Equation::Activator, nullptr, &StepCoefficients::synUMax, StepScaling::TimesDt, "0.2",
     "synU_max, the upper limit of the activator synthesis",
     "k9, synU_max: the upper limit of the activator's synthesis term"},
    {"k10", "synV_max", Equation::Inhibitor, nullptr, &StepCoefficients::synVMax, StepScaling::TimesDt, "0.5",
     "synV_max, the upper limit of the inhibitor synthesis",
     "k10, synV_max: the upper limit of the inhibitor's synthesis term"},
}};

// The box that feeds a step term: CoefficientFeeding(&StepCoefficients::Du) is 7.
constexpr int CoefficientFeeding(float StepCoefficients::*step) {
  for (int k = 0; k < CoefficientCount; ++k)
    if (Coefficients[static_cast<std::size_t>(k)].step == step) return k;
  return -1;
}

// Stores value(k, scaling) into every coefficient's step term: the terms times dt
// first, then those taken as read, so that a bad box is always met in the
// same order.
template <typename Value>
void FeedStepTerms(StepCoefficients& c, Value value) {
  for (const StepScaling scaling : {StepScaling::TimesDt, StepScaling::AsRead}) {
    for (int k = 0; k < CoefficientCount; ++k) {
      const CoefficientInfo& row = Coefficients[static_cast<std::size_t>(k)];
      if (row.scaling == scaling) c.*row.step = value(k, scaling);
    }
  }
}

// The equation as the window writes it: "du/dt = k0 u + k1 v + k2 - k3 u + k7 d2u/dx2".
std::string EquationText(Equation equation);

// "k7 (Du)"; "k0" for a coefficient without another name.
std::string CoefficientLabel(int k);

// One text per coefficient, in table order: the boxes, or a --params list.
using CoefficientTexts = std::array<std::string, CoefficientCount>;

// The texts the window opens with.
CoefficientTexts DesignCoefficientTexts();

// "the factor of u in the inhibitor equation (k4)"; out of range: "the box k12".
std::string CoefficientBoxName(int k);

}  // namespace rdsim
