#include "params/field_files.h"
#include "core/message_text.h"

#include <algorithm>

#include "core/run_error.h"
#include "files/field_file.h"
#include "image_io/image_file.h"
#include "pixels/field_picture.h"
#include "run/intake.h"
#include "run/undo.h"

namespace rdsim {

namespace {

// The boxes as the file would fill them, for a trial intake that must pass
// before anything in the window changes. The iterations box stays the window's.
class FileBoxes : public ParameterBoxes {
 public:
  FileBoxes(const FieldFile& file, const RunView& view)
      : file_(file), iterations_(view.IterationsText()), size_(std::to_string(file.n)) {}
  std::string CoefficientText(int k) const override { return file_.coefficients.at(static_cast<std::size_t>(k)); }
  std::string IterationsText() const override { return iterations_; }
  std::string SizeText() const override { return size_; }
  void SetSizeText(const std::string& text) override { size_ = text; }
  Mode SelectedMode() const override { return file_.mode; }

 private:
  const FieldFile& file_;
  std::string iterations_, size_;
};

std::size_t Cells(Mode mode, int n) {
  const auto side = static_cast<std::size_t>(n);
  return mode == Mode::TwoD ? side * side : side;
}

void CheckScale(int scale) {
  if (scale < 1 || scale > MaxExportScale) {
    throw RunError(Fault::Overflow, "a picture's scale must be 1 to " + std::to_string(MaxExportScale));
  }
}

}  // namespace

void OpenField(Session& session, RunView& view, FieldView& fieldView, const std::string& path) {
  const FieldFile file = ReadFieldFile(path);
  try {
    Simulation trial;
    FileBoxes boxes(file, view);
    ReadParameters(trial, boxes);
  } catch (const RunError& error) {
    throw WithContext(error, "cannot open " + Echoed(path));
  }

  // Undoable only while the field keeps the file's mode and size.
  RememberField(session, view.SelectedMode(), "Open Field");
  if (view.SelectedMode() != file.mode) fieldView.SelectMode(file.mode);
  view.SetSizeText(std::to_string(file.n));
  for (int k = 0; k < CoefficientCount; ++k) {
    fieldView.SetCoefficientText(k, file.coefficients[static_cast<std::size_t>(k)]);
  }
  ReadParameters(session, view);
  Simulation& sim = session.sim;
  const std::size_t cells = Cells(file.mode, file.n);
  if (sim.N != file.n || sim.U().size() < cells) {
    throw RunError(Fault::SubscriptOutOfRange, "the field of " + Echoed(path) + " does not fit the buffers");
  }
  // Both pairs, so that a 2D step in either direction starts from the file.
  for (Buffer* buffer : {&sim.U(), &sim.U2()}) std::copy(file.u.begin(), file.u.end(), buffer->begin());
  for (Buffer* buffer : {&sim.V(), &sim.V2()}) std::copy(file.v.begin(), file.v.end(), buffer->begin());
  sim.CurrentInU = true;
  session.FieldSteps = file.steps;
  DrawFromU(session, view, file.mode);
}

void SaveField(Session& session, RunView& view, const std::string& path) {
  const Mode mode = view.SelectedMode();
  if (mode == Mode::None) return;
  const Simulation& sim = session.sim;
  FieldFile file;
  file.mode = mode;
  file.n = sim.N;
  const std::size_t cells = Cells(mode, sim.N);
  const Buffer& u = NewestActivator(sim, mode);
  const Buffer& v = NewestInhibitor(sim, mode);
  if (u.size() < cells || v.size() < cells) {
    throw RunError(Fault::SubscriptOutOfRange, "the field buffers are shorter than the field");
  }
  file.u.assign(u.begin(), u.begin() + static_cast<std::ptrdiff_t>(cells));
  file.v.assign(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(cells));
  for (int k = 0; k < CoefficientCount; ++k) file.coefficients[static_cast<std::size_t>(k)] = view.CoefficientText(k);
  file.steps = session.FieldSteps;
  WriteFieldFile(path, file);
}

void ExportPicture(Session& session, RunView& view, const std::string& path, int scale, const Palette& palette) {
  CheckScale(scale);
  const Mode mode = view.SelectedMode();
  if (mode == Mode::None) return;
  WriteImageFile(path, Enlarged(ComposeFieldPicture(session.sim, mode, palette), scale));
}

void SaveSpaceTimeImage(Session& session, const std::string& path, int scale, const Palette& palette) {
  CheckScale(scale);
  if (session.spaceTime.Rows() == 0) {
    throw RunError(Fault::FileAccess, "cannot write \"" + path +
                                          "\": there is no space-time image yet; run in 1D, and every redraw adds "
                                          "a row");
  }
  WriteImageFile(path, Enlarged(session.spaceTime.Picture(palette), scale));
}

}  // namespace rdsim
