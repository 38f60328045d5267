#include "params/presets.h"

#include <QComboBox>
#include <QLineEdit>

#include "core/number_text.h"
#include "core/parameter_intake.h"
#include "core/run_error.h"
#include "params/builtin_presets.h"
#include "params/preset_file.h"
#include "ui/frm_main.h"

namespace rdsim {

namespace {

std::vector<PresetRecord> BuiltinRecords() {
  std::vector<PresetRecord> records;
  for (const BuiltinPreset& preset : BuiltinPresets()) records.push_back(preset.record);
  return records;
}

void ShowRow(frmMain& form, int row) {
  const PresetValues& values = form.presetTable.at(static_cast<std::size_t>(row));
  for (int k = 0; k < SimParamCount; ++k) {
    form.Text1[k]->setText(QString::fromStdString(FormatSingle(values[static_cast<std::size_t>(k)])));
  }
}

// Every box converted before anything is written: a record goes out whole or not at all.
PresetValues BoxValues(const frmMain& form) {
  PresetValues values{};
  for (int k = 0; k < SimParamCount; ++k) {
    const std::string text = form.Text1[k]->text().toStdString();
    try {
      values[static_cast<std::size_t>(k)] = ParseSingle(text);
    } catch (const RunError& error) {
      throw RunError(error.fault(),
                     ExplainBoxFault(error.fault(), CoefficientBoxName(k), text) + "; the preset was not saved",
                     CoefficientControlName(k));
    }
  }
  return values;
}

}  // namespace

void LoadPresets(frmMain& form) {
  form.Combo1->clear();
  std::optional<std::string> text;
  std::optional<RunError> passedOver;
  try {
    text = ReadPresetFile(PresetFileName);
  } catch (const RunError& error) {
    // Not a file to read (too large, a folder, a FIFO): the window still
    // starts, with the built-in presets, and says why.
    passedOver = error;
  }
  std::vector<PresetRecord> records;
  if (text) records = ParsePresetFile(*text).records;
  // Without a file, or without a whole record in it, the program's own
  // presets stand in, until the first save writes them.
  if (records.empty()) records = BuiltinRecords();
  for (const PresetRecord& record : records) {
    form.Combo1->addItem(QString::fromStdString(record.name));
    const int row = form.Combo1->count() - 1;
    form.presetTable.at(static_cast<std::size_t>(row)) = record.values;
  }
  if (form.Combo1->count() > 0) form.Combo1->setCurrentIndex(0);
  form.Combo1->setEditText(form.Combo1->count() > 0 ? form.Combo1->itemText(0) : QString());
  ShowRow(form, 0);
  if (passedOver) {
    throw RunError(passedOver->fault(), passedOver->detail() + "; the built-in presets are listed instead");
  }
}

void Combo1_Click(frmMain& form) {
  const int row = form.Combo1->currentIndex();
  if (row < 0 || row >= form.Combo1->count() || row >= PresetRows) return;
  ShowRow(form, row);
}

void SavePar_Click(frmMain& form) {
  PresetRecord record;
  record.name = form.Combo1->currentText().toStdString();
  CheckPresetName(record.name);
  record.values = BoxValues(form);

  AppendPreset(PresetFileName, record, BuiltinRecords());
  LoadPresets(form);
}

}  // namespace rdsim
