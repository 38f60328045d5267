#pragma once

#include <string>

#include "run/run_view.h"
#include "run/session.h"

namespace rdsim {

// File > Record...: a movie of every redraw of a run from now on, each frame
// the picture ComposeFieldPicture gives (the grey field, or the two profile
// plots), at the format's default scale. A recording going on is finished
// first. A file that cannot be started raises RunError naming it.
void StartRecording(Session& session, RunView& view, const std::string& path);

// File > Stop Recording: finishes the movie and renames it into place; a
// movie that cannot be finished raises RunError naming it (an older file of
// that name stays as it was).
void StopRecording(Session& session, RunView& view);

// At each redraw of a run: the frame. A frame that cannot be written (a full
// disk) ends the recording with a message naming the file; the run goes on.
void RecordRedraw(Session& session, RunView& view, Mode mode);

// After a mode switch or an intake: a recording whose frames no longer fit
// (another mode, another field size) is finished, with a message.
void EndRecordingIfFrameChanged(Session& session, RunView& view);

}  // namespace rdsim
