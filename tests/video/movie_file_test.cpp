// Movies written by MovieWriter and read back through FFmpeg: a GIF holds
// every frame's pixels exactly; videos hold every frame at the size asked for;
// a movie that cannot be written whole leaves the older file as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "core/run_error.h"
#include "movie_reader.h"
#include "pixels/field_picture.h"
#include "pixels/palette.h"
#include "video/movie_file.h"

namespace rdsim {
namespace {

namespace fs = std::filesystem;
using testing::ReadMovie;

class MovieFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("rdsim-movie-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string In(const std::string& name) const { return (folder_ / name).string(); }
  // Hidden names in the folder: a writer's temporaries.
  std::vector<std::string> Hidden() const {
    std::vector<std::string> hidden;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      if (entry.path().filename().string()[0] == '.') hidden.push_back(entry.path().filename().string());
    }
    return hidden;
  }

  fs::path folder_;
};

// Frame i: a ramp through every level of the palette, shifted by i.
PixelImage Ramp(int width, int height, int shift, const Palette& palette) {
  PixelImage image(width, height, 0u);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      image.at(x, y) = palette.colours[static_cast<std::size_t>((x + 7 * y + shift) % 256)];
  }
  return image;
}

TEST_F(MovieFileTest, GifFramesHoldEveryPixelOfEveryPalette) {
  for (const Palette* palette : Palettes()) {
    SCOPED_TRACE(palette->name);
    const std::string path = In("ramp.gif");
    std::vector<PixelImage> frames;
    for (int i = 0; i < 5; ++i) frames.push_back(Ramp(37, 20, 40 * i, *palette));
    MovieWriter movie(path, 37, 20, 2, PictureColours(Mode::TwoD, *palette));
    for (const PixelImage& frame : frames) movie.Add(frame);
    EXPECT_EQ(movie.Frames(), 5);
    movie.Finish();

    const testing::MovieContents read = ReadMovie(path);
    ASSERT_EQ(read.error, "");
    EXPECT_EQ(read.codec, "gif");
    ASSERT_EQ(read.frames.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
      EXPECT_EQ(read.frames[i].pixels, Enlarged(frames[i], 2).pixels) << "frame " << i;
    }
  }
}

TEST_F(MovieFileTest, VideosHoldEveryFrameAtTheirSize) {
  const struct {
    const char* name;
    const char* codec;
    int width, height, scale;
    int expectWidth, expectHeight;  // odd sides grow by one
  } cases[] = {
      {"run.mp4", "h264", 128, 128, 2, 256, 256},
      {"run.webm", "vp9", 64, 64, 4, 256, 256},
      {"odd.mp4", "h264", 33, 17, 3, 100, 52},
      {"odd.webm", "vp9", 33, 17, 3, 100, 52},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = In(c.name);
    MovieWriter movie(path, c.width, c.height, c.scale, {});
    for (int i = 0; i < 12; ++i) movie.Add(Ramp(c.width, c.height, 20 * i, GreyPalette()));
    movie.Finish();
    const testing::MovieContents read = ReadMovie(path);
    ASSERT_EQ(read.error, "");
    EXPECT_EQ(read.codec.substr(0, std::string(c.codec).size()), c.codec);
    EXPECT_EQ(read.width, c.expectWidth);
    EXPECT_EQ(read.height, c.expectHeight);
    EXPECT_EQ(read.frames.size(), 12u);
    EXPECT_NEAR(read.framesPerSecond, MovieFramesPerSecond, 0.01);
    EXPECT_TRUE(Hidden().empty());
  }
}

TEST(MovieFormat, ByExtensionAndDefaultScale) {
  EXPECT_EQ(MovieFormatOf("a.GIF"), MovieFormat::Gif);
  EXPECT_EQ(MovieFormatOf("dir.mp4/a.webm"), MovieFormat::WebM);
  EXPECT_EQ(MovieFormatOf("a.mp4"), MovieFormat::Mp4);
  EXPECT_EQ(MovieFormatOf(".gif"), std::nullopt);
  EXPECT_EQ(MovieFormatOf("a.avi"), std::nullopt);
  // A GIF keeps the field's size; a video takes the smallest whole factor
  // that brings its larger side to 256 pixels.
  for (const auto& [width, height] :
       {std::pair{16, 16}, {128, 128}, {100, 124}, {124, 100}, {256, 2}, {2, 200}, {85, 1}}) {
    EXPECT_EQ(DefaultMovieScale(MovieFormat::Gif, width, height), 1);
    for (const MovieFormat video : {MovieFormat::Mp4, MovieFormat::WebM}) {
      const int scale = DefaultMovieScale(video, width, height), side = std::max(width, height);
      EXPECT_TRUE(scale * side >= 256 && (scale - 1) * side < 256) << width << " x " << height << ": " << scale;
    }
  }
}

TEST_F(MovieFileTest, RefusesWhatItCannotWrite) {
  const struct {
    const char* name;
    int width, height;
    std::vector<std::uint32_t> colours;
    const char* says;
  } cases[] = {
      {"a.avi", 8, 8, {0}, "names no movie format"},
      {"big.gif", 4097, 8, {0}, "outside 1 to 4096"},
      {"none.gif", 8, 8, {}, "1 to 256 colours"},
      {"missing/a.gif", 8, 8, {0}, "does not exist"},
  };
  for (const auto& c : cases) {
    try {
      MovieWriter movie(In(c.name), c.width, c.height, 1, c.colours);
      ADD_FAILURE() << c.name << " was accepted";
    } catch (const RunError& error) {
      EXPECT_NE(std::string(error.what()).find(c.says), std::string::npos) << error.what();
      EXPECT_NE(std::string(error.what()).find(c.name), std::string::npos) << error.what();
    }
  }
  MovieWriter movie(In("frame.gif"), 8, 8, 1, {0x000000});
  EXPECT_THROW(movie.Add(PixelImage(9, 8, 0u)), RunError);
}

// Runs `write` with files limited to `bytes` (a full disk); a write past the
// limit fails instead of ending the test.
void WithFileSizeLimit(rlim_t bytes, const std::function<void()>& write) {
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = bytes;
  setrlimit(RLIMIT_FSIZE, &small);
  try {
    write();
  } catch (...) {
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    throw;
  }
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
}

std::string Slurp(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// Past a file size limit (a full disk): the error names the file, the older
// movie stays, no temporary is left; a movie never finished leaves nothing.
TEST_F(MovieFileTest, AFailedMovieLeavesTheOlderFile) {
  const std::string path = In("old.gif");
  { std::ofstream(path) << "older movie"; }
  std::string message;
  WithFileSizeLimit(30000, [&] {
    try {
      MovieWriter movie(path, 128, 128, 1, PictureColours(Mode::TwoD));
      for (int i = 0; i < 200; ++i) movie.Add(Ramp(128, 128, 3 * i, GreyPalette()));
      movie.Finish();
    } catch (const RunError& error) {
      message = error.what();
    }
  });
  EXPECT_NE(message.find("\"" + path + "\""), std::string::npos) << message;
  EXPECT_EQ(Slurp(path), "older movie");
  EXPECT_TRUE(Hidden().empty());

  { MovieWriter unfinished(In("never.mp4"), 16, 16, 1, {}); }
  EXPECT_FALSE(fs::exists(In("never.mp4")));
  EXPECT_TRUE(Hidden().empty());
}

// A limit one byte short of the whole movie: every frame is taken, and the
// error comes only with the last bytes, at Finish. It must still fail the
// movie and keep the older file.
TEST_F(MovieFileTest, AnErrorAtTheLastBytesFailsTheMovie) {
  for (const char* name : {"late.gif", "late.mp4", "late.webm"}) {
    SCOPED_TRACE(name);
    const std::string path = In(name);
    int taken = 0;
    const auto write = [&] {
      MovieWriter movie(path, 48, 48, 1, PictureColours(Mode::TwoD));
      for (taken = 0; taken < 8; ++taken) movie.Add(Ramp(48, 48, 9 * taken, GreyPalette()));
      movie.Finish();
    };
    write();
    const auto whole = static_cast<rlim_t>(fs::file_size(path));
    { std::ofstream(path) << "older movie"; }
    std::string message = "no error";
    WithFileSizeLimit(whole - 1, [&] {
      try {
        write();
      } catch (const RunError& error) {
        message = error.what();
      }
    });
    EXPECT_EQ(taken, 8);
    EXPECT_NE(message.find("cannot record \"" + path + "\""), std::string::npos) << message;
    EXPECT_EQ(Slurp(path), "older movie");
    EXPECT_TRUE(Hidden().empty());
  }
}

}  // namespace
}  // namespace rdsim
