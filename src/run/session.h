#pragma once

#include <cstdint>
#include <memory>

#include "core/simulation.h"
#include "files/preset_file.h"
#include "pixels/space_time.h"
#include "run/field_history.h"
#include "run/run_series.h"
#include "video/movie_file.h"

namespace rdsim {

// What lives as long as the window beside the widgets: the simulation, the
// flags that tie the run, the editing tools and the presets together, and
// the preset table. The window owns one; tests may own their own.
struct Session {
  Simulation sim;

  bool Running = false;            // a run is active
  bool MouseDrawing = false;       // a left-button stroke is in progress in a picture
  float StrokeX = 0, StrokeY = 0;  // the stroke's last pointer position, which a move joins up to
  bool BrushOnActivator = false;   // the brush and the spiral write the activator
  int StepsPerSecond = 0;          // the run's speed limit; 0: full speed

  // Row i holds the values of the preset list's entry i.
  PresetTable presetTable{};

  // Steps run on the field since it was cleared, filled with noise or
  // opened from a file (where it continues the file's count).
  std::int64_t FieldSteps = 0;

  // Edit > Undo and Redo of the hand changes to the field.
  FieldHistory history;
  // Goes up at every write to the field outside a step (a tool, a stroke's
  // move, an undo), so that a run can tell a field nobody touched.
  std::uint64_t HandChanges = 0;

  // File > Record...: the movie of the run's redraws, and the mode it began in.
  std::unique_ptr<MovieWriter> recording;
  Mode recordingMode = Mode::None;

  // The space-time image of the current 1D run: a row at every redraw.
  static constexpr std::size_t SpaceTimeRowLimit = 4096;
  SpaceTimeRows spaceTime{SpaceTimeRowLimit};

  // Analysis > Time Series while its window is open, else null.
  RunSeries* series = nullptr;
};

}  // namespace rdsim
