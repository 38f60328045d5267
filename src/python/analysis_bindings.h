#pragma once

#include <pybind11/pybind11.h>

namespace rdsim::python {

// rdsim.presets, rdsim.analyze and rdsim.dominant_wavelength.
void AddAnalysis(pybind11::module_& module);

}  // namespace rdsim::python
