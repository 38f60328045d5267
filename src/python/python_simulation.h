#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstdint>
#include <string>
#include <thread>

#include "core/coefficients.h"
#include "files/field_file.h"
#include "pixels/palette.h"
#include "pixels/pixel_image.h"
#include "run/session.h"

namespace rdsim::python {

// One simulation of a fixed mode and size. Its buffers are sized once, by the
// window's intake, and never reallocated, so a NumPy view of them stays valid
// as long as the array lives (the array holds the simulation). Between calls
// the newest field is always in U/V: a 2D run that ends on U2/V2 copies it
// back, bit for bit, as the window's intake does.
class PythonSimulation {
 public:
  PythonSimulation(Mode mode, const std::string& sizeText, const CoefficientTexts& texts);

  Mode mode() const { return mode_; }
  int size() const { return session_.sim.N; }
  const CoefficientTexts& texts() const { return texts_; }
  std::int64_t steps() const { return session_.FieldSteps; }

  // A float32 view of U (activator) or V, shape (N,) or (N, N), row 0 the
  // picture's top row; `owner` is the Python object that holds this.
  pybind11::array View(pybind11::handle owner, bool activator);

  void Random(std::uint32_t seed);
  void Clear();
  void Paint(float x, float y, int radius, int intensity, bool activator);
  void Spiral(int radius, int intensity, bool activator);
  // Releases the GIL while stepping; see the docstring of Simulation.run.
  void Run(pybind11::handle owner, std::int64_t steps, std::int64_t every, pybind11::handle callback);
  PixelImage Picture(const Palette& palette, int scale);
  FieldFile ToFile() const;
  void Load(const FieldFile& file);

 private:
  friend class PythonHooks;
  // Raises RuntimeError while another thread runs this simulation.
  void CheckIdle(const char* what) const;
  std::size_t Cells() const;
  void NewestIntoU();

  Session session_;
  Mode mode_;
  CoefficientTexts texts_;
  bool running_ = false;  // read and written with the GIL held
  std::thread::id runner_;
};

}  // namespace rdsim::python
