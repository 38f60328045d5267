// Pictures and files below the behaviours: the picture of a field, enlarging,
// palettes, the one image writer, and whole-or-nothing writes.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/run_error.h"
#include "files/file_access.h"
#include "image_io/image_file.h"
#include "pixels/field_picture.h"
#include "pixels/palette.h"
#include "pixels/profile_image_pixels.h"

namespace rdsim {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::uint32_t Le32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

fs::path FreshFolder(const char* name) {
  const fs::path folder = fs::path(::testing::TempDir()) / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

TEST(FieldPicture, OneImageForEachMode) {
  Simulation sim;
  sim.N = 3;
  sim.buffers.Resize(10);
  sim.buffers.U2[4] = 10.0f;  // the newest 2D field, after a forward step
  sim.CurrentInU = false;
  const PixelImage square = ComposeFieldPicture(sim, Mode::TwoD);
  ASSERT_EQ(square.width, 3);
  ASSERT_EQ(square.height, 3);
  EXPECT_EQ(square.at(1, 1), 0xFFFFFFu);
  EXPECT_EQ(square.at(0, 0), 0x000000u);

  sim.buffers.U[0] = 10.0f;
  sim.buffers.V[2] = 10.0f;
  const PixelImage line = ComposeFieldPicture(sim, Mode::OneD);
  ASSERT_EQ(line.height, 2 * ProfileImageHeight);
  EXPECT_EQ(line.at(0, 0), 0xFF0000u);                   // a full red bar in the upper plot
  EXPECT_EQ(line.at(2, ProfileImageHeight), 0x0000FFu);  // a full blue bar in the lower
  EXPECT_EQ(line.at(1, 2 * ProfileImageHeight - 1), 0xFFFFFFu);

  const PixelImage big = Enlarged(square, 3);
  ASSERT_EQ(big.width, 9);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(big.at(x, y), square.at(x / 3, y / 3));
  EXPECT_THROW(Enlarged(square, 0), RunError);
}

TEST(Palette, GreyIsTheDefaultAndFoundByName) {
  EXPECT_EQ(Palettes().front(), &GreyPalette());
  EXPECT_EQ(FindPalette("grey"), &GreyPalette());
  EXPECT_EQ(FindPalette("Grey"), nullptr);
  EXPECT_EQ(GreyPalette().colours[0], 0x000000u);
  EXPECT_EQ(GreyPalette().colours[255], 0xFFFFFFu);
  // Another table goes through the lookup, not the grey arithmetic.
  Palette red{"red", {}};
  for (std::uint32_t g = 0; g < 256; ++g) red.colours[g] = g << 16;
  Simulation sim;
  sim.N = 2;
  sim.buffers.Resize(5);
  sim.buffers.U = {0.0f, 5.0f, 10.0f, 1e9f, 0.0f};
  sim.CurrentInU = true;
  const PixelImage image = ComposeFieldPicture(sim, Mode::TwoD, red);
  EXPECT_EQ(image.pixels, (std::vector<std::uint32_t>{0x000000, 0x800000, 0xFF0000, 0xFF0000}));
}

TEST(ImageFile, WritesBitmapsAndPngs) {
  const fs::path folder = FreshFolder("rdsim-image-file");
  const PixelImage image(3, 2, std::vector<std::uint32_t>{0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112});
  WriteImageFile((folder / "a.BMP").string(), image);
  const std::string bmp = ReadAll(folder / "a.BMP");
  ASSERT_GE(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(Le32(bmp, 18), 3u);
  EXPECT_EQ(Le32(bmp, 22), 2u);
  EXPECT_EQ(Le32(bmp, 26), 24u << 16 | 1u);                              // one plane, 24 bits
  const std::size_t bottomRow = Le32(bmp, 10), topRow = bottomRow + 12;  // rows padded to 12 bytes
  EXPECT_EQ(bmp.substr(topRow, 3), std::string("\x03\x02\x01", 3));      // blue, green, red
  EXPECT_EQ(bmp.substr(bottomRow, 3), std::string("\x0C\x0B\x0A", 3));

  WriteImageFile((folder / "a.png").string(), image);
  EXPECT_EQ(ReadAll(folder / "a.png").substr(1, 3), "PNG");
  EXPECT_FALSE(IsImageFileName("a.gif"));
  EXPECT_THROW(WriteImageFile((folder / "a.gif").string(), image), RunError);
  EXPECT_FALSE(fs::exists(folder / "a.gif"));
}

// Whatever goes wrong, the target is either the old file or the new one, and
// no temporary file is left beside it.
TEST(WholeFile, OldOrNewAndNothingBeside) {
  const fs::path folder = FreshFolder("rdsim-atomic");
  const fs::path target = folder / "out.raw";
  WriteFileWhole(target.string(), "old");
  fs::create_symlink(target, folder / "link");
  WriteFileWhole((folder / "link").string(), "new");
  EXPECT_TRUE(fs::is_symlink(folder / "link"));  // the file it names was replaced
  EXPECT_EQ(ReadAll(target), "new");
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::others_read, fs::perms::others_read);

  ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
  struct Case {
    fs::path path;
    rlim_t sizeLimit;  // 0: none
  };
  const Case failures[] = {{folder / "fifo", 0}, {folder / "missing" / "x", 0}, {folder, 0}, {target, 10}};
  for (const Case& c : failures) {
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (c.sizeLimit) {
      rlimit small = old;
      small.rlim_cur = c.sizeLimit;
      setrlimit(RLIMIT_FSIZE, &small);
    }
    try {
      WriteFileWhole(c.path.string(), std::string(1000, 'x'));
      ADD_FAILURE() << c.path << " was written";
    } catch (const RunError& error) {
      EXPECT_EQ(error.fault(), Fault::FileAccess);
      EXPECT_NE(std::string(error.what()).find(c.path.string()), std::string::npos) << error.what();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
  }
  EXPECT_EQ(ReadAll(target), "new");
  EXPECT_TRUE(fs::is_fifo(folder / "fifo"));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"fifo", "link", "out.raw"}));
}

}  // namespace
}  // namespace rdsim
