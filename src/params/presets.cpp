#include "params/presets.h"

#include "core/number_text.h"
#include "core/parameter_intake.h"
#include "core/run_error.h"
#include "files/preset_file.h"
#include "params/builtin_presets.h"

namespace rdsim {

namespace {

std::vector<PresetRecord> BuiltinRecords() {
  std::vector<PresetRecord> records;
  for (const BuiltinPreset& preset : BuiltinPresets()) records.push_back(preset.record);
  return records;
}

void ShowRow(const Session& session, PresetView& view, int row) {
  const PresetValues& values = session.presetTable.at(static_cast<std::size_t>(row));
  for (int k = 0; k < CoefficientCount; ++k)
    view.SetCoefficientText(k, FormatSingle(values[static_cast<std::size_t>(k)]));
}

// Every box converted before anything is written: a record goes out whole or not at all.
PresetValues BoxValues(const PresetView& view) {
  PresetValues values{};
  for (int k = 0; k < CoefficientCount; ++k) {
    const std::string text = view.CoefficientText(k);
    try {
      values[static_cast<std::size_t>(k)] = ParseSingle(text);
    } catch (const RunError& error) {
      throw RunError(
          error.fault(),
          ExplainBoxFault(error.fault(), CoefficientBoxName(k), text, SingleRange()) + " The preset was not saved.",
          CoefficientControlName(k));
    }
  }
  return values;
}

}  // namespace

void LoadPresets(Session& session, PresetView& view) {
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
  std::vector<std::string> names;
  for (const PresetRecord& record : records) {
    session.presetTable.at(names.size()) = record.values;
    names.push_back(record.name);
  }
  view.ListPresets(names);
  ShowRow(session, view, 0);
  if (passedOver) {
    throw RunError(passedOver->fault(), passedOver->detail() + "; the built-in presets are listed instead");
  }
}

void ShowPickedPreset(Session& session, PresetView& view) {
  const int row = view.PickedPreset();
  if (row < 0 || row >= PresetRows) return;
  view.ShowPresetName(row);
  ShowRow(session, view, row);
}

void SavePreset(Session& session, PresetView& view) {
  PresetRecord record;
  record.name = view.PresetName();
  CheckPresetName(record.name);
  record.values = BoxValues(view);

  AppendPreset(PresetFileName, record, BuiltinRecords());
  LoadPresets(session, view);
}

}  // namespace rdsim
