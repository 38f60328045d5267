#include "files/field_file.h"

#include <hdf5.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

#include "core/constants.h"
#include "core/number_text.h"
#include "core/run_error.h"
#include "files/file_access.h"
#include "files/file_name.h"

namespace rdsim {

namespace {

// Closes an HDF5 identifier at the end of its scope.
class Handle {
 public:
  Handle(hid_t id, herr_t (*close)(hid_t)) : id_(id), close_(close) {}
  Handle(Handle&& other) noexcept : id_(std::exchange(other.id_, -1)), close_(other.close_) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (id_ >= 0) close_(id_);
  }
  hid_t get() const { return id_; }
  bool ok() const { return id_ >= 0; }

 private:
  hid_t id_;
  herr_t (*close_)(hid_t);
};

// The library would print its error stack on stderr; the messages here say
// what is wrong instead.
void Quiet() { H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr); }

[[noreturn]] void Bad(const std::string& path, const std::string& reason) {
  throw RunError(Fault::FileAccess, "cannot open \"" + path + "\": " + reason);
}

[[noreturn]] void CannotWrite(const std::string& what) {
  throw RunError(Fault::FileAccess, "cannot make the field file: " + what);
}

const char* ModeText(Mode mode) { return mode == Mode::TwoD ? "2d" : "1d"; }

Handle VariableString() {
  Handle type(H5Tcopy(H5T_C_S1), H5Tclose);
  H5Tset_size(type.get(), H5T_VARIABLE);
  H5Tset_cset(type.get(), H5T_CSET_UTF8);
  return Handle(H5Tcopy(type.get()), H5Tclose);
}

void WriteStrings(hid_t file, const char* name, const std::vector<const char*>& texts, bool scalar) {
  const Handle type = VariableString();
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

// HDF5's signature sits at 0, 512, 1024, ... (after a user block).
bool HasSignature(const std::string& bytes) {
  static const char Signature[] = "\x89HDF\r\n\x1a\n";
  for (std::size_t at = 0; at + 8 <= bytes.size(); at = at == 0 ? 512 : at * 2) {
    if (std::memcmp(bytes.data() + at, Signature, 8) == 0) return true;
  }
  return false;
}

class Reader {
 public:
  Reader(const std::string& path, hid_t file) : path_(path), file_(file) {}

  std::int64_t Integer(const char* name) {
    const Handle attribute = Attribute(name);
    const Handle type(H5Aget_type(attribute.get()), H5Tclose);
    if (H5Tget_class(type.get()) != H5T_INTEGER || Count(attribute) != 1) {
      Bad(path_, std::string("the attribute \"") + name + "\" is not one whole number");
    }
    std::int64_t value = 0;
    if (H5Aread(attribute.get(), H5T_NATIVE_INT64, &value) < 0) Unreadable(name);
    return value;
  }

  std::vector<std::string> Strings(const char* name) {
    const Handle attribute = Attribute(name);
    const Handle type(H5Aget_type(attribute.get()), H5Tclose);
    if (H5Tget_class(type.get()) != H5T_STRING) Bad(path_, std::string("the attribute \"") + name + "\" is not text");
    const std::size_t count = Count(attribute);
    std::vector<std::string> texts;
    if (H5Tis_variable_str(type.get()) > 0) {
      const Handle memory = VariableString();
      std::vector<char*> pointers(count, nullptr);
      if (H5Aread(attribute.get(), memory.get(), pointers.data()) < 0) Unreadable(name);
      for (char* p : pointers) texts.emplace_back(p ? p : "");
      const Handle space(H5Aget_space(attribute.get()), H5Sclose);
      H5Dvlen_reclaim(memory.get(), space.get(), H5P_DEFAULT, pointers.data());
    } else {
      const std::size_t size = H5Tget_size(type.get());
      if (size == 0 || size > 4096) Unreadable(name);
      const Handle memory(H5Tcopy(H5T_C_S1), H5Tclose);
      H5Tset_size(memory.get(), size);
      std::vector<char> chars(size * count);
      if (H5Aread(attribute.get(), memory.get(), chars.data()) < 0) Unreadable(name);
      for (std::size_t i = 0; i < count; ++i) {
        const char* start = chars.data() + i * size;
        texts.emplace_back(start, strnlen(start, size));
      }
    }
    return texts;
  }

  // Rank and sides of a dataset of floating-point numbers.
  std::vector<hsize_t> Shape(const char* name) {
    const Handle dataset = Dataset(name);
    const Handle type(H5Dget_type(dataset.get()), H5Tclose);
    if (H5Tget_class(type.get()) != H5T_FLOAT) {
      Bad(path_, std::string("the dataset \"") + name + "\" does not hold floating-point numbers");
    }
    const Handle space(H5Dget_space(dataset.get()), H5Sclose);
    const int rank = H5Sget_simple_extent_ndims(space.get());
    if (rank < 0 || rank > 8) Bad(path_, std::string("the dataset \"") + name + "\" has no simple shape");
    std::vector<hsize_t> dims(static_cast<std::size_t>(rank));
    H5Sget_simple_extent_dims(space.get(), dims.data(), nullptr);
    return dims;
  }

  // Each value checked: a field holds no NaN, no infinity, nothing negative.
  std::vector<float> Values(const char* name, Mode mode, int n) {
    const Handle dataset = Dataset(name);
    std::vector<double> wide(CellCount(mode, n));
    if (H5Dread(dataset.get(), H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, wide.data()) < 0) Unreadable(name);
    std::vector<float> values(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
      const double value = wide[i];
      const char* wrong = std::isnan(value)               ? "NaN (not a number)"
                          : std::isinf(value)             ? "an infinite value"
                          : value < 0                     ? "a negative value"
                          : value > 3.4028234663852886e38 ? "a value too large for single precision"
                                                          : nullptr;
      if (wrong) Bad(path_, std::string("the dataset \"") + name + "\" holds " + wrong + " at " + Cell(i, mode, n));
      values[i] = static_cast<float>(value);
    }
    return values;
  }

 private:
  static std::string Cell(std::size_t i, Mode mode, int n) {
    const auto side = static_cast<std::size_t>(n);
    if (mode == Mode::OneD) return "cell " + std::to_string(i);
    return "row " + std::to_string(i / side) + ", column " + std::to_string(i % side);
  }

  std::size_t Count(const Handle& attribute) {
    const Handle space(H5Aget_space(attribute.get()), H5Sclose);
    const hssize_t count = H5Sget_simple_extent_npoints(space.get());
    if (count < 0 || count > 4096) Bad(path_, "an attribute has an unreadable shape");
    return static_cast<std::size_t>(count);
  }

  Handle Attribute(const char* name) {
    if (H5Aexists(file_, name) <= 0) Bad(path_, std::string("the attribute \"") + name + "\" is missing");
    Handle attribute(H5Aopen(file_, name, H5P_DEFAULT), H5Aclose);
    if (!attribute.ok()) Unreadable(name);
    return attribute;
  }

  Handle Dataset(const char* name) {
    if (H5Lexists(file_, name, H5P_DEFAULT) <= 0) Bad(path_, std::string("the dataset \"") + name + "\" is missing");
    Handle dataset(H5Dopen2(file_, name, H5P_DEFAULT), H5Dclose);
    if (!dataset.ok()) Bad(path_, std::string("\"") + name + "\" is not a dataset");
    return dataset;
  }

  [[noreturn]] void Unreadable(const char* name) { Bad(path_, std::string("\"") + name + "\" cannot be read"); }

  const std::string& path_;
  hid_t file_;
};

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
  Quiet();
  const std::optional<std::string> bytes = ReadInputFile(path, FieldFileMaxBytes);
  if (!bytes) Bad(path, "there is no such file");
  if (!HasSignature(*bytes)) Bad(path, "it is not an HDF5 file");
  const Handle access(H5Pcreate(H5P_FILE_ACCESS), H5Pclose);
  H5Pset_fapl_core(access.get(), 64 * 1024, false);
  if (H5Pset_file_image(access.get(), const_cast<char*>(bytes->data()), bytes->size()) < 0) {
    Bad(path, "it is too large to read");
  }
  const Handle file(H5Fopen("field.h5", H5F_ACC_RDONLY, access.get()), H5Fclose);
  if (!file.ok()) Bad(path, "it is not a readable HDF5 file");
  Reader reader(path, file.get());

  // The version first: a later layout may mean the rest differently.
  const std::int64_t version = reader.Integer("format_version");
  if (version != FieldFormatVersion) {
    Bad(path, "its format_version " + std::to_string(version) + " is unknown; this program reads version " +
                  std::to_string(FieldFormatVersion));
  }
  FieldFile field;
  const std::vector<std::string> mode = reader.Strings("mode");
  if (mode.size() != 1 || (mode[0] != "1d" && mode[0] != "2d")) Bad(path, "its mode is neither \"1d\" nor \"2d\"");
  field.mode = mode[0] == "2d" ? Mode::TwoD : Mode::OneD;

  const std::vector<hsize_t> shape = reader.Shape("u");
  const std::size_t rank = field.mode == Mode::TwoD ? 2 : 1;
  const std::string wanted = field.mode == Mode::TwoD ? "(N, N)" : "(N,)";
  if (shape.size() != rank || (rank == 2 && shape[0] != shape[1])) {
    Bad(path, "the dataset \"u\" of a " + mode[0] + " field must have the shape " + wanted);
  }
  if (reader.Shape("v") != shape) Bad(path, "the datasets \"u\" and \"v\" differ in shape");
  if (shape[0] < static_cast<hsize_t>(MinFieldSize) || shape[0] > static_cast<hsize_t>(MaxFieldSize)) {
    Bad(path, "its field size N = " + std::to_string(shape[0]) + " is outside " + std::to_string(MinFieldSize) +
                  " to " + std::to_string(MaxFieldSize));
  }
  field.n = static_cast<int>(shape[0]);

  const std::vector<std::string> texts = reader.Strings("coefficients");
  if (texts.size() != field.coefficients.size()) {
    Bad(path, "the attribute \"coefficients\" holds " + std::to_string(texts.size()) + " texts, not " +
                  std::to_string(field.coefficients.size()));
  }
  for (std::size_t k = 0; k < texts.size(); ++k) {
    bool number = texts[k].size() <= 64;
    try {
      if (number) ParseDouble(texts[k]);
    } catch (const RunError&) {
      number = false;
    }
    if (!number)
      Bad(path, "its coefficient k" + std::to_string(k) + " \"" + texts[k].substr(0, 64) + "\" is not a number");
    field.coefficients[k] = texts[k];
  }
  field.steps = reader.Integer("steps");
  if (field.steps < 0) Bad(path, "its step count " + std::to_string(field.steps) + " is negative");

  field.u = reader.Values("u", field.mode, field.n);
  field.v = reader.Values("v", field.mode, field.n);
  return field;
}

}  // namespace rdsim
