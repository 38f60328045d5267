#include "run/undo.h"

#include "run/intake.h"

namespace rdsim {

void RememberField(Session& session, Mode mode, const char* change) {
  session.history.Remember(session.sim, mode, session.FieldSteps, change);
  ++session.HandChanges;
}

namespace {

template <typename Restore>
void RestoreField(Session& session, RunView& view, Restore restore) {
  session.MouseDrawing = false;
  const Mode mode = view.SelectedMode();
  if (!restore(session.history, session.sim, mode, session.FieldSteps)) return;
  ++session.HandChanges;
  DrawFromU(session, view, mode);
}

}  // namespace

void UndoFieldChange(Session& session, RunView& view) {
  RestoreField(session, view, [](FieldHistory& h, Simulation& sim, Mode mode, std::int64_t& steps) {
    return h.Undo(sim, mode, steps);
  });
}

void RedoFieldChange(Session& session, RunView& view) {
  RestoreField(session, view, [](FieldHistory& h, Simulation& sim, Mode mode, std::int64_t& steps) {
    return h.Redo(sim, mode, steps);
  });
}

}  // namespace rdsim
