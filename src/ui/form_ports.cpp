#include "ui/form_ports.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <chrono>

#include "core/run_error.h"
#include "ui/box_text.h"
#include "ui/counter_label.h"
#include "ui/error_boundary.h"
#include "ui/field_window.h"
#include "ui/frm_main.h"
#include "ui/picture_box.h"
#include "ui/stability_window.h"

namespace rdsim {

namespace {

QLineEdit& CoefficientBox(const frmMain& form, int k) {
  if (k < 0 || k >= CoefficientCount) throw RunError(Fault::SubscriptOutOfRange, "Text1(" + std::to_string(k) + ")");
  return *form.Text1[k];
}

}  // namespace

std::string FormPorts::CoefficientText(int k) const { return CoefficientBox(form_, k).text().toStdString(); }
std::string FormPorts::IterationsText() const { return form_.Text2->text().toStdString(); }
std::string FormPorts::SizeText() const { return form_.Text3->text().toStdString(); }
void FormPorts::SetSizeText(const std::string& text) { SetBoxText(form_.Text3, QString::fromStdString(text)); }

Mode FormPorts::SelectedMode() const {
  if (form_.Option1[0]->isChecked()) return Mode::OneD;
  if (form_.Option1[1]->isChecked()) return Mode::TwoD;
  return Mode::None;
}

Picture& FormPorts::ActivatorProfile() { return *form_.Picture1; }
Picture& FormPorts::InhibitorProfile() { return *form_.Picture2; }
Picture& FormPorts::Field() { return *form_.Picture3; }

// The pictures keep the centre of the designed field square, (255, 110), and
// take the field's cells plus their 2-pixel borders: an odd size lands on a
// half pixel, which PictureBox rounds.
void FormPorts::FitPictures(Mode mode, std::int32_t n) {
  constexpr double CentreX = 255.0, CentreY = 110.0, Border = 2.0;
  const double half = static_cast<double>(n) / 2.0;
  const auto left = static_cast<float>(CentreX - half - Border);
  const auto size = static_cast<float>(static_cast<double>(n) + 2 * Border);
  if (mode == Mode::OneD) {
    for (PictureBox* picture : {form_.Picture1, form_.Picture2}) {
      picture->SetLeft(left);
      picture->SetWidth(size);
    }
  } else if (mode == Mode::TwoD) {
    form_.Picture3->SetLeft(left);
    form_.Picture3->SetTop(static_cast<float>(CentreY - half - Border));
    form_.Picture3->SetWidth(size);
    form_.Picture3->SetHeight(size);
  }
}

void FormPorts::ShowModeControls(Mode mode) {
  const bool square = mode == Mode::TwoD;
  form_.Picture1->setVisible(!square);
  form_.Picture2->setVisible(!square);
  form_.Picture3->setVisible(square);
  form_.Frame3->setVisible(square);
}

void FormPorts::ShowRunning(bool running) { form_.Run->setText(running ? "Stop" : "Start"); }
void FormPorts::ShowStepCount(std::int64_t count) { form_.Label2->SetCaption(QString::number(count)); }
void FormPorts::Yield() { QCoreApplication::processEvents(QEventLoop::AllEvents); }
void FormPorts::WaitForEvents(std::int64_t nanoseconds) {
  // The timer only wakes the wait below when no other event does.
  QTimer wake;
  wake.setSingleShot(true);
  wake.setTimerType(Qt::PreciseTimer);
  wake.start(static_cast<int>(std::min<std::int64_t>((nanoseconds + 999'999) / 1'000'000, 1000)));
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

bool FormPorts::Closing() const { return form_.Closing; }
// Only an open analysis window costs anything at an intake.
void FormPorts::ParametersRead() {
  if (form_.frmStability && form_.frmStability->isVisible()) form_.frmStability->Refresh();
}

// A closed field window costs one test per redraw.
void FormPorts::FieldRedrawn() {
  if (form_.frmField && form_.frmField->isVisible()) form_.frmField->Follow();
}

void FormPorts::ShowRecording(const std::string& file, std::int64_t frames) {
  const bool changed = file != recordingFile_;
  recordingFile_ = file;
  recordingFrames_ = frames;
  if (form_.mnuStopRecording) form_.mnuStopRecording->setEnabled(!file.empty());
  const std::int64_t now =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count();
  if (changed || now - titleShownAt_ >= 250) {
    titleShownAt_ = now;
    ShowTitle();
    return;
  }
  if (titlePending_) return;
  titlePending_ = true;
  QTimer::singleShot(static_cast<int>(250 - (now - titleShownAt_)), &form_, [this] {
    titlePending_ = false;
    titleShownAt_ =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    ShowTitle();
  });
}

void FormPorts::ShowTitle() {
  QString title = QStringLiteral("Reaction-Diffusion simulator");
  if (!recordingFile_.empty()) {
    title += QStringLiteral(" \u2014 recording %1, %2 %3")
                 .arg(QFileInfo(QString::fromStdString(recordingFile_)).fileName())
                 .arg(recordingFrames_)
                 .arg(recordingFrames_ == 1 ? QStringLiteral("frame") : QStringLiteral("frames"));
  }
  form_.setWindowTitle(title);
}

void FormPorts::Notify(const std::string& message) { rdsim::Notify(&form_, message); }

void FormPorts::SelectMode(Mode mode) {
  if (mode == Mode::OneD) form_.Option1[0]->setChecked(true);
  if (mode == Mode::TwoD) form_.Option1[1]->setChecked(true);
}

Picture& FormPorts::Preview() { return *form_.Picture5; }
Picture& FormPorts::Swatch(int index) {
  if (index != 0 && index != 1) throw RunError(Fault::SubscriptOutOfRange, "Picture6(" + std::to_string(index) + ")");
  return *form_.Picture6[index];
}
int FormPorts::BrushRadius() const { return form_.Slider1->value(); }
int FormPorts::BrushIntensity() const { return form_.Slider2->value(); }

void FormPorts::SetCoefficientText(int k, const std::string& text) {
  SetBoxText(&CoefficientBox(form_, k), QString::fromStdString(text));
}
std::string FormPorts::PresetName() const { return form_.Combo1->currentText().toStdString(); }

void FormPorts::ListPresets(const std::vector<std::string>& names) {
  QComboBox& list = *form_.Combo1;
  list.clear();
  for (const std::string& name : names) list.addItem(QString::fromStdString(name));
  if (list.count() > 0) list.setCurrentIndex(0);
  SetBoxText(list.lineEdit(), list.count() > 0 ? list.itemText(0) : QString());
}

void FormPorts::ShowPresetName(int row) { SetBoxText(form_.Combo1->lineEdit(), form_.Combo1->itemText(row)); }

int FormPorts::PickedPreset() const {
  const int row = form_.Combo1->currentIndex();
  return row < form_.Combo1->count() ? row : -1;
}

}  // namespace rdsim
