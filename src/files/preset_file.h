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
// Far above 51 records of any sensible name; a larger file is refused unread.
inline constexpr std::size_t PresetFileMaxBytes = 1 << 20;

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
// UTF-8 is taken byte for byte as Latin-1. A UTF-8 byte-order mark at the
// start is skipped.
PresetFileContent ParsePresetFile(std::string_view text, std::size_t limit = PresetRows);

// One record as the file holds it: the quoted name, the eleven numbers, CR LF.
std::string FormatPresetRecord(const PresetRecord& record);

// A name the file format can carry: not empty, no double quote, no line break,
// no NUL. Raises InvalidName saying why.
void CheckPresetName(std::string_view name);

// The whole file, or nothing when it does not exist. Raises FileAccess, naming
// the file, when it is not a regular file, is larger than PresetFileMaxBytes
// or cannot be read.
std::optional<std::string> ReadPresetFile(const std::string& path);

// Appends `bytes` under an advisory lock on the file, creating it: the old
// content and the new bytes go to a temporary that replaces the file when
// whole, so the file never holds half a record. Raises FileAccess naming the
// file.
void AppendWhole(const std::string& path, const std::string& bytes);

// Appends one record under the lock. A file without a whole record (missing,
// empty, or none that reads) gets `firstRecords` before it, as a missing file
// lists them. A file that already holds PresetRows records is left alone and
// SubscriptOutOfRange raised.
void AppendPreset(const std::string& path, const PresetRecord& record, const std::vector<PresetRecord>& firstRecords);

}  // namespace rdsim
