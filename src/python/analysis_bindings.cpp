#include "analysis_bindings.h"

#include <pybind11/complex.h>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include "analysis/dominant_wavelength.h"
#include "analysis/linear_stability.h"
#include "arguments.h"
#include "core/number_text.h"
#include "params/builtin_presets.h"

namespace py = pybind11;

namespace rdsim::python {

namespace {

py::dict Presets() {
  py::dict presets;
  for (const BuiltinPreset& preset : BuiltinPresets()) {
    py::list texts;
    for (const float value : preset.record.values) texts.append(FormatSingle(value));
    presets[py::str(preset.record.name)] = texts;
  }
  return presets;
}

py::object FastestGrowth(const StateStability& state) {
  if (state.growth.empty()) return py::none();
  const Growth& g = state.growth.front();
  py::dict fastest;
  fastest["kind"] = GrowthKindName(g.kind);
  fastest["m"] = g.m;
  fastest["n"] = g.n < 0 ? py::object(py::none()) : py::int_(g.n);
  fastest["mu"] = g.mu;
  fastest["factor"] = g.factor;
  fastest["per_step"] = g.perStep;
  fastest["period_steps"] = g.periodSteps;
  fastest["wavelength"] = g.wavelength;
  return fastest;
}

py::dict StateDict(const StateStability& state) {
  const auto count = static_cast<py::ssize_t>(state.modes.size());
  py::array_t<int> m(count), n(count);
  py::array_t<double> mu(count);
  py::array_t<std::complex<double>> factors({count, py::ssize_t{2}});
  auto mw = m.mutable_unchecked<1>();
  auto nw = n.mutable_unchecked<1>();
  auto muw = mu.mutable_unchecked<1>();
  auto fw = factors.mutable_unchecked<2>();
  for (py::ssize_t i = 0; i < count; ++i) {
    const ModeFactors& mode = state.modes[static_cast<std::size_t>(i)];
    mw(i) = mode.m;
    nw(i) = mode.n;
    muw(i) = mode.mu;
    fw(i, 0) = mode.factors[0];
    fw(i, 1) = mode.factors[1];
  }
  py::dict result;
  result["u"] = state.state.u;
  result["v"] = state.state.v;
  result["verdict"] = VerdictShortName(state);
  result["fastest"] = FastestGrowth(state);
  result["m"] = m;
  result["n"] = n;
  result["mu"] = mu;
  result["factors"] = factors;
  return result;
}

py::dict Analyze(py::handle mode, py::handle size, py::handle params) {
  const Mode m = ModeArgument(mode);
  Simulation sim;
  TakeArguments(sim, m, SizeArgument(size), ParamsArgument(params));
  const StabilityReport report = AnalyseStability(sim.coef, m, sim.N);
  py::list states;
  for (const StateStability& state : report.states) states.append(StateDict(state));
  py::dict result;
  result["states"] = states;
  result["description"] = DescribeStability(report);
  return result;
}

py::object Wavelength(py::handle field) {
  const auto cells = py::array_t<float, py::array::c_style | py::array::forcecast>::ensure(field);
  if (!cells) throw py::type_error("u: an array of numbers expected");
  const bool square = cells.ndim() == 2 && cells.shape(0) == cells.shape(1);
  if (cells.ndim() != 1 && !square) throw py::value_error("u: shape (N,) or (N, N) expected");
  const auto n = cells.shape(0);
  if (n < 2 || n > 128) throw py::value_error("u: N must be 2 to 128, not " + std::to_string(n));
  const std::optional<double> wavelength = DominantWavelength({cells.data(), static_cast<std::size_t>(cells.size())},
                                                              square ? Mode::TwoD : Mode::OneD, static_cast<int>(n));
  if (!wavelength) return py::none();
  return py::float_(*wavelength);
}

}  // namespace

void AddAnalysis(py::module_& module) {
  module.def("presets", &Presets, R"(presets() -> dict

The built-in presets: name -> the eleven coefficient texts k0..k10, as the
window shows them. Pass a name as Simulation(params=...).)");

  module.def("analyze", &Analyze, py::arg("mode") = "2d", py::arg("size") = 128, py::arg("params") = py::none(),
             R"(analyze(mode="2d", size=128, params=None) -> dict

Linear stability of the uniform steady states, for the very grid, time step
and single-precision coefficients the steps use (the data of
`rdsim-batch --analyze-csv`). mode, size and params are read as by
Simulation. Returns {"description": the text of --analyze, "states": [...]},
one state per steady state, each a dict:
  u, v      the steady state
  verdict   "stable", "stationary_pattern", "oscillating_pattern", ...
  fastest   None when stable, else the fastest-growing mode: kind, m, n
            (None on a line), mu, factor (complex, per step), per_step,
            period_steps (0 for a real factor), wavelength (cells)
  m, n      int arrays, one entry per grid mode (n is -1 on a line)
  mu        float64 array: each mode's eigenvalue of -Laplacian
  factors   complex128 array (modes, 2): each mode's two factors per step,
            the larger first
Raises RunError when there is no steady state to analyse.)");

  module.def("dominant_wavelength", &Wavelength, py::arg("u"), R"(dominant_wavelength(u) -> float or None

The wavelength in cells that a field shows: u is a line (N,) or a square
(N, N) of activator values, such as sim.u. Measured on the grid's own cosine
modes, as analyze() predicts them. None for a uniform field or one with
values that are not finite.)");
}

}  // namespace rdsim::python
