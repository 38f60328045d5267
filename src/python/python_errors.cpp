#include "python_errors.h"

#include <array>
#include <exception>

#include "core/run_error.h"

namespace py = pybind11;

namespace rdsim::python {

namespace {

struct FaultClass {
  Fault fault;
  const char* name;
  const char* doc;
};

constexpr std::array<FaultClass, 7> FaultClasses{{
    {Fault::Overflow, "OverflowFault", "A value left the range of single precision, or a count its integer range."},
    {Fault::DivisionByZero, "DivisionByZeroFault", "A division by zero in the engine's checked arithmetic."},
    {Fault::TypeMismatch, "TypeMismatchFault", "A text that is no number where a number was wanted."},
    {Fault::SubscriptOutOfRange, "SubscriptOutOfRangeFault", "An index outside a field buffer."},
    {Fault::InvalidFloatingPoint, "InvalidFloatingPointFault",
     "A step produced a value that is not a number (NaN) or infinite."},
    {Fault::FileAccess, "FileAccessFault", "A file that cannot be opened, read or written, or that is no field file."},
    {Fault::InvalidName, "InvalidNameFault", "A name the preset file cannot carry."},
}};

PyObject* runErrorClass = nullptr;
std::array<PyObject*, FaultClasses.size()> faultClasses{};

PyObject* ClassOf(Fault fault) {
  for (std::size_t i = 0; i < FaultClasses.size(); ++i) {
    if (FaultClasses[i].fault == fault) return faultClasses[i];
  }
  return runErrorClass;
}

}  // namespace

void AddRunErrors(py::module_& module) {
  runErrorClass = PyErr_NewExceptionWithDoc(
      "rdsim.RunError",
      "A run-time error of the engine: the same faults the window shows in a message box. A step that "
      "fails leaves the newest whole field in the views; a file that fails is left unchanged. Catch "
      "RunError for all of them, or a subclass for one fault.",
      PyExc_RuntimeError, nullptr);
  if (runErrorClass == nullptr) throw py::error_already_set();
  module.add_object("RunError", py::handle(runErrorClass));
  for (std::size_t i = 0; i < FaultClasses.size(); ++i) {
    const std::string qualified = std::string("rdsim.") + FaultClasses[i].name;
    faultClasses[i] = PyErr_NewExceptionWithDoc(qualified.c_str(), FaultClasses[i].doc, runErrorClass, nullptr);
    if (faultClasses[i] == nullptr) throw py::error_already_set();
    module.add_object(FaultClasses[i].name, py::handle(faultClasses[i]));
  }
  py::register_exception_translator([](std::exception_ptr error) {
    try {
      if (error) std::rethrow_exception(error);
    } catch (const RunError& e) {
      PyErr_SetString(ClassOf(e.fault()), e.what());
    }
  });
}

}  // namespace rdsim::python
