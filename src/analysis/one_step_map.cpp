#include "analysis/one_step_map.h"

#include <cmath>

#include "core/checked.h"

namespace rdsim::analysis {

CentreWeights CentreWeightsFor(const StepCoefficients& c, Mode mode) {
  if (mode != Mode::OneD && mode != Mode::TwoD) throw RunError(Fault::InvalidFloatingPoint, "no mode selected");
  const double neighbours = mode == Mode::OneD ? 2.0 : 4.0;
  try {
    return {ToSingle((1.0 - neighbours * c.DuS) - c.decayU), ToSingle((1.0 - neighbours * c.DvS) + c.bV)};
  } catch (const RunError& error) {
    throw WithContext(error, "the diffusion and decay coefficients are too large");
  }
}

StepMatrix ModeStepMatrix(const StepCoefficients& c, const CentreWeights& centre, SynthesisRegion regionU,
                          SynthesisRegion regionV, double neighbourSum) {
  // A clamped synthesis term is constant: it adds nothing to a perturbation.
  const bool linearU = regionU == SynthesisRegion::Between;
  const bool linearV = regionV == SynthesisRegion::Between;
  StepMatrix a;
  a.uu = (neighbourSum * static_cast<double>(c.DuS) + centre.u) + (linearU ? static_cast<double>(c.aU) : 0.0);
  a.uv = linearU ? static_cast<double>(c.bU) : 0.0;
  a.vu = linearV ? static_cast<double>(c.aV) : 0.0;
  a.vv = neighbourSum * static_cast<double>(c.DvS) + centre.v;
  return a;
}

std::array<std::complex<double>, 2> AmplificationFactors(const StepMatrix& a) {
  const double halfTrace = 0.5 * (a.uu + a.vv);
  const double halfGap = 0.5 * (a.uu - a.vv);
  // ((p - s) / 2)^2 + q r, free of the cancellation in trace^2 - 4 det.
  const double disc = halfGap * halfGap + a.uv * a.vu;
  if (disc < 0) {
    const double im = std::sqrt(-disc);
    return {std::complex<double>(halfTrace, im), std::complex<double>(halfTrace, -im)};
  }
  const double root = std::sqrt(disc);
  const double big = halfTrace + std::copysign(root, halfTrace);
  // The smaller root from the product, which keeps its digits when it is tiny.
  const double det = a.uu * a.vv - a.uv * a.vu;
  const double small = big != 0 ? det / big : halfTrace - std::copysign(root, halfTrace);
  if (std::abs(small) > std::abs(big)) return {std::complex<double>(small), std::complex<double>(big)};
  return {std::complex<double>(big), std::complex<double>(small)};
}

}  // namespace rdsim::analysis
