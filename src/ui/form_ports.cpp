#include "ui/form_ports.h"

#include <QLineEdit>
#include <QRadioButton>

#include "core/constants.h"
#include "run/field_image.h"
#include "run/profile_plots.h"
#include "ui/box_text.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"

namespace rdsim {

std::string FormPorts::CoefficientText(int k) const { return form_.Text1[k]->text().toStdString(); }
std::string FormPorts::IterationsText() const { return form_.Text2->text().toStdString(); }
std::string FormPorts::SizeText() const { return form_.Text3->text().toStdString(); }
void FormPorts::SetSizeText(const std::string& text) { SetBoxText(form_.Text3, QString::fromStdString(text)); }
Mode FormPorts::SelectedMode() const { return rdsim::SelectedMode(form_); }

void FormPorts::PlaceProfilePictures(float left, float width) {
  for (PictureBox* picture : {form_.Picture1, form_.Picture2}) {
    picture->SetLeft(left);
    picture->SetWidth(width);
  }
}

void FormPorts::ScaleProfilePictures(float xRight) {
  form_.Picture1->Scale(0, Umax, xRight, 0);
  form_.Picture2->Scale(0, Vmax, xRight, 0);
}

void FormPorts::DrawProfiles() { rdsim::DrawProfiles(form_); }

void FormPorts::PlaceFieldPicture(float left, float top, float size) {
  form_.Picture3->SetLeft(left);
  form_.Picture3->SetTop(top);
  form_.Picture3->SetWidth(size);
  form_.Picture3->SetHeight(size);
}

void FormPorts::DrawFieldFromU() { DrawField(form_, form_.sim.U()); }

void ReadParameters(frmMain& form) {
  FormPorts ports(form);
  ReadParameters(form.sim, ports, ports);
}

Mode SelectedMode(const frmMain& form) {
  if (form.Option1[0]->isChecked()) return Mode::OneD;
  if (form.Option1[1]->isChecked()) return Mode::TwoD;
  return Mode::None;
}

}  // namespace rdsim
