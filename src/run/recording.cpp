#include "run/recording.h"
#include "core/message_text.h"

#include <utility>

#include "core/run_error.h"
#include "pixels/field_picture.h"
#include "pixels/profile_image_pixels.h"

namespace rdsim {

namespace {

void ShowNoRecording(RunView& view) { view.ShowRecording("", 0); }

// The size of the picture of `mode` on a field of n cells a side.
std::pair<int, int> PictureSize(Mode mode, int n) {
  return mode == Mode::TwoD ? std::pair{n, n} : std::pair{n, 2 * ProfileImageHeight};
}

}  // namespace

void StartRecording(Session& session, RunView& view, const std::string& path) {
  const Mode mode = view.SelectedMode();
  if (mode == Mode::None) return;
  const std::optional<MovieFormat> format = MovieFormatOf(path);
  if (!format) {
    throw RunError(Fault::FileAccess, "cannot record " + Echoed(path) + ": the name must end in .gif, .mp4 or .webm");
  }
  StopRecording(session, view);
  const auto [width, height] = PictureSize(mode, session.sim.N);
  session.recording = std::make_unique<MovieWriter>(path, width, height, DefaultMovieScale(*format, width, height),
                                                    PictureColours(mode));
  session.recordingMode = mode;
  view.ShowRecording(path, 0);
}

void StopRecording(Session& session, RunView& view) {
  if (!session.recording) return;
  const std::unique_ptr<MovieWriter> movie = std::move(session.recording);
  ShowNoRecording(view);
  movie->Finish();
}

void RecordRedraw(Session& session, RunView& view, Mode mode) {
  if (!session.recording) return;
  try {
    session.recording->Add(ComposeFieldPicture(session.sim, mode));
    view.ShowRecording(session.recording->Path(), session.recording->Frames());
  } catch (const RunError& error) {
    session.recording.reset();
    ShowNoRecording(view);
    view.Notify(std::string(error.what()) + ". The recording ended; the run goes on.");
  }
}

void EndRecordingIfFrameChanged(Session& session, RunView& view) {
  if (!session.recording) return;
  const Mode mode = view.SelectedMode();
  const auto [width, height] = PictureSize(mode, session.sim.N);
  if (mode == session.recordingMode && width == session.recording->Width() && height == session.recording->Height()) {
    return;
  }
  const std::string path = session.recording->Path();
  const std::int64_t frames = session.recording->Frames();
  try {
    StopRecording(session, view);
  } catch (const RunError& error) {
    view.Notify(error.what());
    return;
  }
  view.Notify("The recording " + Echoed(path) + " ended with " + std::to_string(frames) +
              (frames == 1 ? " frame" : " frames") +
              ": the field's mode or size changed, and a movie keeps one frame size.");
}

}  // namespace rdsim
