// Field files: what is written comes back bit for bit, the same field makes
// the same bytes, files from other HDF5 writers are read, and every kind of
// bad file is refused with a message that names it and what is wrong.
#include "files/field_file.h"

#include <gtest/gtest.h>
#include <hdf5.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>

#include "core/run_error.h"
#include "files/file_access.h"
#include "hostile_field_files.h"

namespace rdsim {
namespace {

namespace fs = std::filesystem;

class FieldFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(::testing::TempDir()) / ("rdsim-field-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    ::alarm(60);
  }
  void TearDown() override {
    ::alarm(0);
    fs::remove_all(folder_);
  }
  std::string At(const std::string& name) const { return (folder_ / name).string(); }
  static std::string Slurp(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  // The detail of the RunError reading `path` raises, or "ok".
  static std::string ReadOutcome(const std::string& path) {
    try {
      ReadFieldFile(path);
    } catch (const RunError& error) {
      EXPECT_EQ(error.fault(), Fault::FileAccess);
      return error.detail();
    }
    return "ok";
  }

  fs::path folder_;
};

// Values with every awkward bit pattern a buffer may hold.
FieldFile Sample(Mode mode, int n) {
  FieldFile field;
  field.mode = mode;
  field.n = n;
  const std::size_t cells = mode == Mode::TwoD ? static_cast<std::size_t>(n * n) : static_cast<std::size_t>(n);
  for (std::size_t i = 0; i < cells; ++i) {
    field.u.push_back(i == 0   ? 0.0f
                      : i == 1 ? std::numeric_limits<float>::denorm_min()
                               : 10.0f / static_cast<float>(i));
    field.v.push_back(i == 0 ? std::numeric_limits<float>::max() : static_cast<float>(i) * 0.1f);
  }
  field.coefficients = DesignCoefficientTexts();
  field.coefficients[3] = "3E-2";  // kept as typed, not as a number
  field.steps = 123456789012345;
  return field;
}

bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

TEST_F(FieldFileTest, RoundTripsBitForBitAndByteForByte) {
  for (const auto& [mode, n] : {std::pair{Mode::OneD, 128}, std::pair{Mode::TwoD, 128}, std::pair{Mode::TwoD, 2}}) {
    SCOPED_TRACE(n);
    const FieldFile field = Sample(mode, n);
    const std::string path = At("f.h5");
    WriteFieldFile(path, field);
    const FieldFile back = ReadFieldFile(path);
    EXPECT_EQ(back.mode, mode);
    EXPECT_EQ(back.n, n);
    EXPECT_TRUE(SameBits(back.u, field.u));
    EXPECT_TRUE(SameBits(back.v, field.v));
    EXPECT_EQ(back.coefficients, field.coefficients);
    EXPECT_EQ(back.steps, field.steps);
    EXPECT_EQ(EncodeFieldFile(back), Slurp(path));  // nothing in it changes from one save to the next
  }
}

// An HDF5 file changed by the library itself, as another program might write it.
void Edit(const std::string& path, const std::function<void(hid_t)>& change) {
  const hid_t file = H5Fopen(path.c_str(), H5F_ACC_RDWR, H5P_DEFAULT);
  ASSERT_GE(file, 0);
  change(file);
  H5Fclose(file);
}

void PutDataset(hid_t file, const char* name, hid_t type, const std::vector<hsize_t>& dims, double fill,
                std::size_t at = 0, double special = 0) {
  H5Ldelete(file, name, H5P_DEFAULT);
  hsize_t cells = 1;
  for (const hsize_t d : dims) cells *= d;
  std::vector<double> values(cells, fill);
  if (at < cells) values[at] = special;
  const hid_t space = H5Screate_simple(static_cast<int>(dims.size()), dims.data(), nullptr);
  const hid_t dataset = H5Dcreate2(file, name, type, space, H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
  H5Dwrite(dataset, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data());
  H5Dclose(dataset);
  H5Sclose(space);
}

void PutInteger(hid_t file, const char* name, std::int64_t value) {
  H5Adelete(file, name);
  const hid_t space = H5Screate(H5S_SCALAR);
  const hid_t attribute = H5Acreate2(file, name, H5T_STD_I64LE, space, H5P_DEFAULT, H5P_DEFAULT);
  H5Awrite(attribute, H5T_NATIVE_INT64, &value);
  H5Aclose(attribute);
  H5Sclose(space);
}

// Fixed-length strings, as numpy's bytes arrays are stored.
void PutStrings(hid_t file, const char* name, const std::vector<std::string>& texts) {
  H5Adelete(file, name);
  const std::size_t size = 16;
  std::vector<char> chars(size * texts.size(), '\0');
  for (std::size_t i = 0; i < texts.size(); ++i) std::memcpy(&chars[i * size], texts[i].data(), texts[i].size());
  const hid_t type = H5Tcopy(H5T_C_S1);
  H5Tset_size(type, size);
  const hsize_t count = texts.size();
  const hid_t space = texts.size() == 1 ? H5Screate(H5S_SCALAR) : H5Screate_simple(1, &count, nullptr);
  const hid_t attribute = H5Acreate2(file, name, type, space, H5P_DEFAULT, H5P_DEFAULT);
  H5Awrite(attribute, type, chars.data());
  H5Aclose(attribute);
  H5Sclose(space);
  H5Tclose(type);
}

TEST_F(FieldFileTest, ReadsWhatOtherWritersMake) {
  const std::string path = At("other.h5");
  WriteFieldFile(path, Sample(Mode::TwoD, 4));
  Edit(path, [](hid_t file) {
    PutDataset(file, "u", H5T_IEEE_F64BE, {4, 4}, 0.25, 5, 7.5);
    PutDataset(file, "v", H5T_IEEE_F32BE, {4, 4}, 1.5);
    PutStrings(file, "mode", {"2d"});
    PutStrings(file, "coefficients", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "-1e-3"});
  });
  const FieldFile field = ReadFieldFile(path);
  EXPECT_EQ(field.u[5], 7.5f);
  EXPECT_EQ(field.u[6], 0.25f);
  EXPECT_EQ(field.v[15], 1.5f);
  EXPECT_EQ(field.coefficients[10], "-1e-3");
}

TEST_F(FieldFileTest, RefusesEveryKindOfBadFileSayingWhy) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* kind;
    std::function<void(hid_t)> change;
    const char* says;
  } cases[] = {
      {"u missing", [](hid_t f) { H5Ldelete(f, "u", H5P_DEFAULT); }, "the dataset \"u\" is missing"},
      {"v of another shape",
       [](hid_t f) {
         PutDataset(f, "v", H5T_IEEE_F32LE, {8, 4}, 1);
       },
       "differ in shape"},
      {"not square",
       [](hid_t f) {
         PutDataset(f, "u", H5T_IEEE_F32LE, {8, 4}, 1);
         PutDataset(f, "v", H5T_IEEE_F32LE, {8, 4}, 1);
       },
       "must have the shape (N, N)"},
      {"a line called 2d", [](hid_t f) { PutDataset(f, "u", H5T_IEEE_F32LE, {8}, 1); }, "(N, N)"},
      {"a square called 1d", [](hid_t f) { PutStrings(f, "mode", {"1d"}); }, "must have the shape (N,)"},
      {"N above 128",
       [](hid_t f) {
         PutStrings(f, "mode", {"1d"});
         PutDataset(f, "u", H5T_IEEE_F32LE, {129}, 1);
         PutDataset(f, "v", H5T_IEEE_F32LE, {129}, 1);
       },
       "N = 129 is outside 2 to 128"},
      {"N of 1",
       [](hid_t f) {
         PutDataset(f, "u", H5T_IEEE_F32LE, {1, 1}, 1);
         PutDataset(f, "v", H5T_IEEE_F32LE, {1, 1}, 1);
       },
       "N = 1 is outside"},
      {"NaN",
       [&](hid_t f) {
         PutDataset(f, "u", H5T_IEEE_F32LE, {8, 8}, 1, 10, nan);
       },
       "\"u\" holds NaN (not a number) at row 1, column 2"},
      {"infinity",
       [&](hid_t f) {
         PutDataset(f, "v", H5T_IEEE_F64LE, {8, 8}, 1, 63, inf);
       },
       "\"v\" holds an infinite value at row 7, column 7"},
      {"too large",
       [](hid_t f) {
         PutDataset(f, "v", H5T_IEEE_F64LE, {8, 8}, 1, 0, 1e300);
       },
       "too large for single precision"},
      {"negative",
       [](hid_t f) {
         PutDataset(f, "u", H5T_IEEE_F32LE, {8, 8}, 1, 0, -0.5);
       },
       "a negative value at row 0, column 0"},
      {"integers",
       [](hid_t f) {
         PutDataset(f, "u", H5T_STD_I32LE, {8, 8}, 1);
       },
       "does not hold floating-point"},
      {"version 2", [](hid_t f) { PutInteger(f, "format_version", 2); },
       "format_version 2 is unknown; this program reads version 1"},
      {"no version", [](hid_t f) { H5Adelete(f, "format_version"); }, "the attribute \"format_version\" is missing"},
      {"version as text", [](hid_t f) { PutStrings(f, "format_version", {"1"}); },
       "\"format_version\" is not one whole number"},
      {"mode 3d", [](hid_t f) { PutStrings(f, "mode", {"3d"}); }, "neither \"1d\" nor \"2d\""},
      {"ten coefficients", [](hid_t f) { PutStrings(f, "coefficients", std::vector<std::string>(10, "1")); },
       "holds 10 texts, not 11"},
      {"a word for k3",
       [](hid_t f) {
         PutStrings(f, "coefficients", {"0", "1", "2", "fast", "4", "5", "6", "7", "8", "9", "10"});
       },
       "coefficient k3 \"fast\" is not a number"},
      {"negative steps", [](hid_t f) { PutInteger(f, "steps", -1); }, "step count -1 is negative"},
  };
  for (const auto& c : cases) {
    const std::string path = At("bad.h5");
    WriteFieldFile(path, Sample(Mode::TwoD, 8));
    Edit(path, c.change);
    const std::string outcome = ReadOutcome(path);
    EXPECT_NE(outcome.find("\"" + path + "\""), std::string::npos) << c.kind << ": " << outcome;
    EXPECT_NE(outcome.find(c.says), std::string::npos) << c.kind << ": " << outcome;
  }

  std::ofstream(At("text.h5")) << "u,v\n1,2\n";
  EXPECT_NE(ReadOutcome(At("text.h5")).find("it is not an HDF5 file"), std::string::npos);
  EXPECT_NE(ReadOutcome(At("none.h5")).find("there is no such file"), std::string::npos);
  ASSERT_EQ(::mkfifo(At("fifo.h5").c_str(), 0644), 0);
  EXPECT_NE(ReadOutcome(At("fifo.h5")).find("FIFO"), std::string::npos);
  std::string cut = EncodeFieldFile(Sample(Mode::TwoD, 8));
  cut.resize(cut.size() / 2);
  std::ofstream(At("cut.h5"), std::ios::binary) << cut;
  EXPECT_NE(ReadOutcome(At("cut.h5")), "ok");
}

// Files made to read other files, block, crash the library or exhaust memory
// are refused saying why, and a reader program that misbehaves is survived.
TEST_F(FieldFileTest, HostileFilesAndReadersAreRefusedWithoutHarm) {
  for (const HostileFieldFile& file : MakeHostileFieldFiles(folder_.string())) {
    const std::string outcome = ReadOutcome(file.path);
    if (file.damaged) continue;  // read or refused, and this process goes on
    EXPECT_NE(outcome.find(file.refusal.empty() ? "ok" : file.refusal), std::string::npos)
        << file.name << ": " << outcome;
  }
  const std::string path = At("sound.h5"), hang = At("hang");
  WriteFieldFile(path, Sample(Mode::OneD, 8));
  std::ofstream(hang) << "#!/bin/sh\nexec /bin/sleep 60\n";
  ::chmod(hang.c_str(), 0700);
  for (const auto& [reader, says] : {std::pair<std::string, const char*>{"/nonexistent/reader", "could not be started"},
                                     {"/bin/cat", "an answer that is not whole"},
                                     {"/usr/bin/yes", "said more than a field holds"},
                                     {hang, "took longer than 2 s"}}) {
    SetFieldReaderProgram(reader);
    EXPECT_NE(ReadOutcome(path).find(says), std::string::npos) << reader;
  }
  SetFieldReaderProgram("");
  EXPECT_EQ(ReadOutcome(path), "ok");
}

TEST_F(FieldFileTest, ASaveReplacesWholeOrNotAtAll) {
  const std::string path = At("keep.h5");
  std::ofstream(path) << "older";
  ASSERT_EQ(::chmod(folder_.c_str(), 0500), 0);
  const bool root = ::geteuid() == 0;  // root writes anyway
  if (!root) {
    EXPECT_THROW(WriteFieldFile(path, Sample(Mode::OneD, 4)), RunError);
  }
  ::chmod(folder_.c_str(), 0700);
  if (!root) {
    EXPECT_EQ(Slurp(path), "older");
  }
  FieldFile field = Sample(Mode::OneD, 4);
  field.u.pop_back();  // does not fit its size: nothing is written
  EXPECT_THROW(WriteFieldFile(path, field), RunError);
  EXPECT_EQ(Slurp(path), "older");
  EXPECT_TRUE(IsFieldFileName("a.H5"));
  EXPECT_FALSE(IsFieldFileName("a.h5.raw"));
  EXPECT_FALSE(IsFieldFileName(".h5"));
}

// A movie's temporary: beside the target, hidden, renamed over it by Commit,
// removed when never committed.
TEST_F(FieldFileTest, ATemporaryFileReplacesItsTargetOnlyWhenCommitted) {
  const std::string path = At("movie.gif");
  std::ofstream(path) << "old";
  {
    TemporaryFile file(path);
    EXPECT_EQ(fs::path(file.Path()).parent_path(), folder_);
    EXPECT_EQ(fs::path(file.Path()).filename().string()[0], '.');
    std::ofstream(file.Path()) << "abandoned";
  }
  EXPECT_EQ(Slurp(path), "old");
  {
    TemporaryFile file(path);
    std::ofstream(file.Path()) << "new";
    file.Commit();
  }
  EXPECT_EQ(Slurp(path), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
  EXPECT_THROW(TemporaryFile(At("missing/movie.gif")), RunError);
}

}  // namespace
}  // namespace rdsim
