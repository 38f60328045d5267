#pragma once

#include <pybind11/pybind11.h>

namespace rdsim::python {

// rdsim.RunError, a RuntimeError, and below it one class per fault of the
// engine (rdsim.OverflowFault, ...). Every RunError that leaves a binding
// becomes the class of its fault.
void AddRunErrors(pybind11::module_& module);

}  // namespace rdsim::python
