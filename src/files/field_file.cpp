#include "files/field_file.h"

#include <fcntl.h>
#include <hdf5.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

#include "core/message_text.h"
#include "core/run_error.h"
#include "files/field_answer.h"
#include "files/field_reader_process.h"
#include "files/file_access.h"
#include "files/file_name.h"
#include "files/hdf5_handle.h"

namespace rdsim {

namespace {

using Handle = Hdf5Handle;

// The library would print its error stack on stderr; the messages here say
// what is wrong instead.
void Quiet() { H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr); }

[[noreturn]] void Bad(const std::string& path, const std::string& reason) {
  throw RunError(Fault::FileAccess, "cannot open " + Echoed(path) + ": " + reason);
}

[[noreturn]] void CannotWrite(const std::string& what) {
  throw RunError(Fault::FileAccess, "cannot make the field file: " + what);
}

const char* ModeText(Mode mode) { return mode == Mode::TwoD ? "2d" : "1d"; }

void WriteStrings(hid_t file, const char* name, const std::vector<const char*>& texts, bool scalar) {
  const Handle type = VariableStringType();
  const hsize_t count = texts.size();
  const Handle space(scalar ? H5Screate(H5S_SCALAR) : H5Screate_simple(1, &count, nullptr), H5Sclose);
  const Handle attribute(H5Acreate2(file, name, type.get(), space.get(), H5P_DEFAULT, H5P_DEFAULT), H5Aclose);
  if (!attribute.ok() || H5Awrite(attribute.get(), type.get(), texts.data()) < 0) CannotWrite(name);
}

void WriteInteger(hid_t file, const char* name, std::int64_t value) {
  const Handle space(H5Screate(H5S_SCALAR), H5Sclose);
  const Handle attribute(H5Acreate2(file, name, H5T_STD_I64LE, space.get(), H5P_DEFAULT, H5P_DEFAULT), H5Aclose);
  if (!attribute.ok() || H5Awrite(attribute.get(), H5T_NATIVE_INT64, &value) < 0) CannotWrite(name);
}

void WriteDataset(hid_t file, const char* name, const FieldFile& field, const std::vector<float>& values) {
  const auto n = static_cast<hsize_t>(field.n);
  const hsize_t dims[2] = {n, n};
  const Handle space(H5Screate_simple(field.mode == Mode::TwoD ? 2 : 1, dims, nullptr), H5Sclose);
  // No modification times: the same field makes the same file.
  const Handle properties(H5Pcreate(H5P_DATASET_CREATE), H5Pclose);
  H5Pset_obj_track_times(properties.get(), false);
  const Handle dataset(H5Dcreate2(file, name, H5T_IEEE_F32LE, space.get(), H5P_DEFAULT, properties.get(), H5P_DEFAULT),
                       H5Dclose);
  if (!dataset.ok() || H5Dwrite(dataset.get(), H5T_NATIVE_FLOAT, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data()) < 0) {
    CannotWrite(name);
  }
}

std::size_t CellCount(Mode mode, int n) {
  const auto cells = static_cast<std::size_t>(n);
  return mode == Mode::TwoD ? cells * cells : cells;
}

// The open file, checked to be a regular file of a field file's size; a FIFO
// or a device is refused without waiting on it.
int OpenChecked(const std::string& path) {
  const std::optional<std::uintmax_t> size = InputFileSize(path);
  if (!size) Bad(path, "there is no such file");
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) Bad(path, std::strerror(errno));
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    Bad(path, "it is not a regular file");
  }
  if (static_cast<std::uintmax_t>(st.st_size) > FieldFileMaxBytes) {
    ::close(fd);
    Bad(path, "it holds " + std::to_string(st.st_size) + " bytes, more than the " + std::to_string(FieldFileMaxBytes) +
                  " allowed");
  }
  return fd;
}

}  // namespace

bool IsFieldFileName(const std::string& path) { return HasExtension(path, ".h5"); }

std::string EncodeFieldFile(const FieldFile& field) {
  Quiet();
  const std::size_t cells = CellCount(field.mode, field.n);
  if (field.mode == Mode::None || field.n < 1 || field.u.size() != cells || field.v.size() != cells) {
    CannotWrite("the field does not fit its mode and size");
  }
  // In memory: the bytes go out through the whole-or-nothing writer.
  const Handle access(H5Pcreate(H5P_FILE_ACCESS), H5Pclose);
  H5Pset_fapl_core(access.get(), 64 * 1024, false);
  const Handle file(H5Fcreate("field.h5", H5F_ACC_TRUNC, H5P_DEFAULT, access.get()), H5Fclose);
  if (!file.ok()) CannotWrite("HDF5 refused to start it");
  WriteDataset(file.get(), "u", field, field.u);
  WriteDataset(file.get(), "v", field, field.v);
  WriteStrings(file.get(), "mode", {ModeText(field.mode)}, true);
  std::vector<const char*> texts;
  for (const std::string& text : field.coefficients) texts.push_back(text.c_str());
  WriteStrings(file.get(), "coefficients", texts, false);
  WriteInteger(file.get(), "steps", field.steps);
  WriteInteger(file.get(), "format_version", FieldFormatVersion);
  if (H5Fflush(file.get(), H5F_SCOPE_GLOBAL) < 0) CannotWrite("HDF5 could not finish it");
  const ssize_t size = H5Fget_file_image(file.get(), nullptr, 0);
  if (size <= 0) CannotWrite("HDF5 gave no image of it");
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (H5Fget_file_image(file.get(), bytes.data(), bytes.size()) != size) CannotWrite("HDF5 gave no image of it");
  return bytes;
}

void WriteFieldFile(const std::string& path, const FieldFile& field) { WriteFileWhole(path, EncodeFieldFile(field)); }

FieldFile ReadFieldFile(const std::string& path) {
  std::string answer;
  {
    const int fd = OpenChecked(path);
    const std::unique_ptr<const int, void (*)(const int*)> closing(&fd, [](const int* open) { ::close(*open); });
    try {
      answer = RunFieldReader(fd);
    } catch (const RunError& error) {
      Bad(path, error.detail());
    }
  }
  try {
    return DecodeFieldAnswer(answer);
  } catch (const RunError& error) {
    Bad(path, error.detail());
  }
}

}  // namespace rdsim
