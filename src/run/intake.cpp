#include "run/intake.h"

#include "core/constants.h"
#include "run/field_image.h"
#include "run/profile_plots.h"
#include "run/recording.h"

namespace rdsim {

namespace {

// What the intake asks of the window, carried out on the run's view.
class IntakeOnView : public IntakeView {
 public:
  IntakeOnView(Session& session, RunView& view) : session_(session), view_(view) {}

  void FitPictures(Mode mode, std::int32_t n) override {
    view_.FitPictures(mode, n);
    if (mode != Mode::OneD) return;
    // A profile's x axis runs from 0 at the left edge to n at the right.
    const auto xRight = static_cast<float>(n);
    view_.ActivatorProfile().Scale(0, Umax, xRight, 0);
    view_.InhibitorProfile().Scale(0, Vmax, xRight, 0);
  }
  void DrawProfiles() override { DrawFromU(session_, view_, Mode::OneD); }
  void DrawFieldFromU() override { DrawFromU(session_, view_, Mode::TwoD); }

 private:
  Session& session_;
  RunView& view_;
};

}  // namespace

void ReadParameters(Session& session, RunView& view) {
  IntakeOnView intakeView(session, view);
  try {
    ReadParameters(session.sim, view, intakeView);
  } catch (const RunError&) {
    view.ParametersRead();  // shows what is wrong with the boxes there too
    throw;
  }
  view.ParametersRead();
  EndRecordingIfFrameChanged(session, view);
}

void DrawFromU(Session& session, RunView& view, Mode mode) {
  if (mode == Mode::OneD) {
    DrawProfiles(view.ActivatorProfile(), view.InhibitorProfile(), session.sim);
  } else if (mode == Mode::TwoD) {
    DrawField(view.Field(), session.sim.U(), session.sim.N);
  }
  view.FieldRedrawn();
}

}  // namespace rdsim
