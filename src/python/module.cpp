// The Python module rdsim: Simulation, the field files, the presets, the
// linear stability analysis and the run errors.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <limits>

#include "analysis_bindings.h"
#include "arguments.h"
#include "batch_options.h"
#include "files/field_file.h"
#include "image_io/image_file.h"
#include "pixels/field_picture.h"
#include "python_errors.h"
#include "python_simulation.h"

namespace py = pybind11;
using namespace rdsim;
using namespace rdsim::python;

namespace {

constexpr const char* ModuleDoc = R"(rdsim: the activator-inhibitor reaction-diffusion engine of the rdsim window.

The same steps, bit for bit, as the window and rdsim-batch, run in C++ with
the field as NumPy arrays that share the engine's memory:

    import rdsim
    sim = rdsim.Simulation("2d", 128, params="Spots")
    sim.random(1)                 # the Random button's noise, seed 1
    sim.run(10000)                # the GIL is released while stepping
    sim.u.mean(), sim.steps       # sim.u, sim.v: float32 views of the field
    sim.save("spots.h5")          # the window's field file
    rgb = sim.picture("viridis")  # (H, W, 3) uint8, the pixels of --png

Simulation    one field of a fixed mode and size, its tools and its run
open_field    a Simulation from a field file
presets       the built-in presets by name
analyze       linear stability of the uniform steady states
dominant_wavelength   the wavelength a field shows
RunError      the engine's run-time errors, one subclass per fault

Two threads that each run their own Simulation step in parallel.)";

constexpr const char* SimulationDoc = R"(Simulation(mode="2d", size=128, params=None)

One field: a line of N cells (mode "1d") or a square of N x N cells ("2d"),
with the eleven coefficients k0..k10. size and params are read by the very
intake of the window: size is a whole number from 2 to 128 or a text as the
Field Size box reads it; params is None (the window's first texts), a preset
name (see presets()), eleven numbers or texts (a text as a box reads it, a
number as the window would show it, i.e. rounded to single precision and
seven digits), or a dict of some of them by key, e.g. {"k9": 0.3}. A bad
argument raises TypeError or ValueError naming it.

The field starts at 0. sim.u and sim.v are float32 NumPy views of the
activator and inhibitor, shape (N,) or (N, N), row 0 the picture's top row
as in the field files; see Simulation.u for what they are after run().)";

constexpr const char* ViewDoc = R"(float32 view of the %s, shape (N,) or (N, N), row 0 the top row.

No copy: the array shares the simulation's memory. Writing into it writes
into the field, and the next step reads it. The view stays valid as long as
the array lives (it keeps the simulation alive; mode and size never change),
and after run() it shows the newest field: a run always ends with the newest
field in the buffers the views look at. While a run is in progress in
another thread it shows a field being written; read it from a callback
instead. Take a copy (sim.u.copy()) to keep a field for later.)";

std::string Doc(const char* format, const char* what) {
  std::string text(format);
  text.replace(text.find("%s"), 2, what);
  return text;
}

std::string ModeName(Mode mode) { return mode == Mode::TwoD ? "2d" : "1d"; }

float Position(const char* name, double value) {
  if (!(std::fabs(value) <= 1e6)) throw py::value_error(std::string(name) + ": a finite cell position expected");
  return static_cast<float>(value);
}

py::array_t<std::uint8_t> RgbArray(const PixelImage& image) {
  py::array_t<std::uint8_t> rgb({py::ssize_t{image.height}, py::ssize_t{image.width}, py::ssize_t{3}});
  auto out = rgb.mutable_unchecked<3>();
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint32_t c = image.at(x, y);
      out(y, x, 0) = static_cast<std::uint8_t>(c >> 16);
      out(y, x, 1) = static_cast<std::uint8_t>(c >> 8);
      out(y, x, 2) = static_cast<std::uint8_t>(c);
    }
  }
  return rgb;
}

std::unique_ptr<PythonSimulation> OpenField(py::handle path) {
  const FieldFile file = ReadFieldFile(PathArgument(path));
  auto sim = std::make_unique<PythonSimulation>(file.mode, std::to_string(file.n), file.coefficients);
  sim->Load(file);
  return sim;
}

}  // namespace

PYBIND11_MODULE(rdsim, m) {
  m.doc() = ModuleDoc;
  AddRunErrors(m);

  py::class_<PythonSimulation>(m, "Simulation", SimulationDoc)
      .def(py::init([](py::handle mode, py::handle size, py::handle params) {
             return std::make_unique<PythonSimulation>(ModeArgument(mode), SizeArgument(size), ParamsArgument(params));
           }),
           py::arg("mode") = "2d", py::arg("size") = 128, py::arg("params") = py::none())
      .def_property_readonly(
          "mode", [](const PythonSimulation& s) { return ModeName(s.mode()); }, "\"1d\" or \"2d\".")
      .def_property_readonly("size", &PythonSimulation::size, "N: cells of a line, or of a side of the square.")
      .def_property_readonly(
          "params", [](const PythonSimulation& s) { return py::list(py::cast(s.texts())); },
          "The eleven coefficient texts k0..k10, as the field files carry them.")
      .def_property_readonly("steps", &PythonSimulation::steps,
                             "Steps run on the field since random(), clear() or the field file it came from.")
      .def_property_readonly(
          "u", [](py::handle self) { return self.cast<PythonSimulation&>().View(self, true); },
          Doc(ViewDoc, "activator").c_str())
      .def_property_readonly(
          "v", [](py::handle self) { return self.cast<PythonSimulation&>().View(self, false); },
          Doc(ViewDoc, "inhibitor").c_str())
      .def(
          "random",
          [](PythonSimulation& s, py::handle seed) {
            s.Random(static_cast<std::uint32_t>(IntegerArgument("seed", seed, 0, 4294967295LL)));
          },
          py::arg("seed"), R"(random(seed)

The Random button's noise, reproducible: uniform in [0, 10) in both species,
the same field as `rdsim-batch --random SEED`. Sets steps to 0.)")
      .def("clear", &PythonSimulation::Clear, "clear()\n\nSets both species to 0 in every cell and steps to 0.")
      .def(
          "paint",
          [](PythonSimulation& s, double x, double y, py::handle radius, py::handle intensity, py::handle species) {
            if (s.mode() != Mode::TwoD) throw py::value_error("paint: the brush paints a square; this field is 1d");
            s.Paint(Position("x", x), Position("y", y), static_cast<int>(IntegerArgument("radius", radius, 0, 12)),
                    static_cast<int>(IntegerArgument("intensity", intensity, 0, 255)), SpeciesArgument(species));
          },
          py::arg("x"), py::arg("y"), py::arg("radius") = 7, py::arg("intensity") = 255, py::arg("species") = "u",
          R"(paint(x, y, radius=7, intensity=255, species="u")

One disc of the window's brush centred on column x, row y (cells, row 0 at
the top): every cell within radius (0 to 12) gets 10 * intensity / 255
(intensity 0 to 255) in species "u" (the activator) or "v". 2D only.)")
      .def(
          "spiral",
          [](PythonSimulation& s, py::handle radius, py::handle intensity, py::handle species) {
            if (s.mode() != Mode::TwoD)
              throw py::value_error("spiral: the spiral is drawn on a square; this field is 1d");
            s.Spiral(static_cast<int>(IntegerArgument("radius", radius, 0, 12)),
                     static_cast<int>(IntegerArgument("intensity", intensity, 0, 255)), SpeciesArgument(species));
          },
          py::arg("radius") = 7, py::arg("intensity") = 255, py::arg("species") = "u",
          R"(spiral(radius=7, intensity=255, species="u")

The window's Spiral: a one-turn spiral stamped with the brush (see paint).
2D only.)")
      .def(
          "run",
          [](py::handle self, py::handle steps, py::handle every, py::handle callback) {
            auto& s = self.cast<PythonSimulation&>();
            const std::int64_t count = IntegerArgument("steps", steps, 0, std::numeric_limits<std::int64_t>::max());
            std::int64_t period = 0;
            if (!every.is_none()) period = IntegerArgument("every", every, 1, std::numeric_limits<std::int64_t>::max());
            if (!callback.is_none() && !PyCallable_Check(callback.ptr())) {
              throw py::type_error("callback: a callable expected");
            }
            if (callback.is_none() != every.is_none()) {
              throw py::value_error(every.is_none() ? "every: a callback needs every"
                                                    : "callback: every needs a callback");
            }
            s.Run(self, count, period, callback);
          },
          py::arg("steps"), py::arg("every") = py::none(), py::arg("callback") = py::none(),
          R"(run(steps, every=None, callback=None)

Runs `steps` steps in C++ with the GIL released, so other threads (and
other simulations) go on meanwhile. With every and callback, calls
callback(sim) after every `every` steps; the views then show the newest
field, and what the callback writes into them is what the next step reads.

The run ends early, keeping the newest whole field and the count of the
steps made, when
  - the callback raises: the exception propagates;
  - Ctrl+C is pressed: KeyboardInterrupt, within about 20 ms;
  - a step fails: a RunError subclass (OverflowFault, ...) naming the step,
    as the window reports it.
After run the views show the newest field (see Simulation.u).)")
      .def(
          "picture",
          [](PythonSimulation& s, py::handle palette, py::handle scale) {
            return RgbArray(s.Picture(PaletteArgument(palette),
                                      static_cast<int>(IntegerArgument("scale", scale, 1, batch::MaxScale))));
          },
          py::arg("palette") = "grey", py::arg("scale") = 1, R"(picture(palette="grey", scale=1) -> ndarray

The field as the window draws it, an (H, W, 3) uint8 RGB array: the same
pixels as `rdsim-batch --png`. 2D: the activator through the palette ("grey",
"viridis", "magma", "cividis"); 1D: the activator plot above the inhibitor
plot. Each pixel repeated scale (1 to 32) times across and down.)")
      .def(
          "_repr_png_",
          [](PythonSimulation& s) {
            const PixelImage picture = s.Picture(GreyPalette(), 1);
            const int scale = std::max(1, 256 / std::max(picture.width, picture.height));
            return py::bytes(EncodeImageFile("picture.png", Enlarged(picture, scale)));
          },
          "The picture as PNG bytes, so that Jupyter shows a Simulation as its field.")
      .def(
          "save", [](PythonSimulation& s, py::handle path) { WriteFieldFile(PathArgument(path), s.ToFile()); },
          py::arg("path"), R"(save(path)

Writes the field, the coefficient texts and the step count into an HDF5
field file (.h5), as the window's File > Save Field does: whole or not at
all. rdsim-batch --init and the window open it.)")
      .def("__repr__", [](const PythonSimulation& s) {
        return "<rdsim.Simulation " + ModeName(s.mode()) + " size=" + std::to_string(s.size()) +
               " steps=" + std::to_string(s.steps()) + ">";
      });

  m.def("open_field", &OpenField, py::arg("path"), R"(open_field(path) -> Simulation

A Simulation of the mode, size, coefficients, field and step count of a field
file written by save(), the window or rdsim-batch --out. A file that is no
such field file raises FileAccessFault saying what is wrong.)");

  AddAnalysis(m);
}
