#pragma once

#include <cstdint>
#include <vector>

#include "command_line/command_line.h"
#include "core/simulation.h"

// The window's intake and fields on command-line texts, for both tools.
namespace rdsim::cli {

// Runs the window's intake on the texts of the command line. A text the
// intake rejects, or a size that rounds to less than 2 or more than 128 (which
// the window would clamp), raises ArgumentError naming --size or --params.
void TakeParameters(Simulation& sim, Mode mode, const std::string& sizeText, const CoefficientTexts& coefficients);

// Cells of one species: N on a line, N*N in a square.
std::size_t CellCount(const Simulation& sim, Mode mode);

// `field` holds the activator cells, then the inhibitor cells.
void LoadField(Simulation& sim, Mode mode, const std::vector<float>& field);
// The newest field in the same layout.
std::vector<float> NewestField(const Simulation& sim, Mode mode);

}  // namespace rdsim::cli
