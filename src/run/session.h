#pragma once

#include "core/simulation.h"
#include "files/preset_file.h"

namespace rdsim {

// What lives as long as the window beside the widgets: the simulation, the
// flags that tie the run, the editing tools and the presets together, and
// the preset table. The window owns one; tests may own their own.
struct Session {
  Simulation sim;

  bool Running = false;           // a run is active
  bool MouseDrawing = false;      // a left-button stroke is in progress in a picture
  bool BrushOnActivator = false;  // the brush and the spiral write the activator
  int StepsPerSecond = 0;         // the run's speed limit; 0: full speed

  // Row i holds the values of the preset list's entry i.
  PresetTable presetTable{};
};

}  // namespace rdsim
