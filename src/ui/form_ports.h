#pragma once

#include "edit/brush_view.h"
#include "params/field_view.h"
#include "params/preset_view.h"
#include "run/run_view.h"

namespace rdsim {

class frmMain;

// The window as the behaviours see it: each interface of theirs answered
// from frmMain's controls.
class FormPorts : public RunView, public BrushView, public PresetView, public FieldView {
 public:
  explicit FormPorts(frmMain& form) : form_(form) {}

  // ParameterBoxes and PresetView
  std::string CoefficientText(int k) const override;
  std::string IterationsText() const override;
  std::string SizeText() const override;
  void SetSizeText(const std::string& text) override;
  Mode SelectedMode() const override;

  // RunView
  Picture& ActivatorProfile() override;
  Picture& InhibitorProfile() override;
  Picture& Field() override;
  void FitPictures(Mode mode, std::int32_t n) override;
  void ShowModeControls(Mode mode) override;
  void ShowRunning(bool running) override;
  void ShowStepCount(std::int64_t count) override;
  void Yield() override;
  void WaitForEvents(std::int64_t nanoseconds) override;
  bool Closing() const override;
  void ParametersRead() override;
  void FieldRedrawn() override;
  void ShowRecording(const std::string& file, std::int64_t frames) override;
  void Notify(const std::string& message) override;

  // BrushView
  Picture& Preview() override;
  Picture& Swatch(int index) override;
  int BrushRadius() const override;
  int BrushIntensity() const override;

  // PresetView
  void SetCoefficientText(int k, const std::string& text) override;
  std::string PresetName() const override;
  void ListPresets(const std::vector<std::string>& names) override;
  int PickedPreset() const override;
  void ShowPresetName(int row) override;

  // FieldView
  void SelectMode(Mode mode) override;

 private:
  void ShowTitle();

  frmMain& form_;
  // The title changes at most four times a second; the last change always shows.
  std::string recordingFile_;
  std::int64_t recordingFrames_ = 0;
  std::int64_t titleShownAt_ = 0;  // steady clock, milliseconds
  bool titlePending_ = false;
};

}  // namespace rdsim
