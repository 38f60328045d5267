#pragma once

#include "run/run_view.h"
#include "run/session.h"

namespace rdsim {

// The Start/Stop button. Always re-reads the parameters. Stops a running loop
// even when that intake fails; otherwise, once the intake has succeeded,
// starts the loop of the selected mode and returns when it ends.
void StartOrStopRun(Session& session, RunView& view);

// The speeds the Run menu offers, in steps per second; 0 is full speed.
inline constexpr int RunSpeeds[] = {0, 1000, 100, 10};

// Run > speed entry `index` of RunSpeeds; takes effect at the running step.
void SetRunSpeed(Session& session, int index);

// Steps until Stop, the window closes, the mode changes under the loop, a
// step fails, or a million steps; the picture is redrawn every StepsPerImage
// steps and the window's events run after every step.
void RunLoop(Session& session, RunView& view, Mode mode);

}  // namespace rdsim
