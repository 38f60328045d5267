#pragma once

#include <cstdint>
#include <string>

#include "core/parameter_intake.h"
#include "pixels/picture.h"

namespace rdsim {

// What the run, the intake, the mode switch and the redraws need of the
// window: the boxes and mode buttons (ParameterBoxes), the pictures, the
// run's caption and counter, and the yield.
class RunView : public ParameterBoxes {
 public:
  virtual Picture& ActivatorProfile() = 0;
  virtual Picture& InhibitorProfile() = 0;
  virtual Picture& Field() = 0;

  // Places the profiles (1D) or the field (2D) for a field of n cells a side.
  virtual void FitPictures(Mode mode, std::int32_t n) = 0;
  // The profiles in 1D; the field and the brush tools in 2D.
  virtual void ShowModeControls(Mode mode) = 0;

  virtual void ShowRunning(bool running) = 0;          // "Stop" while running, else "Start"
  virtual void ShowStepCount(std::int64_t count) = 0;  // the counter's number
  // Runs every waiting window event to completion.
  virtual void Yield() = 0;
  // Serves the window's events until one comes or the time is up.
  virtual void WaitForEvents(std::int64_t nanoseconds) = 0;
  // Set once the window closes: every loop ends.
  virtual bool Closing() const = 0;
  // After every intake from the boxes, whether they were taken or refused:
  // what follows the boxes (the stability analysis) looks at them again.
  virtual void ParametersRead() {}
  // After every redraw of the field or the profiles: what shows the field
  // elsewhere (the field window) follows it.
  virtual void FieldRedrawn() {}

  // That a movie is being recorded into `file`, with `frames` frames so far;
  // an empty name: no recording.
  virtual void ShowRecording(const std::string& file, std::int64_t frames) = 0;
  // A message that stops nothing: the run goes on while it shows.
  virtual void Notify(const std::string& message) = 0;
};

}  // namespace rdsim
