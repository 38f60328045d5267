#pragma once

namespace rdsim {

// What the intake derives from the eleven coefficient boxes for one time step.
// The synthesis and decay terms are already multiplied by dt.
struct StepCoefficients {
  float aU = 0, bU = 0, cU = 0, decayU = 0;
  float aV = 0, bV = 0, cV = 0;
  float synUMax = 0, synVMax = 0;
  float Du = 0, Dv = 0;
  float DuS = 0, DvS = 0;          // weight of one neighbour cell
  float centreU = 0, centreV = 0;  // weight of the cell itself, for the mode of the intake

  bool operator==(const StepCoefficients&) const = default;
};

}  // namespace rdsim
