#pragma once

#include "run/run_view.h"
#include "run/session.h"

namespace rdsim {

// Each tool that changes the field by hand calls this once, after its checks
// and just before its first write, so that a refused change leaves no step.
void RememberField(Session& session, Mode mode, const char* change);

// Edit > Undo and Edit > Redo. A stroke in progress ends first, so that the
// drag goes on painting nothing into the restored field. During a run they
// land between two steps: the next step starts from the restored field.
void UndoFieldChange(Session& session, RunView& view);
void RedoFieldChange(Session& session, RunView& view);

}  // namespace rdsim
