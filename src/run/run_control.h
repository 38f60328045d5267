#pragma once

#include "run/run_view.h"
#include "run/session.h"

namespace rdsim {

// The Start/Stop button. Always re-reads the parameters. Stops a running loop
// even when that intake fails; otherwise, once the intake has succeeded,
// starts the loop of the selected mode and returns when it ends.
void StartOrStopRun(Session& session, RunView& view);

// Steps until Stop, the window closes, the mode changes under the loop, a
// step fails, or a million steps; the picture is redrawn every StepsPerImage
// steps and the window's events run after every step.
void RunLoop(Session& session, RunView& view, Mode mode);

}  // namespace rdsim
