#pragma once

// Puts a reference field and its coefficients into the engine's state, so the
// identity test and the benchmark start both models from the same bits.

#include <cstddef>

#include "core/simulation.h"
#include "reference_model.h"

namespace reference {

inline rdsim::StepCoefficients ToEngine(const Coefficients& c) {
  rdsim::StepCoefficients e;
  e.aU = c.aU;
  e.bU = c.bU;
  e.cU = c.cU;
  e.decayU = c.decayU;
  e.aV = c.aV;
  e.bV = c.bV;
  e.cV = c.cV;
  e.synUMax = c.synUMax;
  e.synVMax = c.synVMax;
  e.Du = c.Du;
  e.Dv = c.Dv;
  e.DuS = c.DuS;
  e.DvS = c.DvS;
  e.centreU = c.centreU;
  e.centreV = c.centreV;
  return e;
}

inline void LoadIntoEngine(const Coefficients& c, const Field& f, rdsim::Simulation& sim) {
  sim.coef = ToEngine(c);
  sim.N = f.n;
  sim.Nm1 = f.n - 1;
  sim.Nm2 = f.n - 2;
  sim.buffers.U = f.U;
  sim.buffers.V = f.V;
  sim.buffers.U2 = f.U2;
  sim.buffers.V2 = f.V2;
  sim.CurrentInU = f.currentInU;
  sim.synU = f.synU;
  sim.synV = f.synV;
}

}  // namespace reference
