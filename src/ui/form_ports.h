#pragma once

#include "core/parameter_intake.h"

namespace rdsim {

class frmMain;

// The window seen by the intake: its boxes, its mode buttons, its pictures.
class FormPorts : public ParameterBoxes, public IntakeView {
 public:
  explicit FormPorts(frmMain& form) : form_(form) {}

  std::string CoefficientText(int k) const override;
  std::string IterationsText() const override;
  std::string SizeText() const override;
  void SetSizeText(const std::string& text) override;
  Mode SelectedMode() const override;

  void PlaceProfilePictures(float left, float width) override;
  void ScaleProfilePictures(float xRight) override;
  void DrawProfiles() override;
  void PlaceFieldPicture(float left, float top, float size) override;
  void DrawFieldFromU() override;

 private:
  frmMain& form_;
};

// The intake over the window's own boxes and pictures.
void ReadParameters(frmMain& form);

// The mode the option buttons select.
Mode SelectedMode(const frmMain& form);

}  // namespace rdsim
