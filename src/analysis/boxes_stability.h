#pragma once

#include <optional>
#include <string>

#include "analysis/linear_stability.h"
#include "core/parameter_intake.h"

namespace rdsim {

// The linear stability of what the boxes hold, converted exactly as the next
// intake converts them, but on a scratch simulation: the run, the pictures
// and the boxes stay untouched. Either a report or a plain sentence saying
// why there is none.
struct BoxesStability {
  std::optional<StabilityReport> report;
  std::string fault;
};

// Raises nothing for a bad box or a model without an analysis; those are the
// sentence.
BoxesStability AnalyseBoxes(const ParameterBoxes& boxes);

}  // namespace rdsim
