#include "hostile_field_files.h"

#include <hdf5.h>
#include <sys/stat.h>
#include <zlib.h>

#include <fstream>
#include <functional>
#include <limits>
#include <random>
#include <stdexcept>

#include "core/coefficients.h"
#include "files/field_file.h"

namespace rdsim {

namespace {

constexpr hsize_t Side = HostileFieldSize;

FieldFile Uniform() {
  FieldFile field;
  field.mode = Mode::TwoD;
  field.n = HostileFieldSize;
  field.u.assign(Side * Side, 1.0f);
  field.v.assign(Side * Side, 0.5f);
  field.coefficients = DesignCoefficientTexts();
  return field;
}

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(std::string("cannot make the hostile field files: ") + what);
}

// zlib's format, as HDF5's deflate filter keeps it.
std::string Deflate(const std::string& in) {
  uLongf size = compressBound(in.size());
  std::string out(size, '\0');
  Check(compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(in.data()), in.size(),
                  9) == Z_OK,
        "deflate");
  out.resize(size);
  return out;
}

// `megabytes` of zeros deflated, made a piece at a time.
std::string DeflatedZeros(std::size_t megabytes) {
  z_stream stream{};
  Check(deflateInit(&stream, 9) == Z_OK, "deflate");
  const std::string zeros(1 << 20, '\0');
  std::string out, piece(1 << 16, '\0');
  for (std::size_t i = 0; i <= megabytes; ++i) {
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
    stream.avail_in = i < megabytes ? static_cast<uInt>(zeros.size()) : 0;
    const int flush = i < megabytes ? Z_NO_FLUSH : Z_FINISH;
    do {
      stream.next_out = reinterpret_cast<Bytef*>(piece.data());
      stream.avail_out = static_cast<uInt>(piece.size());
      deflate(&stream, flush);
      out.append(piece.data(), piece.size() - stream.avail_out);
    } while (stream.avail_out == 0);
  }
  deflateEnd(&stream);
  return out;
}

// A sound field file at `path`, its "u" then replaced by `makeU(file, space)`.
void WithU(const std::string& path, const std::function<void(hid_t, hid_t)>& makeU) {
  WriteFieldFile(path, Uniform());
  const hid_t file = H5Fopen(path.c_str(), H5F_ACC_RDWR, H5P_DEFAULT);
  Check(file >= 0, "reopen");
  H5Ldelete(file, "u", H5P_DEFAULT);
  const hsize_t dims[2] = {Side, Side};
  const hid_t space = H5Screate_simple(2, dims, nullptr);
  makeU(file, space);
  H5Sclose(space);
  H5Fclose(file);
}

// "u" made with these creation properties; `fill` writes its values.
void UWith(hid_t file, hid_t space, hid_t creation, const std::function<void(hid_t)>& fill = {}) {
  const hid_t dataset = H5Dcreate2(file, "u", H5T_IEEE_F32LE, space, H5P_DEFAULT, creation, H5P_DEFAULT);
  Check(dataset >= 0, "dataset");
  if (fill) fill(dataset);
  H5Dclose(dataset);
}

// A chunked "u" whose one chunk holds `bytes` as stored, through `filters`.
void OneChunk(hid_t file, hid_t space, const std::vector<hsize_t>& chunk, int deflates, const std::string& bytes,
              bool unlimited = false) {
  const hid_t creation = H5Pcreate(H5P_DATASET_CREATE);
  H5Pset_chunk(creation, 2, chunk.data());
  for (int i = 0; i < deflates; ++i) H5Pset_deflate(creation, 9);
  hid_t shape = space;
  if (unlimited) {
    const hsize_t dims[2] = {Side, Side}, most[2] = {H5S_UNLIMITED, H5S_UNLIMITED};
    shape = H5Screate_simple(2, dims, most);
  }
  UWith(file, shape, creation, [&](hid_t dataset) {
    const hsize_t origin[2] = {0, 0};
    Check(H5Dwrite_chunk(dataset, H5P_DEFAULT, 0, origin, bytes.size(), bytes.data()) >= 0, "chunk");
  });
  if (unlimited) H5Sclose(shape);
  H5Pclose(creation);
}

// Bits flipped one at a time in a file the program wrote: anywhere, and in
// the global heap that holds the texts.
void AddFlips(std::vector<HostileFieldFile>& files, const std::string& folder) {
  const std::string sound = EncodeFieldFile(Uniform());
  const std::size_t heap = sound.find("GCOL");
  Check(heap != std::string::npos, "no global heap");
  std::mt19937 random(20);
  for (int i = 0; i < 40; ++i) {
    const std::size_t from = i < 20 ? 0 : heap, to = i < 20 ? sound.size() : std::min(sound.size(), heap + 512);
    const std::size_t at = std::uniform_int_distribution<std::size_t>(from, to - 1)(random);
    const int bit = std::uniform_int_distribution<int>(0, 7)(random);
    std::string bytes = sound;
    bytes[at] = static_cast<char>(bytes[at] ^ (1 << bit));
    const std::string path = folder + "/flip" + std::to_string(i) + ".h5";
    std::ofstream(path, std::ios::binary) << bytes;
    files.push_back({"bit " + std::to_string(bit) + " of byte " + std::to_string(at) + " flipped", path, "", "", true});
  }
}

}  // namespace

std::vector<HostileFieldFile> MakeHostileFieldFiles(const std::string& folder) {
  H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr);
  const std::string source = folder + "/source.h5", fifo = folder + "/fifo";
  WriteFieldFile(source, Uniform());
  ::mkfifo(fifo.c_str(), 0600);
  const std::string bomb = DeflatedZeros(320);  // inflates to 320 MB, more than a reader may take
  const auto at = [&](const char* name) { return folder + "/" + name; };
  const auto external = [](const std::string& target) {
    return [target](hid_t file, hid_t space) {
      const hid_t creation = H5Pcreate(H5P_DATASET_CREATE);
      H5Pset_external(creation, target.c_str(), 0, Side * Side * 4);
      UWith(file, space, creation);
      H5Pclose(creation);
    };
  };
  const auto link = [](const std::string& target) {
    return
        [target](hid_t file, hid_t) { H5Lcreate_external(target.c_str(), "/u", file, "u", H5P_DEFAULT, H5P_DEFAULT); };
  };

  std::vector<HostileFieldFile> files = {
      {"u kept in /etc/passwd", at("passwd.h5"), "keeps its values in another file (\"/etc/passwd\")"},
      {"u kept in a FIFO", at("fifo-storage.h5"), "keeps its values in another file"},
      {"u an external link", at("elink.h5"), "\"u\" is a link to another file"},
      {"u an external link to a FIFO", at("elink-fifo.h5"), "\"u\" is a link to another file"},
      {"u a soft link to v", at("soft.h5"), "\"u\" is a link to another object"},
      {"u a virtual dataset", at("virtual.h5"), "virtual dataset"},
      {"a link to a FIFO", at("fifo-link.h5"), "FIFO"},
      {"chunks deflated twice", at("double-deflate.h5"), "compressed twice"},
      {"a chunk that inflates to 320 MB", at("inflate-bomb.h5"), "out of proportion"},
      {"one 4 GiB chunk", at("huge-chunk.h5"), "chunks of 32768 values a side"},
      {"a filter from a plugin", at("plugin.h5"), "through filter 32001"},
      {"steps at the largest count", at("steps.h5"), "", "9223372036854775807"},
  };
  WithU(files[0].path, external("/etc/passwd"));
  WithU(files[1].path, external(fifo));
  WithU(files[2].path, link(source));
  WithU(files[3].path, link(fifo));
  WithU(files[4].path, [](hid_t file, hid_t) { H5Lcreate_soft("/v", file, "u", H5P_DEFAULT, H5P_DEFAULT); });
  WithU(files[5].path, [&](hid_t file, hid_t space) {
    const hid_t creation = H5Pcreate(H5P_DATASET_CREATE);
    H5Pset_virtual(creation, space, source.c_str(), "/u", space);
    UWith(file, space, creation);
    H5Pclose(creation);
  });
  ::symlink(fifo.c_str(), files[6].path.c_str());
  WithU(files[7].path, [&](hid_t file, hid_t space) { OneChunk(file, space, {Side, Side}, 2, Deflate(bomb)); });
  WithU(files[8].path, [&](hid_t file, hid_t space) { OneChunk(file, space, {Side, Side}, 1, bomb); });
  WithU(files[9].path, [&](hid_t file, hid_t space) {
    OneChunk(file, space, {32768, 32767}, 1, Deflate(std::string(1 << 20, '\0')), true);
  });
  WithU(files[10].path, [&](hid_t file, hid_t space) {
    const hid_t creation = H5Pcreate(H5P_DATASET_CREATE);
    const hsize_t chunk[2] = {Side, Side};
    H5Pset_chunk(creation, 2, chunk);
    H5Pset_filter(creation, 32001, H5Z_FLAG_OPTIONAL, 0, nullptr);
    UWith(file, space, creation);
    H5Pclose(creation);
  });
  FieldFile most = Uniform();
  most.steps = std::numeric_limits<std::int64_t>::max();
  WriteFieldFile(files[11].path, most);
  AddFlips(files, folder);
  return files;
}

}  // namespace rdsim
