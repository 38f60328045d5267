#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/coefficients.h"
#include "core/simulation.h"

namespace rdsim {

// A field file (HDF5, ".h5"): the datasets "u" and "v", float32, shape (N,)
// on a line or (N, N) on a square with row 0 the picture's top row, the
// values as the buffers hold them; the attributes "mode" ("1d" or "2d"),
// "coefficients" (the eleven box texts), "steps" (int64, the steps run on the
// field so far) and "format_version" (1). Python reads the activator with
// h5py.File(path)["u"][()].
struct FieldFile {
  Mode mode = Mode::None;
  int n = 0;
  std::vector<float> u, v;  // n cells each on a line, n * n on a square
  CoefficientTexts coefficients;
  std::int64_t steps = 0;
};

inline constexpr std::int64_t FieldFormatVersion = 1;
// Two 128 x 128 float32 datasets take 128 KiB; the rest is HDF5's own.
inline constexpr std::uintmax_t FieldFileMaxBytes = 16u << 20;

// Whether `path` ends in ".h5", case ignored.
bool IsFieldFileName(const std::string& path);

// The bytes of the HDF5 file; the same field gives the same bytes.
std::string EncodeFieldFile(const FieldFile& field);

// Written whole through a temporary beside `path`, or not at all.
void WriteFieldFile(const std::string& path, const FieldFile& field);

// Reads and checks the whole file. A file that is no field file of this
// program (not HDF5, a dataset missing or misshapen, N outside 2..128, a
// value that is NaN, infinite or negative, a coefficient that is no number,
// an unknown format_version) raises RunError (File access error) naming the
// file and what is wrong.
FieldFile ReadFieldFile(const std::string& path);

}  // namespace rdsim
