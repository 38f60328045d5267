#include "ui/file_questions.h"
#include "ui/app_settings.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QSettings>
#include <QSpinBox>

#include "params/field_files.h"
#include "pixels/palette.h"

namespace rdsim {

namespace {

FileAnswerer& FileAnswers() {
  static FileAnswerer answerer;
  return answerer;
}

PictureOptionsAnswerer& PictureAnswers() {
  static PictureOptionsAnswerer answerer;
  return answerer;
}

QString SettingsKey(const QString& title, const char* key) {
  return QStringLiteral("PictureOptions/%1/%2").arg(title, QLatin1String(key));
}

std::optional<PictureOptions> Remember(const QString& title, std::optional<PictureOptions> options) {
  if (options && options->palette) {
    QSettings settings = AppSettings();
    settings.setValue(SettingsKey(title, "scale"), options->scale);
    settings.setValue(SettingsKey(title, "colourMap"), QString::fromLatin1(options->palette->name));
  }
  return options;
}

std::optional<PictureOptions> Ask(QWidget* parent, const QString& title);

}  // namespace

PictureOptions LastPictureOptions(const QString& title) {
  const QSettings settings = AppSettings();
  bool number = false;
  const int scale = settings.value(SettingsKey(title, "scale")).toInt(&number);
  const Palette* palette = FindPalette(settings.value(SettingsKey(title, "colourMap")).toString().toStdString());
  PictureOptions options{1, &GreyPalette()};
  if (number && scale >= 1 && scale <= MaxExportScale) options.scale = scale;
  if (palette) options.palette = palette;
  return options;
}

std::optional<PictureOptions> AskPictureOptions(QWidget* parent, const QString& title) {
  return Remember(title, PictureAnswers() ? PictureAnswers()(title) : Ask(parent, title));
}

void SetFileAnswerer(FileAnswerer answerer) { FileAnswers() = std::move(answerer); }
void SetPictureOptionsAnswerer(PictureOptionsAnswerer answerer) { PictureAnswers() = std::move(answerer); }

QString AskFileName(QWidget* parent, const FileQuestion& question) {
  QString name;
  if (FileAnswers()) {
    name = FileAnswers()(question);
  } else if (question.kind == FileQuestion::Open) {
    name = QFileDialog::getOpenFileName(parent, question.title, QString(), question.filter);
  } else {
    name = QFileDialog::getSaveFileName(parent, question.title, QString(), question.filter);
  }
  if (!name.isEmpty() && question.kind == FileQuestion::Save && !question.suffix.isEmpty() &&
      QFileInfo(name).suffix().isEmpty()) {
    name += QLatin1Char('.') + question.suffix;
  }
  return name;
}

namespace {

std::optional<PictureOptions> Ask(QWidget* parent, const QString& title) {
  const PictureOptions last = LastPictureOptions(title);
  QDialog dialog(parent);
  dialog.setWindowTitle(title);
  dialog.setAccessibleName(title);
  dialog.setAccessibleDescription(QStringLiteral("How the picture is written: its scale and its colour map."));
  auto* form = new QFormLayout(&dialog);
  auto* scale = new QSpinBox(&dialog);
  scale->setRange(1, MaxExportScale);
  scale->setValue(last.scale);
  scale->setSuffix(QStringLiteral(" \u00d7"));
  scale->setAccessibleName(QStringLiteral("Scale"));
  scale->setAccessibleDescription(
      QStringLiteral("Each cell becomes this many pixels across and down, 1 to %1.").arg(MaxExportScale));
  scale->setToolTip(scale->accessibleDescription());
  form->addRow(QStringLiteral("&Scale"), scale);
  auto* colours = new QComboBox(&dialog);
  for (const Palette* palette : Palettes()) colours->addItem(QString::fromLatin1(palette->name));
  colours->setAccessibleName(QStringLiteral("Colour map"));
  colours->setAccessibleDescription(
      QStringLiteral("The colours of the activator in 2D, from its lowest to its highest value: grey as the window "
                     "shows it, or viridis, magma or cividis. The 1D plots keep their red and blue."));
  colours->setToolTip(colours->accessibleDescription());
  colours->setCurrentText(QString::fromLatin1(last.palette->name));
  form->addRow(QStringLiteral("&Colour map"), colours);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return PictureOptions{scale->value(), Palettes()[static_cast<std::size_t>(colours->currentIndex())]};
}

}  // namespace

}  // namespace rdsim
