#pragma once

namespace rdsim {

class frmMain;

// The Start/Stop button. Always re-reads the parameters. Stops a running loop
// even when that intake fails; otherwise, once the intake has succeeded,
// starts the loop of the selected mode and returns when it ends.
void Run_Click(frmMain& form);

void RunLoop1D(frmMain& form);
void RunLoop2D(frmMain& form);

// Hands control to the window system: every waiting event runs to completion.
void YieldToWindow();

// The speeds the Run menu offers, in steps per second; 0 is full speed.
inline constexpr int RunSpeeds[] = {0, 1000, 100, 10};

// Run > speed entry `index` of RunSpeeds; takes effect at the running step.
void mnuSpeed_Click(frmMain& form, int index);

}  // namespace rdsim
