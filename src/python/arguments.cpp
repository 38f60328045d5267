#include "arguments.h"

#include <cmath>
#include <limits>

#include "command_line/intake.h"
#include "core/number_text.h"
#include "params/builtin_presets.h"

namespace py = pybind11;

namespace rdsim::python {

namespace {

[[noreturn]] void Wrong(const std::string& name, const std::string& message) {
  throw py::value_error(name + ": " + message);
}

[[noreturn]] void WrongKind(const std::string& name, const std::string& wanted, py::handle value) {
  throw py::type_error(name + ": " + wanted + " expected, not " +
                       std::string(py::str(py::type::of(value).attr("__name__"))));
}

bool IsInteger(py::handle value) { return PyLong_Check(value.ptr()) && !PyBool_Check(value.ptr()); }
bool IsReal(py::handle value) { return IsInteger(value) || PyFloat_Check(value.ptr()); }

// The text the window shows for a number: single precision, at most 7 digits.
std::string NumberText(const std::string& name, py::handle value) {
  const double x = PyFloat_AsDouble(value.ptr());
  if (x == -1.0 && PyErr_Occurred()) throw py::error_already_set();
  if (!std::isfinite(x) || std::fabs(x) > std::numeric_limits<float>::max()) {
    Wrong(name, py::repr(value).cast<std::string>() + " is no number the window can show");
  }
  return FormatSingle(static_cast<float>(x));
}

std::string CoefficientArgument(const std::string& name, py::handle value) {
  if (py::isinstance<py::str>(value)) return value.cast<std::string>();
  if (IsReal(value)) return NumberText(name, value);
  WrongKind(name, "a number or a text", value);
}

CoefficientTexts PresetTexts(const std::string& name) {
  std::string names;
  for (const BuiltinPreset& preset : BuiltinPresets()) {
    if (preset.record.name == name) {
      CoefficientTexts texts;
      for (int k = 0; k < CoefficientCount; ++k) texts[k] = FormatSingle(preset.record.values[k]);
      return texts;
    }
    names += (names.empty() ? "" : ", ") + preset.record.name;
  }
  Wrong("params", "no preset is called \"" + name + "\"; the presets are " + names);
}

}  // namespace

Mode ModeArgument(py::handle mode) {
  if (!py::isinstance<py::str>(mode)) WrongKind("mode", "\"1d\" or \"2d\"", mode);
  const std::string text = mode.cast<std::string>();
  if (text == "1d") return Mode::OneD;
  if (text == "2d") return Mode::TwoD;
  Wrong("mode", "\"" + text + "\" is neither \"1d\" nor \"2d\"");
}

std::string SizeArgument(py::handle size) {
  if (py::isinstance<py::str>(size)) return size.cast<std::string>();
  if (IsInteger(size)) {
    return FormatInteger(IntegerArgument("size", size, std::numeric_limits<std::int64_t>::min(),
                                         std::numeric_limits<std::int64_t>::max()));
  }
  WrongKind("size", "a whole number or a text", size);
}

CoefficientTexts ParamsArgument(py::handle params) {
  if (params.is_none()) return DesignCoefficientTexts();
  if (py::isinstance<py::str>(params)) return PresetTexts(params.cast<std::string>());
  if (py::isinstance<py::dict>(params)) {
    CoefficientTexts texts = DesignCoefficientTexts();
    for (const auto& [key, value] : params.cast<py::dict>()) {
      const std::string name = py::isinstance<py::str>(key) ? key.cast<std::string>() : std::string(py::repr(key));
      int k = 0;
      while (k < CoefficientCount && name != Coefficients[k].key) ++k;
      if (k == CoefficientCount) Wrong("params", "no coefficient is called " + name + "; they are k0 to k10");
      texts[k] = CoefficientArgument("params[\"" + name + "\"]", value);
    }
    return texts;
  }
  if (!py::isinstance<py::sequence>(params)) {
    WrongKind("params", "a preset name, a sequence of eleven numbers or texts, or a dict", params);
  }
  const auto values = params.cast<py::sequence>();
  if (values.size() != CoefficientCount) {
    Wrong("params", "eleven values k0 to k10 expected, got " + std::to_string(values.size()));
  }
  CoefficientTexts texts;
  for (int k = 0; k < CoefficientCount; ++k)
    texts[k] = CoefficientArgument("params[" + std::to_string(k) + "]", values[k]);
  return texts;
}

std::int64_t IntegerArgument(const char* name, py::handle value, std::int64_t low, std::int64_t high) {
  if (!IsInteger(value)) WrongKind(name, "a whole number", value);
  int overflow = 0;
  const long long x = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
  if (x == -1 && PyErr_Occurred()) throw py::error_already_set();
  if (overflow != 0 || x < low || x > high) {
    Wrong(name, std::string(py::repr(value)) + " is outside the range " + std::to_string(low) + " to " +
                    std::to_string(high));
  }
  return x;
}

bool SpeciesArgument(py::handle species) {
  if (!py::isinstance<py::str>(species)) WrongKind("species", "\"u\" or \"v\"", species);
  const std::string text = species.cast<std::string>();
  if (text == "u") return true;
  if (text == "v") return false;
  Wrong("species", "\"" + text + "\" is neither \"u\" (the activator) nor \"v\" (the inhibitor)");
}

const Palette& PaletteArgument(py::handle palette) {
  if (!py::isinstance<py::str>(palette)) WrongKind("palette", "a palette name", palette);
  const std::string name = palette.cast<std::string>();
  const Palette* found = FindPalette(name);
  if (found == nullptr) Wrong("palette", "no palette is called \"" + name + "\"; they are " + PaletteNames());
  return *found;
}

std::string PathArgument(py::handle path) {
  if (!py::isinstance<py::str>(path) && !py::hasattr(path, "__fspath__")) WrongKind("path", "a str path", path);
  const py::object text = py::module_::import("os").attr("fspath")(path);
  if (!py::isinstance<py::str>(text)) WrongKind("path", "a str path", path);
  const std::string result = text.cast<std::string>();
  if (result.find('\0') != std::string::npos) Wrong("path", "a path holds no NUL character");
  return result;
}

void TakeArguments(Simulation& sim, Mode mode, const std::string& sizeText, const CoefficientTexts& texts) {
  try {
    cli::TakeParameters(sim, mode, sizeText, texts);
  } catch (const cli::ArgumentError& error) {
    // The batch runner names its flags; here they are the arguments.
    const std::string argument = error.argument().substr(error.argument().find_first_not_of('-'));
    const std::string message = error.what();
    throw py::value_error(argument + message.substr(error.argument().size()));
  }
}

}  // namespace rdsim::python
