#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/coefficients.h"
#include "core/constants.h"

namespace rdsim {

inline constexpr const char* PresetFileName = "Parameter.txt";
// Rows of the preset table, and so the most entries the list can hold.
inline constexpr int PresetRows = 51;

using PresetValues = std::array<float, CoefficientCount>;  // k0..k10
using PresetTable = std::array<PresetValues, PresetRows>;

struct PresetRecord {
  std::string name;  // UTF-8
  PresetValues values{};
};

struct PresetFileContent {
  std::vector<PresetRecord> records;  // the first `limit` whole records, in file order
  std::size_t wholeRecords = 0;       // every whole record in the file, past the limit too
  bool endsWithLineEnd = true;        // false when the last line lacks its line end
};

// Reads the records of a preset file. Lenient as sequential input is: blanks
// before a field, a name without quotes (to the next comma or line end), any
// spelling of a number, CR LF, LF or CR line ends. A line that is not one whole
// record (short, long, a field that is not a number or is out of the single
// range, a NUL byte) is skipped, as are blank lines. A name that is not valid
// UTF-8 is taken byte for byte as Latin-1.
PresetFileContent ParsePresetFile(std::string_view text, std::size_t limit = PresetRows);

// One record as the file holds it: the quoted name, the eleven numbers, CR LF.
std::string FormatPresetRecord(const PresetRecord& record);

// A name the file format can carry: not empty, no double quote, no line break,
// no NUL. Raises InvalidName saying why.
void CheckPresetName(std::string_view name);

// The whole file, or nothing when it does not exist. Raises FileAccess, naming
// the file, when it exists but cannot be read.
std::optional<std::string> ReadPresetFile(const std::string& path);

// Appends `bytes` in one write, creating the file. When the write fails the
// file is brought back to its old length (or removed, if it was new), so no
// half record is left, and FileAccess is raised naming the file.
void AppendWhole(const std::string& path, const std::string& bytes);

}  // namespace rdsim
