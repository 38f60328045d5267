#include "files/field_file_parse.h"

#include <hdf5.h>

#include <cmath>
#include <cstring>

#include "core/constants.h"
#include "core/number_text.h"
#include "core/run_error.h"
#include "files/hdf5_handle.h"

namespace rdsim {

namespace {

using Handle = Hdf5Handle;

[[noreturn]] void Bad(const std::string& reason) { throw RunError(Fault::FileAccess, reason); }

std::string Quoted(const char* name) { return std::string("\"") + name + "\""; }

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

// Called before the library would open the file an external link names.
herr_t RefuseExternalLink(const char*, const char*, const char*, const char*, unsigned*, hid_t, void*) { return -1; }

class Reader {
 public:
  explicit Reader(hid_t file)
      : file_(file), links_(H5Pcreate(H5P_LINK_ACCESS), H5Pclose), access_(H5Pcreate(H5P_DATASET_ACCESS), H5Pclose) {
    // Each is refused by name before it is used; these keep any other way in
    // from reaching another file.
    H5Pset_elink_cb(links_.get(), RefuseExternalLink, nullptr);
    H5Pset_elink_cb(access_.get(), RefuseExternalLink, nullptr);
    H5Pset_efile_prefix(access_.get(), NoFolder);
    H5Pset_virtual_prefix(access_.get(), NoFolder);
  }

  std::int64_t Integer(const char* name) {
    const Handle attribute = Attribute(name);
    const Handle type(H5Aget_type(attribute.get()), H5Tclose);
    if (H5Tget_class(type.get()) != H5T_INTEGER || Count(attribute) != 1) {
      Bad("the attribute " + Quoted(name) + " is not one whole number");
    }
    std::int64_t value = 0;
    if (H5Aread(attribute.get(), H5T_NATIVE_INT64, &value) < 0) Unreadable(name);
    return value;
  }

  std::vector<std::string> Strings(const char* name) {
    const Handle attribute = Attribute(name);
    const Handle type(H5Aget_type(attribute.get()), H5Tclose);
    if (H5Tget_class(type.get()) != H5T_STRING) Bad("the attribute " + Quoted(name) + " is not text");
    const std::size_t count = Count(attribute);
    std::vector<std::string> texts;
    if (H5Tis_variable_str(type.get()) > 0) {
      const Handle memory = VariableStringType();
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
    if (H5Tget_class(type.get()) != H5T_FLOAT || H5Tget_size(type.get()) > 8) {
      Bad("the dataset " + Quoted(name) + " does not hold floating-point numbers");
    }
    const Handle space(H5Dget_space(dataset.get()), H5Sclose);
    const int rank = H5Sget_simple_extent_ndims(space.get());
    if (rank < 0 || rank > 8) Bad("the dataset " + Quoted(name) + " has no simple shape");
    std::vector<hsize_t> dims(static_cast<std::size_t>(rank));
    H5Sget_simple_extent_dims(space.get(), dims.data(), nullptr);
    return dims;
  }

  // Where and how the values of a dataset of this shape are kept, checked
  // before a byte of them is read.
  void CheckStorage(const char* name, const std::vector<hsize_t>& shape) {
    const Handle dataset = Dataset(name);
    const Handle creation(H5Dget_create_plist(dataset.get()), H5Pclose);
    const Handle type(H5Dget_type(dataset.get()), H5Tclose);
    const std::string what = "the dataset " + Quoted(name);
    if (!creation.ok() || !type.ok()) Unreadable(name);
    if (H5Pget_external_count(creation.get()) != 0) {
      char file[4096] = "";
      off_t offset = 0;
      hsize_t size = 0;
      H5Pget_external(creation.get(), 0, sizeof file, file, &offset, &size);
      std::string shown(file, strnlen(file, sizeof file));
      if (shown.size() > 64) shown = shown.substr(0, 61) + "...";
      Bad(what + " keeps its values in another file (\"" + shown + "\"); a field file must hold them itself");
    }
    std::vector<hsize_t> chunk;
    switch (H5Pget_layout(creation.get())) {
      case H5D_COMPACT:
      case H5D_CONTIGUOUS: break;
      case H5D_CHUNKED: chunk = CheckChunks(what, creation.get(), shape); break;
      case H5D_VIRTUAL: Bad(what + " is a virtual dataset made of other files' data; a field file must hold it itself");
      default: Bad(what + " has a storage layout this program does not read");
    }
    CheckFilters(what, creation.get());
    if (!chunk.empty()) CheckChunkSizes(what, dataset.get(), shape, chunk, H5Tget_size(type.get()));
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
      if (wrong) Bad("the dataset " + Quoted(name) + " holds " + wrong + " at " + Cell(i, mode, n));
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

  // The sides of a chunk, none larger than a field's.
  static std::vector<hsize_t> CheckChunks(const std::string& what, hid_t creation, const std::vector<hsize_t>& shape) {
    std::vector<hsize_t> chunk(shape.size());
    if (H5Pget_chunk(creation, static_cast<int>(chunk.size()), chunk.data()) != static_cast<int>(shape.size())) {
      Bad(what + " has chunks of another shape than its own");
    }
    for (const hsize_t side : chunk) {
      if (side == 0 || side > static_cast<hsize_t>(MaxFieldSize)) {
        Bad(what + " is stored in chunks of " + std::to_string(side) + " values a side, more than a field's " +
            std::to_string(MaxFieldSize));
      }
    }
    return chunk;
  }

  // Deflate and shuffle are what h5py and other writers use; any other filter
  // could be a plugin the library would load, and one twice is a bomb.
  static void CheckFilters(const std::string& what, hid_t creation) {
    const int count = H5Pget_nfilters(creation);
    bool deflate = false, shuffle = false;
    for (int i = 0; i < count; ++i) {
      unsigned flags = 0, config = 0;
      std::size_t values = 0;
      char filterName[64] = "";
      const H5Z_filter_t filter = H5Pget_filter2(creation, static_cast<unsigned>(i), &flags, &values, nullptr,
                                                 sizeof filterName, filterName, &config);
      bool& seen = filter == H5Z_FILTER_DEFLATE ? deflate : shuffle;
      if (filter != H5Z_FILTER_DEFLATE && filter != H5Z_FILTER_SHUFFLE) {
        const std::string known = strnlen(filterName, sizeof filterName) < sizeof filterName ? filterName : "";
        Bad(what + " is stored through filter " + std::to_string(filter) + (known.empty() ? "" : " (" + known + ")") +
            "; this program reads deflate and shuffle only");
      }
      if (seen) Bad(what + " is compressed twice by the same filter");
      seen = true;
    }
  }

  // A chunk stored in more bytes than its values take uncompressed (plus
  // deflate's own few) would inflate to more than a field holds.
  static void CheckChunkSizes(const std::string& what, hid_t dataset, const std::vector<hsize_t>& shape,
                              const std::vector<hsize_t>& chunk, std::size_t valueBytes) {
    hsize_t chunkBytes = valueBytes;
    for (const hsize_t side : chunk) chunkBytes *= side;
    const hsize_t most = chunkBytes + chunkBytes / 256 + 64;
    std::vector<hsize_t> at(shape.size(), 0);
    for (;;) {
      hsize_t stored = 0;
      // A chunk never written has no storage to ask about.
      if (H5Dget_chunk_storage_size(dataset, at.data(), &stored) >= 0 && stored > most) {
        Bad(what + " has a chunk stored in " + std::to_string(stored) + " bytes, out of proportion to the " +
            std::to_string(chunkBytes) + " bytes of its values");
      }
      std::size_t d = at.size();
      while (d > 0) {
        --d;
        at[d] += chunk[d];
        if (at[d] < shape[d]) break;
        at[d] = 0;
        if (d == 0) return;
      }
    }
  }

  std::size_t Count(const Handle& attribute) {
    const Handle space(H5Aget_space(attribute.get()), H5Sclose);
    const hssize_t count = H5Sget_simple_extent_npoints(space.get());
    if (count < 0 || count > 4096) Bad("an attribute has an unreadable shape");
    return static_cast<std::size_t>(count);
  }

  Handle Attribute(const char* name) {
    if (H5Aexists(file_, name) <= 0) Bad("the attribute " + Quoted(name) + " is missing");
    Handle attribute(H5Aopen(file_, name, H5P_DEFAULT), H5Aclose);
    if (!attribute.ok()) Unreadable(name);
    return attribute;
  }

  // Only a dataset the root group holds itself: a soft link would read
  // another object, an external link another file.
  Handle Dataset(const char* name) {
    if (H5Lexists(file_, name, links_.get()) <= 0) Bad("the dataset " + Quoted(name) + " is missing");
    H5L_info_t link{};
    if (H5Lget_info(file_, name, &link, links_.get()) < 0) Unreadable(name);
    if (link.type == H5L_TYPE_EXTERNAL)
      Bad(Quoted(name) + " is a link to another file; a field file must hold it itself");
    if (link.type != H5L_TYPE_HARD)
      Bad(Quoted(name) + " is a link to another object; a field file must hold it itself");
    Handle dataset(H5Dopen2(file_, name, access_.get()), H5Dclose);
    if (!dataset.ok()) Bad(Quoted(name) + " is not a dataset");
    return dataset;
  }

  [[noreturn]] void Unreadable(const char* name) { Bad(Quoted(name) + " cannot be read"); }

  static constexpr const char* NoFolder = "/nonexistent/rdsim-field-file";

  hid_t file_;
  Handle links_, access_;
};

}  // namespace

FieldFile ParseFieldFile(const std::string& bytes) {
  // The library would print its error stack on stderr; the messages here say
  // what is wrong instead.
  H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
  if (!HasSignature(bytes)) Bad("it is not an HDF5 file");
  const Handle access(H5Pcreate(H5P_FILE_ACCESS), H5Pclose);
  H5Pset_fapl_core(access.get(), 64 * 1024, false);
  if (H5Pset_file_image(access.get(), const_cast<char*>(bytes.data()), bytes.size()) < 0) {
    Bad("it is too large to read");
  }
  const Handle file(H5Fopen("field.h5", H5F_ACC_RDONLY, access.get()), H5Fclose);
  if (!file.ok()) Bad("it is not a readable HDF5 file");
  Reader reader(file.get());

  // The version first: a later layout may mean the rest differently.
  const std::int64_t version = reader.Integer("format_version");
  if (version != FieldFormatVersion) {
    Bad("its format_version " + std::to_string(version) + " is unknown; this program reads version " +
        std::to_string(FieldFormatVersion));
  }
  FieldFile field;
  const std::vector<std::string> mode = reader.Strings("mode");
  if (mode.size() != 1 || (mode[0] != "1d" && mode[0] != "2d")) Bad("its mode is neither \"1d\" nor \"2d\"");
  field.mode = mode[0] == "2d" ? Mode::TwoD : Mode::OneD;

  const std::vector<hsize_t> shape = reader.Shape("u");
  const std::size_t rank = field.mode == Mode::TwoD ? 2 : 1;
  const std::string wanted = field.mode == Mode::TwoD ? "(N, N)" : "(N,)";
  if (shape.size() != rank || (rank == 2 && shape[0] != shape[1])) {
    Bad("the dataset \"u\" of a " + mode[0] + " field must have the shape " + wanted);
  }
  if (reader.Shape("v") != shape) Bad("the datasets \"u\" and \"v\" differ in shape");
  if (shape[0] < static_cast<hsize_t>(MinFieldSize) || shape[0] > static_cast<hsize_t>(MaxFieldSize)) {
    Bad("its field size N = " + std::to_string(shape[0]) + " is outside " + std::to_string(MinFieldSize) + " to " +
        std::to_string(MaxFieldSize));
  }
  field.n = static_cast<int>(shape[0]);
  reader.CheckStorage("u", shape);
  reader.CheckStorage("v", shape);

  const std::vector<std::string> texts = reader.Strings("coefficients");
  if (texts.size() != field.coefficients.size()) {
    Bad("the attribute \"coefficients\" holds " + std::to_string(texts.size()) + " texts, not " +
        std::to_string(field.coefficients.size()));
  }
  for (std::size_t k = 0; k < texts.size(); ++k) {
    bool number = texts[k].size() <= 64;
    try {
      if (number) ParseDouble(texts[k]);
    } catch (const RunError&) {
      number = false;
    }
    if (!number) Bad("its coefficient k" + std::to_string(k) + " \"" + texts[k].substr(0, 64) + "\" is not a number");
    field.coefficients[k] = texts[k];
  }
  field.steps = reader.Integer("steps");
  if (field.steps < 0) Bad("its step count " + std::to_string(field.steps) + " is negative");

  field.u = reader.Values("u", field.mode, field.n);
  field.v = reader.Values("v", field.mode, field.n);
  return field;
}

}  // namespace rdsim
