#include "atlas/atlas_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

#include "atlas/atlas_folder.h"
#include "core/message_text.h"
#include "core/run_error.h"
#include "files/file_access.h"
#include "files/raw_field.h"
#include "files/temporary_files.h"

namespace rdsim::atlas {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t MaxDescriptionBytes = 1 << 20;  // --params is one argument: at most 128 KiB
constexpr std::size_t MaxRecordBytes = 4096;
constexpr const char* LockName = "atlas.lock";
constexpr const char* StepsKey = "steps-computed";

std::string PointName(std::size_t point) {
  char name[32];
  std::snprintf(name, sizeof name, "%06zu", point);
  return name;
}

std::string PointStem(const std::string& dir, std::size_t point) { return dir + "/points/" + PointName(point); }

// Locale-independent, shortest text that keeps six significant digits.
std::string Number(double value) {
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
  return error == std::errc() ? std::string(text, end) : std::string("nan");
}

std::string Hex(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

bool Exists(const std::string& path) {
  std::error_code error;
  return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

void Write(const std::string& path, const std::string& bytes) {
  try {
    WriteFileWhole(path, bytes);
  } catch (const RunError& error) {
    throw std::runtime_error(error.detail());
  }
}

// "key value" lines of a point record, in this order.
const char* const RecordKeys[] = {"point", "class", "steps", "field", "row", "record"};

[[noreturn]] void Damaged(const std::string& path, const std::string& why) {
  throw std::runtime_error(Echoed(path) + " is damaged: " + why);
}

}  // namespace

std::uint64_t Fnv1a64(const void* data, std::size_t size) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001b3ull;
  return hash;
}

std::string ReadCheckedFile(const std::string& path, std::size_t maxBytes) {
  std::optional<std::string> bytes;
  try {
    bytes = ReadInputFile(path, maxBytes);
  } catch (const RunError& error) {
    throw std::runtime_error(error.detail());
  }
  if (!bytes) throw std::runtime_error("cannot read " + Echoed(path) + ": there is no such file");
  return *bytes;
}

void PrepareDirectory(const std::string& dir, const std::string& argument) {
  std::error_code error;
  fs::create_directories(dir + "/points", error);
  if (error) throw ArgumentError(argument, "cannot create \"" + dir + "/points\": " + error.message());
  try {
    WriteFileWhole(dir + "/.writable", "");
  } catch (const RunError& failure) {
    throw ArgumentError(argument, failure.detail());
  }
  fs::remove(dir + "/.writable", error);
}

void ClearPoints(const std::string& dir) { RemovePointFiles(dir); }

void RemoveResults(const std::string& dir) {
  std::error_code error;
  // The table first: a sheet without its table is never taken for a whole atlas.
  for (const char* name : {"atlas.csv", "atlas.png"}) {
    fs::remove(dir + "/" + name, error);
    if (error) throw std::runtime_error("cannot remove " + Echoed(dir + "/" + name) + ": " + error.message());
  }
  // Temporary files of writers that were killed before they could rename them.
  for (fs::directory_iterator entry(dir, error), end; !error && entry != end; entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    for (const char* target : {"atlas.csv", "atlas.png", "atlas-run.txt", ".writable", MarkerName}) {
      if (IsTemporaryOf(name, target)) fs::remove(entry->path(), error);
    }
  }
}

FolderLock::FolderLock(const std::string& dir, const std::string& argument) {
  std::error_code error;
  fs::create_directories(dir, error);
  if (error) throw ArgumentError(argument, "cannot create " + Echoed(dir) + ": " + error.message());
  const std::string path = dir + "/" + LockName;
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd_ < 0) throw ArgumentError(argument, "cannot open " + Echoed(path) + ": " + std::strerror(errno));
  struct stat status {};
  if (::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd_);
    throw ArgumentError(argument, Echoed(path) + " is not a regular file");
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    const int cause = errno;
    ::close(fd_);
    if (cause == EWOULDBLOCK) {
      throw ArgumentError(argument,
                          Echoed(dir) + " is in use by another rdsim-atlas (" + Shortened(path) + " is locked)");
    }
    throw ArgumentError(argument, "cannot lock " + Echoed(path) + ": " + std::strerror(cause));
  }
}

FolderLock::~FolderLock() { ::close(fd_); }

ReadLock::ReadLock(const std::string& dir) {
  const std::string path = dir + "/" + LockName;
  fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd_ < 0) return;  // never written by a run of this version, or read-only
  if (::flock(fd_, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    ::close(fd_);
    throw ArgumentError(dir, "is being written by a running rdsim-atlas (" + path + " is locked)");
  }
}

ReadLock::~ReadLock() {
  if (fd_ >= 0) ::close(fd_);
}

void WriteRunDescription(const std::string& dir, const RunOptions& options, std::optional<StepCount> steps) {
  std::string text = DescribeRun(options) + "--shard " + std::to_string(options.shard.index) + "/" +
                     std::to_string(options.shard.count) + "\n";
  if (steps) {
    text += std::string(StepsKey) + " " + std::to_string(steps->computed) + " of " + std::to_string(steps->requested) +
            "\n";
  }
  Write(dir + "/atlas-run.txt", text);
}

bool HasRunDescription(const std::string& dir) { return Exists(dir + "/atlas-run.txt"); }

RunOptions ReadRunDescription(const std::string& dir) {
  std::string text;
  try {
    text = ReadCheckedFile(dir + "/atlas-run.txt", MaxDescriptionBytes);
  } catch (const std::runtime_error& error) {
    throw ArgumentError(dir, std::string(error.what()) + " (not an atlas directory)");
  }
  return ParseRunDescription(text, dir);
}

std::string CsvHeader(const RunOptions& options) {
  return "point,k" + std::to_string(options.x.coefficient) + ",k" + std::to_string(options.y.coefficient) +
         ",status,mean,sd,above_half,regions,change,spottiness,class,predicted,predicted_wavelength,wavelength,"
         "period\n";
}

std::string CsvRow(const RunOptions& options, std::size_t point, const PointResult& result) {
  std::string row =
      std::to_string(point) + "," + options.XText(point) + "," + options.YText(point) + "," + result.status + ",";
  if (const auto& m = result.metrics) {
    row += Number(m->mean) + "," + Number(m->sd) + "," + Number(m->aboveHalf) + "," + std::to_string(m->regions) + "," +
           Number(m->change) + "," + (options.mode == Mode::TwoD ? Number(m->spottiness) : std::string()) +
           ",";  // a line has no stripes
  } else {
    row += ",,,,,,";
  }
  const auto optional = [](const std::optional<double>& value) { return value ? Number(*value) : std::string(); };
  return row + ClassName(result.pattern) + "," + result.predicted + "," + optional(result.predictedWavelength) + "," +
         optional(result.wavelength) + "," + optional(result.period) + "\n";
}

std::string RawPointPath(const std::string& dir, std::size_t point) { return PointStem(dir, point) + ".raw"; }

void WritePoint(const std::string& dir, std::size_t point, const std::string& row, const PointResult& result) {
  const std::string stem = PointStem(dir, point);
  const std::string raw = EncodeRawFloats(result.field);
  Write(stem + ".raw", raw);
  std::string record = "point " + std::to_string(point) + "\nclass " + ClassName(result.pattern) + "\nsteps " +
                       std::to_string(result.stepsComputed) + "\nfield " + std::to_string(raw.size()) + " " +
                       Hex(Fnv1a64(raw.data(), raw.size())) + "\nrow " + row;
  if (record.back() != '\n') record += '\n';
  record += "record " + Hex(Fnv1a64(record.data(), record.size())) + "\n";
  // The record last: a point counts as stored once it is there.
  Write(stem + ".txt", record);
}

bool HasPoint(const std::string& dir, std::size_t point) { return Exists(PointStem(dir, point) + ".txt"); }

std::optional<StoredPoint> ReadPoint(const std::string& dir, std::size_t point, std::size_t fieldValues) {
  if (!HasPoint(dir, point)) return std::nullopt;
  const std::string stem = PointStem(dir, point), txt = stem + ".txt", rawPath = stem + ".raw";
  const std::string text = ReadCheckedFile(txt, MaxRecordBytes);

  std::string values[std::size(RecordKeys)];
  std::size_t at = 0, recordEnd = 0;
  for (std::size_t k = 0; k < std::size(RecordKeys); ++k) {
    const auto newline = text.find('\n', at);
    const std::string key = std::string(RecordKeys[k]) + " ";
    if (newline == std::string::npos || text.compare(at, key.size(), key) != 0) {
      Damaged(txt, "no \"" + std::string(RecordKeys[k]) + "\" line where expected");
    }
    if (k + 1 == std::size(RecordKeys)) recordEnd = at;
    values[k] = text.substr(at + key.size(), newline - at - key.size());
    at = newline + 1;
  }
  if (at != text.size()) Damaged(txt, "text after the record line");
  if (values[5] != Hex(Fnv1a64(text.data(), recordEnd))) Damaged(txt, "the record does not match its checksum");
  if (values[0] != std::to_string(point)) Damaged(txt, "it holds point " + values[0]);

  StoredPoint stored;
  bool known = false;
  for (PatternClass p : AllPatternClasses) {
    if (values[1] == ClassName(p)) stored.pattern = p, known = true;
  }
  if (!known) Damaged(txt, "it names no class");
  const auto [end, error] = std::from_chars(values[2].data(), values[2].data() + values[2].size(), stored.steps);
  if (error != std::errc() || end != values[2].data() + values[2].size() || stored.steps < 0) {
    Damaged(txt, "no step count");
  }
  stored.row = values[4] + "\n";

  const std::size_t bytes = 4 * fieldValues;
  const auto space = values[3].find(' ');
  if (space == std::string::npos || values[3].substr(0, space) != std::to_string(bytes)) {
    Damaged(txt, "its field is not of " + std::to_string(bytes) + " bytes");
  }
  const std::string raw = ReadCheckedFile(rawPath, bytes);
  if (raw.size() != bytes) {
    throw std::runtime_error(Echoed(rawPath) + " holds " + std::to_string(raw.size()) + " bytes, expected " +
                             std::to_string(bytes));
  }
  if (values[3] != std::to_string(bytes) + " " + Hex(Fnv1a64(raw.data(), raw.size()))) {
    Damaged(rawPath, "the field does not match its checksum");
  }
  stored.field = DecodeRawFloats(raw);
  return stored;
}

std::optional<StoredPoint> ReadSweepPoint(const std::string& dir, const RunOptions& options, std::size_t point,
                                          std::size_t fieldValues) {
  std::optional<StoredPoint> stored = ReadPoint(dir, point, fieldValues);
  if (!stored) return stored;
  const std::string txt = PointStem(dir, point) + ".txt";
  const std::string start = std::to_string(point) + "," + options.XText(point) + "," + options.YText(point) + ",";
  if (stored->row.rfind(start, 0) != 0)
    Damaged(txt, "its row is not of k" + std::to_string(options.x.coefficient) + "=" + options.XText(point) + ", k" +
                     std::to_string(options.y.coefficient) + "=" + options.YText(point));
  // class, predicted, predicted_wavelength, wavelength, period end the row; a
  // row without them is of an older program, and its point runs again.
  std::size_t end = stored->row.size() - 1, comma = end;
  std::string tail[5];
  for (int i = 4; i >= 0; --i) {
    comma = end == 0 ? std::string::npos : stored->row.rfind(',', end - 1);
    if (comma == std::string::npos) Damaged(txt, "its row ends without class and prediction");
    tail[i] = stored->row.substr(comma + 1, end - comma - 1);
    end = comma;
  }
  if (tail[0] != ClassName(stored->pattern)) Damaged(txt, "its row and its class differ");
  stored->predicted = tail[1];
  if (stored->steps > options.steps) Damaged(txt, "more steps than the sweep asks for");
  return stored;
}

std::vector<std::size_t> KeepWholePoints(const std::string& dir, const RunOptions& options, std::size_t fieldValues,
                                         StepCount& steps) {
  std::vector<std::size_t> kept;
  std::set<std::string> keep;
  for (std::size_t p = 0; p < options.PointCount(); ++p) {
    if (!options.shard.Holds(p) || !HasPoint(dir, p)) continue;
    try {
      const std::optional<StoredPoint> stored = ReadSweepPoint(dir, options, p, fieldValues);
      kept.push_back(p);
      keep.insert(PointName(p) + ".txt");
      keep.insert(PointName(p) + ".raw");
      steps.computed += stored->steps;
      steps.requested += options.steps;
    } catch (const std::runtime_error&) {
      // Damaged: run again.
    }
  }
  RemovePointFiles(dir, keep);
  return kept;
}

}  // namespace rdsim::atlas
