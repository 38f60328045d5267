#include "files/preset_file.h"
#include "core/message_text.h"

#include "core/number_text.h"
#include "core/run_error.h"
#include "files/file_access.h"

namespace rdsim {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8CharacterBytes(text.substr(i));
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string Latin1ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

// Names from before the file was UTF-8 were written in an 8-bit code page.
std::string NameText(std::string_view raw) { return IsUtf8(raw) ? std::string(raw) : Latin1ToUtf8(raw); }

// One line as a whole record, or nothing.
std::optional<PresetRecord> ParseRecord(std::string_view line) {
  if (line.find('\0') != std::string_view::npos) return std::nullopt;
  std::size_t pos = 0;
  while (pos < line.size() && IsBlank(line[pos])) ++pos;

  std::string_view name;
  if (pos < line.size() && line[pos] == '"') {
    const std::size_t close = line.find('"', pos + 1);
    if (close == std::string_view::npos) return std::nullopt;
    name = line.substr(pos + 1, close - pos - 1);
    pos = close + 1;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != ',') return std::nullopt;
  } else {
    const std::size_t comma = line.find(',', pos);
    if (comma == std::string_view::npos) return std::nullopt;
    name = line.substr(pos, comma - pos);
    while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
    pos = comma;
  }

  PresetRecord record;
  record.name = NameText(name);
  for (std::size_t k = 0; k < record.values.size(); ++k) {
    if (pos >= line.size()) return std::nullopt;  // short
    const std::size_t begin = pos + 1;            // past the comma
    std::size_t end = line.find(',', begin);
    if (end == std::string_view::npos) end = line.size();
    try {
      record.values[k] = ParseSingle(line.substr(begin, end - begin));
    } catch (const RunError&) {
      return std::nullopt;
    }
    pos = end;
  }
  if (pos != line.size()) return std::nullopt;  // more fields than a record has
  return record;
}

bool IsBlankLine(std::string_view line) {
  for (const char c : line) {
    if (!IsBlank(c)) return false;
  }
  return true;
}

std::string Quoted(const std::string& path) { return Echoed(path); }

}  // namespace

PresetFileContent ParsePresetFile(std::string_view text, std::size_t limit) {
  // Editors that save UTF-8 may put a byte-order mark in front.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  PresetFileContent content;
  content.endsWithLineEnd = text.empty() || text.back() == '\n' || text.back() == '\r';
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find_first_of("\r\n", begin);
    std::size_t next;
    if (end == std::string_view::npos) {
      end = next = text.size();
    } else {
      next = end + 1;
      if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
    }
    const std::string_view line = text.substr(begin, end - begin);
    begin = next;
    if (IsBlankLine(line)) continue;
    std::optional<PresetRecord> record = ParseRecord(line);
    if (!record) continue;
    ++content.wholeRecords;
    if (content.records.size() < limit) content.records.push_back(std::move(*record));
  }
  return content;
}

std::string FormatPresetRecord(const PresetRecord& record) {
  std::string line = "\"" + record.name + "\"";
  for (const float value : record.values) line += "," + FormatSingle(value);
  line += "\r\n";
  return line;
}

void CheckPresetName(std::string_view name) {
  if (name.empty()) {
    throw RunError(Fault::InvalidName, "type a name for the preset into the list box first; nothing was saved");
  }
  if (name.find('"') != std::string_view::npos) {
    throw RunError(Fault::InvalidName, "a preset name cannot hold a double quote (\"); nothing was saved");
  }
  if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
    throw RunError(Fault::InvalidName, "a preset name cannot hold a line break; nothing was saved");
  }
}

std::optional<std::string> ReadPresetFile(const std::string& path) { return ReadInputFile(path, PresetFileMaxBytes); }

void AppendWhole(const std::string& path, const std::string& bytes) {
  LockedFile file(path, PresetFileMaxBytes);
  file.Replace(file.Content() + bytes);
}

void AppendPreset(const std::string& path, const PresetRecord& record, const std::vector<PresetRecord>& firstRecords) {
  try {
    // One lock from the count to the rename: two windows saving at once append
    // one after the other, and only the first writes the first records.
    LockedFile file(path, PresetFileMaxBytes);
    const PresetFileContent content = ParsePresetFile(file.Content());
    std::string bytes = file.Content();
    if (!content.endsWithLineEnd) bytes += "\r\n";
    std::size_t records = content.wholeRecords;
    if (records == 0) {
      for (const PresetRecord& first : firstRecords) bytes += FormatPresetRecord(first);
      records = firstRecords.size();
    }
    if (records >= static_cast<std::size_t>(PresetRows)) {
      throw RunError(Fault::SubscriptOutOfRange, "the list shows at most " + std::to_string(PresetRows) +
                                                     " presets, and " + Quoted(path) + " already holds that many");
    }
    bytes += FormatPresetRecord(record);
    file.Replace(bytes);
  } catch (const RunError& error) {
    throw RunError(error.fault(), error.detail() + "; nothing was saved");
  }
}

}  // namespace rdsim
