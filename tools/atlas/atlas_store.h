#pragma once

#include <optional>
#include <string>
#include <vector>

#include "atlas/atlas_options.h"
#include "atlas/atlas_point.h"

namespace rdsim::atlas {

// An atlas directory: "atlas-run.txt" (the flags that fix the results, and
// the shard), "points/<index>.txt" and "points/<index>.raw" per point run (the
// merge data), and "atlas.csv" and "atlas.png" once all points are there.

// Creates DIR and DIR/points and proves DIR writable; ArgumentError naming
// `argument` otherwise.
void PrepareDirectory(const std::string& dir, const std::string& argument);
// Removes the points of an earlier run from DIR/points, so that a merge
// never mixes them with this run's.
void ClearPoints(const std::string& dir);

void WriteRunDescription(const std::string& dir, const RunOptions& options);
RunOptions ReadRunDescription(const std::string& dir);

std::string CsvHeader(const RunOptions& options);
std::string CsvRow(const RunOptions& options, std::size_t point, const PointResult& result);

// A point as stored: its class, its CSV row and its newest field (the bytes
// of rdsim-batch --out).
struct StoredPoint {
  PatternClass pattern = PatternClass::Fault;
  std::string row;
  std::vector<float> field;
};

void WritePoint(const std::string& dir, std::size_t point, const std::string& row, const PointResult& result);
// None when the point is not stored in `dir`; std::runtime_error when it is
// there but unreadable.
std::optional<StoredPoint> ReadPoint(const std::string& dir, std::size_t point, std::size_t fieldValues);
bool HasPoint(const std::string& dir, std::size_t point);
std::string RawPointPath(const std::string& dir, std::size_t point);

// Written under a temporary name and renamed, so that no reader sees half a
// file; std::runtime_error on failure.
void WriteWhole(const std::string& path, const std::string& bytes);

}  // namespace rdsim::atlas
