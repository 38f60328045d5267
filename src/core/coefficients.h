#pragma once

#include <array>
#include <string>

namespace rdsim {

// The model's coefficients k0..k10, one row each. Everything that names,
// explains or lists a coefficient reads this table: the boxes and their
// tooltips, the intake's messages, the batch runner's and the atlas's --params.
// To add a coefficient: append a row here, then give it its term in the step
// (step_coefficients.h, the intake, the steps).
struct CoefficientInfo {
  const char* key;         // "k4"
  const char* designText;  // what the box holds when the window opens
  const char* place;       // where it stands in the equations, in plain words
  const char* tip;         // the box's tooltip: the place and what it does
};

inline constexpr int CoefficientCount = 11;

inline constexpr std::array<CoefficientInfo, CoefficientCount> Coefficients{{
    {"k0", "0.08", "the factor of u in the activator equation",
     "k0, the factor of u in the activator equation: how strongly the activator furthers its own synthesis"},
    {"k1", "-0.08", "the factor of v in the activator equation",
     "k1, the factor of v in the activator equation: how the inhibitor acts on the activator's synthesis (negative: it "
     "holds it back)"},
    {"k2", "0.04", "the constant term of the activator equation",
     "k2, the constant term of the activator equation: synthesis of activator without u or v"},
    {"k3", "0.03", "the decay factor of u in the activator equation",
     "k3, the decay of the activator: the share of u lost per unit of time"},
    {"k4", "0.06", "the factor of u in the inhibitor equation",
     "k4, the factor of u in the inhibitor equation: how strongly the activator drives the inhibitor's synthesis"},
    {"k5", "-0.03", "the factor of v in the inhibitor equation",
     "k5, the factor of v in the inhibitor equation (negative: the inhibitor's decay)"},
    {"k6", "-0.15", "the constant term of the inhibitor equation", "k6, the constant term of the inhibitor equation"},
    {"k7", "0.01", "the diffusion constant of u in the activator equation",
     "k7 (Du), the diffusion constant of the activator: how fast u spreads to the neighbouring cells"},
    {"k8", "0.25", "the diffusion constant of v in the inhibitor equation",
     "k8 (Dv), the diffusion constant of the inhibitor: how fast v spreads to the neighbouring cells"},
    {"k9", "0.2", "synU_max, the upper limit of the activator synthesis",
     "k9, synU_max: the upper limit of the activator's synthesis term"},
    {"k10", "0.5", "synV_max, the upper limit of the inhibitor synthesis",
     "k10, synV_max: the upper limit of the inhibitor's synthesis term"},
}};

// One text per coefficient, in table order: the boxes, or a --params list.
using CoefficientTexts = std::array<std::string, CoefficientCount>;

// The texts the window opens with.
CoefficientTexts DesignCoefficientTexts();

// "the factor of u in the inhibitor equation (k4)"; out of range: "the box k12".
std::string CoefficientBoxName(int k);

}  // namespace rdsim
