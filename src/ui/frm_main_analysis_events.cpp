// The events of the Analysis menu.
#include "ui/error_boundary.h"
#include "ui/frm_main.h"
#include "ui/stability_window.h"
#include "ui/time_series_window.h"
#include "ui/window_placement.h"

#include <cmath>

namespace rdsim {

// Opens the window beside this one the first time, and brings it back to
// the front afterwards; it analyses the boxes as they read now.
void frmMain::mnuStability_Click() {
  RunEvent(this, [this] {
    const bool first = frmStability == nullptr;
    if (first) frmStability = new StabilityWindow(ports, this);
    frmStability->Refresh();
    if (first) frmStability->PlaceBeside(*this);
    frmStability->show();
    frmStability->raise();
    frmStability->activateWindow();
  });
}

// Beside the main window like the stability analysis; sampling starts as
// it shows.
void frmMain::mnuTimeSeries_Click() {
  RunEvent(this, [this] {
    const bool first = frmTimeSeries == nullptr;
    if (first) frmTimeSeries = new TimeSeriesWindow(session, this);
    if (first || !frmTimeSeries->isVisible()) PlaceWindowBeside(*frmTimeSeries, *this);
    frmTimeSeries->show();
    frmTimeSeries->raise();
    frmTimeSeries->activateWindow();
  });
}

// The profiles have a cell per unit of x, its bar at the cell's number; the
// field a cell per pixel, covering [x, x + 1).
void frmMain::PickProbe(Mode mode, float X, float Y) {
  RunEvent(this, [=, this] {
    const double x = mode == Mode::OneD ? std::nearbyint(X) : std::floor(X);
    const double y = mode == Mode::OneD ? 0.0 : std::floor(Y);
    const double n = session.sim.N;
    if (!(x >= 0 && x < n && y >= 0 && y < n)) return;
    ChooseProbe(static_cast<int>(x), static_cast<int>(y));
  });
}

void frmMain::ChooseProbe(int x, int y) {
  RunEvent(this, [=, this] {
    if (!frmTimeSeries) frmTimeSeries = new TimeSeriesWindow(session, this);
    frmTimeSeries->SetProbe(x, y);
  });
}

}  // namespace rdsim
