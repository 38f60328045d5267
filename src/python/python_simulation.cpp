#include "python_simulation.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "arguments.h"
#include "core/noise_fill.h"
#include "core/parameter_intake.h"
#include "core/step_loop.h"
#include "edit/field_brush.h"
#include "edit/spiral_seed.h"
#include "headless_brush.h"
#include "pixels/field_picture.h"

namespace py = pybind11;

namespace rdsim::python {

PythonSimulation::PythonSimulation(Mode mode, const std::string& sizeText, const CoefficientTexts& texts)
    : mode_(mode), texts_(texts) {
  TakeArguments(session_.sim, mode, sizeText, texts);
}

std::size_t PythonSimulation::Cells() const {
  const auto n = static_cast<std::size_t>(session_.sim.N);
  return mode_ == Mode::TwoD ? n * n : n;
}

void PythonSimulation::CheckIdle(const char* what) const {
  if (running_ && runner_ != std::this_thread::get_id()) {
    throw std::runtime_error(std::string(what) + ": the simulation is running in another thread");
  }
}

void PythonSimulation::NewestIntoU() {
  if (mode_ == Mode::TwoD) KeepNewestFieldInU(session_.sim);
}

py::array PythonSimulation::View(py::handle owner, bool activator) {
  Buffer& buffer = activator ? session_.sim.U() : session_.sim.V();
  const auto n = static_cast<py::ssize_t>(session_.sim.N);
  constexpr auto item = static_cast<py::ssize_t>(sizeof(float));
  if (mode_ == Mode::TwoD) return py::array_t<float>({n, n}, {n * item, item}, buffer.data(), owner);
  return py::array_t<float>({n}, {item}, buffer.data(), owner);
}

void PythonSimulation::Random(std::uint32_t seed) {
  CheckIdle("random");
  FillNoise(session_.sim.U(), session_.sim.V(), Cells(), seed);
  session_.sim.CurrentInU = true;
  session_.FieldSteps = 0;
}

void PythonSimulation::Clear() {
  CheckIdle("clear");
  std::fill_n(session_.sim.U().begin(), Cells(), 0.0f);
  std::fill_n(session_.sim.V().begin(), Cells(), 0.0f);
  session_.sim.CurrentInU = true;
  session_.FieldSteps = 0;
}

void PythonSimulation::Paint(float x, float y, int radius, int intensity, bool activator) {
  CheckIdle("paint");
  HeadlessBrush brush(session_.sim.N, radius, intensity);
  session_.BrushOnActivator = activator;
  PaintDisc(session_, brush, x, y, ReadBrush(brush));
}

void PythonSimulation::Spiral(int radius, int intensity, bool activator) {
  CheckIdle("spiral");
  HeadlessBrush brush(session_.sim.N, radius, intensity);
  session_.BrushOnActivator = activator;
  StampSpiral(session_, brush);
}

// The run's hooks: the step count, the callback, and a look for Ctrl+C about
// every 20 ms. A Python error ends the loop after the step it came in.
class PythonHooks final : public StepLoopHooks {
 public:
  PythonHooks(PythonSimulation& sim, py::handle owner, py::handle callback)
      : sim_(sim), owner_(owner), callback_(callback), lastLook_(std::chrono::steady_clock::now()) {}

  void Stepped(std::int64_t) override { ++sim_.session_.FieldSteps; }

  void RedrawDue(std::int64_t) override {
    if (callback_.is_none() || error) return;
    const py::gil_scoped_acquire gil;
    sim_.NewestIntoU();  // the callback's views show the newest field
    try {
      callback_(owner_);
    } catch (py::error_already_set& e) {
      error.emplace(std::move(e));
    }
  }

  bool Yield(std::int64_t k) override {
    if (error) return false;
    if (k % 64 != 0) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastLook_ < std::chrono::milliseconds(20)) return true;
    lastLook_ = now;
    const py::gil_scoped_acquire gil;
    if (PyErr_CheckSignals() != 0) error.emplace();
    return !error;
  }

  std::optional<py::error_already_set> error;

 private:
  PythonSimulation& sim_;
  py::handle owner_, callback_;
  std::chrono::steady_clock::time_point lastLook_;
};

void PythonSimulation::Run(py::handle owner, std::int64_t steps, std::int64_t every, py::handle callback) {
  CheckIdle("run");
  if (running_) throw std::runtime_error("run: the simulation is running already; a callback may not call run");
  PythonHooks hooks(*this, owner, callback);
  running_ = true;
  runner_ = std::this_thread::get_id();
  StepLoopOutcome outcome;
  {
    const py::gil_scoped_release released;
    outcome = RunStepLoop(session_.sim, mode_, steps, every > 0 ? every : NoRedraw, hooks);
  }
  running_ = false;
  // A failed step left the pair it read whole; that is the newest field.
  NewestIntoU();
  if (hooks.error) throw std::move(*hooks.error);
  if (outcome.fault) {
    throw WithContext(*outcome.fault, "step " + std::to_string(outcome.stepsDone + 1) + " of " + std::to_string(steps));
  }
}

PixelImage PythonSimulation::Picture(const Palette& palette, int scale) {
  CheckIdle("picture");
  return Enlarged(ComposeFieldPicture(session_.sim, mode_, palette), scale);
}

FieldFile PythonSimulation::ToFile() const {
  CheckIdle("save");
  const Buffer& u = session_.sim.buffers.U;
  const Buffer& v = session_.sim.buffers.V;
  const auto cells = static_cast<std::ptrdiff_t>(Cells());
  return FieldFile{mode_,  session_.sim.N,     {u.begin(), u.begin() + cells}, {v.begin(), v.begin() + cells},
                   texts_, session_.FieldSteps};
}

void PythonSimulation::Load(const FieldFile& file) {
  std::copy(file.u.begin(), file.u.end(), session_.sim.U().begin());
  std::copy(file.v.begin(), file.v.end(), session_.sim.V().begin());
  session_.sim.CurrentInU = true;
  session_.FieldSteps = file.steps;
}

}  // namespace rdsim::python
