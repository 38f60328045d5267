#include <cstddef>

#include "core/cell_update.h"
#include "core/integrators.h"

namespace rdsim {

void Step1D(Simulation& sim) {
  using detail::Clamp;
  using detail::Store;

  FieldBuffers& b = sim.buffers;
  const std::ptrdiff_t n = sim.Nm1 >= 0 ? static_cast<std::ptrdiff_t>(sim.Nm1) + 1 : 0;
  if (n <= 0) return;
  // One cell reads the spare element as its neighbour.
  const auto needed = static_cast<std::size_t>(n == 1 ? 2 : n);
  if (b.U.size() < needed || b.V.size() < needed || b.U2.size() < needed || b.V2.size() < needed) {
    throw RunError(Fault::SubscriptOutOfRange, "the field buffers are shorter than the field size");
  }

  const detail::StepWeights w(sim.coef);
  const float* U = b.U.data();
  const float* V = b.V.data();
  float* U2 = b.U2.data();
  float* V2 = b.V2.data();
  bool unused = true;
  for (std::ptrdiff_t i = 0; i < n; ++i) {
    const double u = U[i], v = V[i];
    float synU = Store<true>((u * w.aU + v * w.bU) + w.cU, unused);
    float synV = Store<true>(u * w.aV + w.cV, unused);
    synU = Clamp(synU, w.synUMax);
    synV = Clamp(synV, w.synVMax);
    sim.synU = synU;
    sim.synV = synV;
    double nbU, nbV;
    if (i == 0) {
      nbU = 2.0 * w.DuS * U[1];
      nbV = 2.0 * w.DvS * V[1];
    } else if (i == n - 1) {
      nbU = 2.0 * w.DuS * U[n - 2];
      nbV = 2.0 * w.DvS * V[n - 2];
    } else {
      nbU = (static_cast<double>(U[i + 1]) + U[i - 1]) * w.DuS;
      nbV = (static_cast<double>(V[i + 1]) + V[i - 1]) * w.DvS;
    }
    U2[i] = Store<true>((nbU + u * w.centreU) + synU, unused);
    V2[i] = Store<true>((nbV + v * w.centreV) + synV, unused);
  }
  float* Uw = b.U.data();
  float* Vw = b.V.data();
  for (std::ptrdiff_t j = 0; j < n; ++j) {
    if (U2[j] < 0.0f) U2[j] = 0.0f;
    if (V2[j] < 0.0f) V2[j] = 0.0f;
    Uw[j] = U2[j];
    Vw[j] = V2[j];
  }
}

}  // namespace rdsim
