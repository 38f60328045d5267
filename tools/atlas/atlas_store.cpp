#include "atlas/atlas_store.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/run_error.h"
#include "files/file_access.h"
#include "files/raw_field.h"

namespace rdsim::atlas {

namespace fs = std::filesystem;

namespace {

std::string PointStem(const std::string& dir, std::size_t point) {
  char name[32];
  std::snprintf(name, sizeof name, "%06zu", point);
  return dir + "/points/" + name;
}

// Locale-independent, shortest text that keeps six significant digits.
std::string Number(double value) {
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
  return error == std::errc() ? std::string(text, end) : std::string("nan");
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot open \"" + path + "\"");
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

void WriteWhole(const std::string& path, const std::string& bytes) {
  try {
    rdsim::WriteFileWhole(path, bytes);
  } catch (const RunError& error) {
    throw std::runtime_error(error.detail());
  }
}

void PrepareDirectory(const std::string& dir, const std::string& argument) {
  std::error_code error;
  fs::create_directories(dir + "/points", error);
  if (error) throw ArgumentError(argument, "cannot create \"" + dir + "/points\": " + error.message());
  try {
    WriteWhole(dir + "/.writable", "");
  } catch (const std::runtime_error& failure) {
    throw ArgumentError(argument, failure.what());
  }
  fs::remove(dir + "/.writable", error);
}

void ClearPoints(const std::string& dir) {
  std::error_code error;
  fs::remove_all(dir + "/points", error);
  if (!error) fs::create_directories(dir + "/points", error);
  if (error) throw std::runtime_error("cannot empty \"" + dir + "/points\": " + error.message());
}

void WriteRunDescription(const std::string& dir, const RunOptions& options) {
  WriteWhole(dir + "/atlas-run.txt", DescribeRun(options) + "--shard " + std::to_string(options.shard.index) +
                                                  "/" + std::to_string(options.shard.count) + "\n");
}

RunOptions ReadRunDescription(const std::string& dir) {
  std::string text;
  try {
    text = ReadWholeFile(dir + "/atlas-run.txt");
  } catch (const std::runtime_error& error) {
    throw ArgumentError(dir, std::string(error.what()) + " (not an atlas directory)");
  }
  return ParseRunDescription(text, dir);
}

std::string CsvHeader(const RunOptions& options) {
  return "point,k" + std::to_string(options.x.coefficient) + ",k" + std::to_string(options.y.coefficient) +
         ",status,mean,sd,above_half,regions,change,spottiness,class\n";
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
  return row + ClassName(result.pattern) + "\n";
}

std::string RawPointPath(const std::string& dir, std::size_t point) { return PointStem(dir, point) + ".raw"; }

void WritePoint(const std::string& dir, std::size_t point, const std::string& row, const PointResult& result) {
  const std::string stem = PointStem(dir, point);
  WriteRawFloats(stem + ".raw", result.field);
  // The text last: a point counts as stored once it is there.
  WriteWhole(stem + ".txt", std::string(ClassName(result.pattern)) + "\n" + row);
}

bool HasPoint(const std::string& dir, std::size_t point) { return fs::exists(PointStem(dir, point) + ".txt"); }

std::optional<StoredPoint> ReadPoint(const std::string& dir, std::size_t point, std::size_t fieldValues) {
  if (!HasPoint(dir, point)) return std::nullopt;
  const std::string stem = PointStem(dir, point);
  const std::string text = ReadWholeFile(stem + ".txt");
  const auto newline = text.find('\n');
  if (newline == std::string::npos) throw std::runtime_error("\"" + stem + ".txt\" is damaged");
  StoredPoint stored;
  const std::string name = text.substr(0, newline);
  bool known = false;
  for (PatternClass p :
       {PatternClass::Uniform, PatternClass::Spots, PatternClass::Stripes, PatternClass::Moving, PatternClass::Fault}) {
    if (name == ClassName(p)) stored.pattern = p, known = true;
  }
  if (!known) throw std::runtime_error("\"" + stem + ".txt\" names no class");
  stored.row = text.substr(newline + 1);
  stored.field = ReadRawFloats(stem + ".raw", fieldValues);
  return stored;
}

}  // namespace rdsim::atlas
