#pragma once

#include <string>

#include "analysis/linear_stability.h"

namespace rdsim {

// One row per mode and amplification factor:
// state,m,n,mu,factor_re,factor_im,factor_abs,growth_per_step
// state counts from 1 as DescribeStability does; n is empty on a line;
// growth_per_step is |factor| - 1. Within a state the rows run from the
// largest |factor| down (so each mode's larger factor comes first), ties in
// mode order.
std::string StabilityCsv(const StabilityReport& report);

}  // namespace rdsim
