#pragma once

// A plain, cell-by-cell transcription of the model's intake arithmetic and of
// its two integrators, kept apart from src/core so that it can judge the
// engine: it shares no code, no types and no tricks with it. Slow on purpose.

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace reference {

enum class Fault { None, Overflow, Invalid };

const char* FaultName(Fault fault);  // the engine's wording, for messages

struct Coefficients {
  float aU = 0, bU = 0, cU = 0, decayU = 0;
  float aV = 0, bV = 0, cV = 0;
  float synUMax = 0, synVMax = 0;
  float Du = 0, Dv = 0, DuS = 0, DvS = 0;
  float centreU = 0, centreV = 0;
};

// The eleven box texts k0..k10 turned into step coefficients for a cell with
// `neighbours` neighbours (2 on a line, 4 in a square). Empty when a text is
// not a number or a derived value leaves single precision.
std::optional<Coefficients> Derive(const std::array<std::string, 11>& texts, int neighbours);

// Cells per side for a typed size: (x - 1) rounded half to even, plus 1,
// then kept within 2..128.
int FieldSize(double typed);

struct Field {
  int n = 0;
  // Cells in row-major order plus the spare element: n + 1 or n * n + 1.
  std::vector<float> U, V, U2, V2;
  bool currentInU = true;
  float synU = 0, synV = 0;

  Field(int cells_per_side, bool square);
  const std::vector<float>& NewestU() const { return currentInU ? U : U2; }
  const std::vector<float>& NewestV() const { return currentInU ? V : V2; }
};

// One step each. A fault stops the step at the check that found it, leaving
// what was written so far; the field read stays as it was.
Fault Step1D(const Coefficients& c, Field& f);
Fault Step2D(const Coefficients& c, Field& f, bool forward);

}  // namespace reference
