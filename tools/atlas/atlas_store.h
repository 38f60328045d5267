#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "atlas/atlas_options.h"
#include "atlas/atlas_point.h"

namespace rdsim::atlas {

// An atlas directory: "atlas-run.txt" (the flags that fix the results, the
// shard and the steps computed), "atlas.lock" (held by the run or merge that
// writes the directory), "points/<index>.txt" and "points/<index>.raw" per
// point run (the merge data), and "atlas.csv" and "atlas.png" once all points
// are there. Every file is written under a temporary name and renamed when
// whole; every file is read only when it is a regular file of a plausible size.

// Creates DIR and DIR/points and proves DIR writable; ArgumentError naming
// `argument` otherwise.
void PrepareDirectory(const std::string& dir, const std::string& argument);
// Removes the point files of an earlier run from DIR/points, so that a merge
// never mixes them with this run's.
void ClearPoints(const std::string& dir);
// Removes atlas.csv, atlas.png and what killed writers left half written, so
// that nothing in DIR describes another sweep or another run's result.
void RemoveResults(const std::string& dir);

// An exclusive lock on DIR/atlas.lock for as long as the object lives: a second
// run or merge into DIR is refused with ArgumentError naming `argument` and
// DIR. Creates DIR when missing.
class FolderLock {
 public:
  FolderLock(const std::string& dir, const std::string& argument);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_ = -1;
};

// A shared lock on DIR/atlas.lock when DIR has one, so that a merge never
// reads a shard that a run is writing; ArgumentError naming DIR otherwise.
class ReadLock {
 public:
  explicit ReadLock(const std::string& dir);
  ~ReadLock();
  ReadLock(const ReadLock&) = delete;
  ReadLock& operator=(const ReadLock&) = delete;

 private:
  int fd_ = -1;
};

// The steps the points of a directory took against the steps asked of them.
struct StepCount {
  std::int64_t computed = 0, requested = 0;
};

void WriteRunDescription(const std::string& dir, const RunOptions& options,
                         std::optional<StepCount> steps = std::nullopt);
bool HasRunDescription(const std::string& dir);
// ArgumentError naming DIR when it holds no readable description.
RunOptions ReadRunDescription(const std::string& dir);

std::string CsvHeader(const RunOptions& options);
std::string CsvRow(const RunOptions& options, std::size_t point, const PointResult& result);

// A point as stored: its class, its CSV row, the steps it took and its newest
// field (the bytes of rdsim-batch --out).
struct StoredPoint {
  PatternClass pattern = PatternClass::Fault;
  std::string row;
  std::string predicted;  // the row's verdict of the linear stability analysis
  std::vector<float> field;
  std::int64_t steps = 0;
};

void WritePoint(const std::string& dir, std::size_t point, const std::string& row, const PointResult& result);
// None when the point is not stored in `dir`; std::runtime_error saying what
// is wrong when it is there but damaged: not a regular file, the wrong size,
// a field or record that does not match its checksum.
std::optional<StoredPoint> ReadPoint(const std::string& dir, std::size_t point, std::size_t fieldValues);
// ReadPoint, and the row must be this sweep's row of the point.
std::optional<StoredPoint> ReadSweepPoint(const std::string& dir, const RunOptions& options, std::size_t point,
                                          std::size_t fieldValues);
bool HasPoint(const std::string& dir, std::size_t point);
std::string RawPointPath(const std::string& dir, std::size_t point);

// The whole points of `options`'s shard in DIR, in order; removes every other
// point file of DIR/points (damaged points, other points, half-written files).
std::vector<std::size_t> KeepWholePoints(const std::string& dir, const RunOptions& options, std::size_t fieldValues,
                                         StepCount& steps);

// FNV-1a, 64 bits: the checksum of a point's field and record.
std::uint64_t Fnv1a64(const void* data, std::size_t size);

// The bytes of a file that must be a regular file of at most `maxBytes`;
// std::runtime_error naming the file otherwise. Never waits on a FIFO.
std::string ReadCheckedFile(const std::string& path, std::size_t maxBytes);

}  // namespace rdsim::atlas
