#pragma once

#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>

#include "core/coefficients.h"
#include "core/simulation.h"
#include "pixels/palette.h"

// What a Python caller passes, checked before it reaches the engine. Each
// failure raises TypeError (a wrong kind of value) or ValueError (a value out
// of range), and the message begins with the argument's name.

namespace rdsim::python {

// "1d" or "2d".
Mode ModeArgument(pybind11::handle mode);

// A whole number, or a text read as the size box reads it.
std::string SizeArgument(pybind11::handle size);

// None (the window's first texts), a preset name, eleven numbers or texts,
// or a dict of some of them by key ("k9": 0.3) over the window's first texts.
// A number becomes the text the window would show for it.
CoefficientTexts ParamsArgument(pybind11::handle params);

// A whole number from `low` to `high`; bools are refused.
std::int64_t IntegerArgument(const char* name, pybind11::handle value, std::int64_t low, std::int64_t high);

// "u" (the activator) or "v" (the inhibitor): true for the activator.
bool SpeciesArgument(pybind11::handle species);

const Palette& PaletteArgument(pybind11::handle palette);

// A str or os.PathLike.
std::string PathArgument(pybind11::handle path);

// The window's intake on the texts, as the batch runner runs it: a size out
// of range or a text it refuses raises ValueError naming "size" or "params".
void TakeArguments(Simulation& sim, Mode mode, const std::string& sizeText, const CoefficientTexts& texts);

}  // namespace rdsim::python
