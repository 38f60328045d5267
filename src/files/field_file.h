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

// Reading a field file never takes longer nor more memory than this: a file
// that would is refused.
inline constexpr int FieldReadSeconds = 2;
inline constexpr std::uintmax_t FieldReadMemoryBytes = 256u << 20;

// Whether `path` ends in ".h5", case ignored.
bool IsFieldFileName(const std::string& path);

// The bytes of the HDF5 file; the same field gives the same bytes.
std::string EncodeFieldFile(const FieldFile& field);

// Written whole through a temporary beside `path`, or not at all.
void WriteFieldFile(const std::string& path, const FieldFile& field);

// Reads and checks the whole file. A file that is no field file of this
// program (not a regular file of at most FieldFileMaxBytes, not HDF5, a
// dataset missing or misshapen, N outside 2..128, a value that is NaN,
// infinite or negative, a coefficient that is no number, an unknown
// format_version, u or v kept outside the file or compressed beyond a field's
// size) raises RunError (File access error) naming the file and what is wrong.
//
// The HDF5 library reads it in a program of its own (rdsim-field-reader),
// limited in memory and time, so that a damaged file that makes the library
// crash or hang costs that program, never the caller.
FieldFile ReadFieldFile(const std::string& path);

// For a program that embeds the reading (a Python module, a test from
// another folder): the reader program to start instead of the one found
// beside the program or in the installed libexec folder. Empty: look again.
void SetFieldReaderProgram(const std::string& path);

}  // namespace rdsim
