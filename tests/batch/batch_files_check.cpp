// rdsim-batch's field files, movies, space-time images and PNGs, judged from
// outside: continuations that match one long run byte for byte, GIF frames
// equal to --bmp, videos read back through FFmpeg, space-time rows and PNG
// pixels against the fields they show, and the refusals with their messages.
//
//   rdsim_batch_files_check BATCH WORKDIR

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "command_line/command_line.h"
#include "files/field_file.h"
#include "movie_reader.h"
#include "pixels/field_image_pixels.h"
#include "pixels/palette.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using rdsim::PixelImage;

std::string Batch, Work;
const std::string Design = rdsim::cli::JoinCoefficientTexts(rdsim::DesignCoefficientTexts());

struct Outcome {
  int exitCode = -1;
  std::string out, err;
};

std::string Slurp(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::string At(const std::string& name) { return Work + "/" + name; }

// rdsim-batch with these arguments; fileSizeLimit, when set, limits what it may write.
Outcome RunBatch(std::vector<std::string> args, rlim_t fileSizeLimit = 0) {
  args.insert(args.begin(), Batch);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string outPath = At("stdout.txt"), errPath = At("stderr.txt");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  if (fileSizeLimit) {
    rlimit limit = old;
    limit.rlim_cur = fileSizeLimit;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  if (fileSizeLimit) setrlimit(RLIMIT_FSIZE, &old);
  posix_spawn_file_actions_destroy(&actions);
  Outcome outcome;
  if (spawned != 0) return outcome;
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
  outcome.out = Slurp(outPath);
  outcome.err = Slurp(errPath);
  return outcome;
}

std::vector<std::string> Args(const std::string& mode, int size, long steps, std::vector<std::string> more) {
  std::vector<std::string> args{"--mode",   mode,  "--size", std::to_string(size), "--steps", std::to_string(steps),
                                "--params", Design};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

PixelImage Decode(const std::string& path) {
  const QImage image = QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32);
  PixelImage pixels(image.width(), image.height(), 0u);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) pixels.at(x, y) = image.pixel(x, y) & 0xFFFFFFu;
  return pixels;
}

std::vector<float> RawFloats(const std::string& path) {
  const std::string bytes = Slurp(path);
  std::vector<float> values(bytes.size() / 4);
  std::memcpy(values.data(), bytes.data(), values.size() * 4);  // little-endian machine
  return values;
}

TEST(BatchFiles, AContinuationFromAFieldFileIsTheLongRunByteForByte) {
  for (const std::string mode : {"1d", "2d"}) {
    SCOPED_TRACE(mode);
    const int n = mode == "1d" ? 128 : 64;
    ASSERT_EQ(RunBatch(Args(mode, n, 500, {"--random", "5", "--out", At("half.h5")})).exitCode, 0);
    ASSERT_EQ(RunBatch(Args(mode, n, 499, {"--init", At("half.h5"), "--out", At("rest.raw")})).exitCode, 0);
    ASSERT_EQ(RunBatch(Args(mode, n, 999, {"--random", "5", "--out", At("whole.raw")})).exitCode, 0);
    EXPECT_EQ(Slurp(At("rest.raw")), Slurp(At("whole.raw")));

    // The steps add up over continuations; the coefficients are the texts as given.
    ASSERT_EQ(RunBatch(Args(mode, n, 499, {"--init", At("half.h5"), "--out", At("rest.h5")})).exitCode, 0);
    const rdsim::FieldFile rest = rdsim::ReadFieldFile(At("rest.h5"));
    EXPECT_EQ(rest.steps, 999);
    EXPECT_EQ(rest.coefficients[6], "-0.15");
    EXPECT_EQ(rest.mode, mode == "1d" ? rdsim::Mode::OneD : rdsim::Mode::TwoD);
    std::vector<float> both = rest.u;
    both.insert(both.end(), rest.v.begin(), rest.v.end());
    EXPECT_EQ(both, RawFloats(At("whole.raw")));
  }
}

TEST(BatchFiles, RefusesAFieldFileItCannotContinue) {
  ASSERT_EQ(RunBatch(Args("2d", 16, 1, {"--out", At("square.h5")})).exitCode, 0);
  std::ofstream(At("text.h5")) << "not a field";
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {Args("1d", 16, 1, {"--init", At("square.h5")}),
       "holds a 2d field of size 16; --mode 1d --size 16 asks for a "
       "1d field of size 16"},
      {Args("2d", 20, 1, {"--init", At("square.h5")}),
       "holds a 2d field of size 16; --mode 2d --size 20 asks for a "
       "2d field of size 20"},
      {Args("2d", 16, 1, {"--init", At("text.h5")}), "it is not an HDF5 file"},
      {Args("2d", 16, 1, {"--init", At("none.h5")}), "there is no such file"},
  };
  for (const auto& c : cases) {
    fs::remove(At("out.h5"));
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--out", At("out.h5")});
    const Outcome outcome = RunBatch(args);
    EXPECT_EQ(outcome.exitCode, 2) << outcome.err;
    EXPECT_NE(outcome.err.find("rdsim-batch: --init: "), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
    EXPECT_FALSE(fs::exists(At("out.h5")));
  }
}

// Each GIF frame after step M, 2M, 3M is the --bmp picture of a run of that many steps.
TEST(BatchFiles, GifFramesAreTheBitmapsOfTheirSteps) {
  for (const std::string mode : {"2d", "1d"}) {
    SCOPED_TRACE(mode);
    ASSERT_EQ(RunBatch(Args(mode, 24, 61, {"--random", "3", "--movie", At("run.gif"), "--frame-every", "20"})).exitCode,
              0);
    const rdsim::testing::MovieContents movie = rdsim::testing::ReadMovie(At("run.gif"));
    ASSERT_EQ(movie.error, "");
    ASSERT_EQ(movie.frames.size(), 3u);
    for (int j = 1; j <= 3; ++j) {
      ASSERT_EQ(RunBatch(Args(mode, 24, 20 * j, {"--random", "3", "--bmp", At("step.bmp")})).exitCode, 0);
      EXPECT_EQ(movie.frames[static_cast<std::size_t>(j - 1)].pixels, Decode(At("step.bmp")).pixels) << "frame " << j;
    }
  }
}

TEST(BatchFiles, VideosHoldAFrameForEveryMthStep) {
  const struct {
    std::string mode;
    int n;
    std::vector<std::string> more;
    const char* name;
    const char* codec;
    int width, height;
  } cases[] = {
      {"2d", 128, {}, "run.mp4", "h264", 256, 256},
      {"2d", 128, {}, "run.webm", "vp9", 256, 256},
      {"1d", 50, {}, "line.mp4", "h264", 150, 372},  // 50 x 124 enlarged 3 times
      {"2d", 30, {"--scale", "1", "--palette", "cividis"}, "small.webm", "vp9", 30, 30},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> more{"--random", "1", "--movie", At(c.name), "--frame-every", "100"};
    more.insert(more.end(), c.more.begin(), c.more.end());
    const Outcome outcome = RunBatch(Args(c.mode, c.n, 550, more));
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const rdsim::testing::MovieContents movie = rdsim::testing::ReadMovie(At(c.name));
    ASSERT_EQ(movie.error, "");
    EXPECT_EQ(movie.codec.substr(0, 4), std::string(c.codec).substr(0, 4));
    EXPECT_EQ(movie.width, c.width);
    EXPECT_EQ(movie.height, c.height);
    EXPECT_EQ(movie.frames.size(), 5u);
  }
}

// Row j of the space-time image shows the line after step (j + 1) M, each
// cell through the palette as the 2D image would grey it.
TEST(BatchFiles, SpaceTimeRowsAndPngPixelsShowTheirFields) {
  const rdsim::Palette& viridis = *rdsim::FindPalette("viridis");
  ASSERT_EQ(RunBatch(Args("1d", 40, 95,
                          {"--random", "2", "--kymograph", At("k.png"), "--frame-every", "30", "--palette", "viridis"}))
                .exitCode,
            0);
  const PixelImage rows = Decode(At("k.png"));
  ASSERT_EQ(rows.width, 40);
  ASSERT_EQ(rows.height, 3);
  for (int j = 0; j < 3; ++j) {
    ASSERT_EQ(RunBatch(Args("1d", 40, 30 * (j + 1), {"--random", "2", "--out", At("line.raw")})).exitCode, 0);
    const std::vector<float> line = RawFloats(At("line.raw"));
    for (int x = 0; x < 40; ++x) {
      EXPECT_EQ(rows.at(x, j), viridis.colours[rdsim::GreyLevel(line[static_cast<std::size_t>(x)])]) << j << "," << x;
    }
  }

  const rdsim::Palette& magma = *rdsim::FindPalette("magma");
  ASSERT_EQ(RunBatch(Args("2d", 20, 40,
                          {"--random", "2", "--png", At("p.png"), "--scale", "3", "--palette", "magma", "--out",
                           At("p.raw")}))
                .exitCode,
            0);
  const PixelImage png = Decode(At("p.png"));
  ASSERT_EQ(png.width, 60);
  ASSERT_EQ(png.height, 60);
  const std::vector<float> field = RawFloats(At("p.raw"));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x)
      EXPECT_EQ(png.at(3 * x + 2, 3 * y + 1),
                magma.colours[rdsim::GreyLevel(field[static_cast<std::size_t>(20 * y + x)])]);
}

TEST(BatchFiles, RefusesPictureFlagsThatCannotWork) {
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {Args("2d", 16, 10, {"--kymograph", At("k.png"), "--frame-every", "1"}),
       "--kymograph: a space-time image needs --mode 1d"},
      {Args("1d", 16, 10, {"--kymograph", At("k.bmp"), "--frame-every", "1"}), "must end in .png"},
      {Args("1d", 16, 70000, {"--kymograph", At("k.png"), "--frame-every", "1"}), "70000 rows"},
      {Args("2d", 16, 10, {"--movie", At("m.avi"), "--frame-every", "1"}), "must end in .gif, .mp4 or .webm"},
      {Args("2d", 16, 10, {"--movie", At("m.gif")}), "--frame-every: missing"},
      {Args("2d", 16, 10, {"--frame-every", "5"}), "--frame-every: applies to --movie and --kymograph"},
      {Args("2d", 16, 10, {"--movie", At("m.gif"), "--frame-every", "0"}), "from 1 to"},
      {Args("2d", 16, 10, {"--png", At("p.png"), "--scale", "33"}),
       "--scale: \"33\" is not a whole number from 1 to 32"},
      {Args("2d", 16, 10, {"--bmp", At("p.bmp"), "--scale", "2"}), "--scale: applies to --png and --movie"},
      {Args("2d", 16, 10, {"--png", At("p.png"), "--palette", "jet"}), "is none of grey, viridis, magma, cividis"},
      {Args("2d", 16, 10, {"--out", At("same.gif"), "--movie", At("same.gif"), "--frame-every", "1"}),
       "is also the --out file"},
      {Args("2d", 16, 10, {"--movie", At("missing/m.gif"), "--frame-every", "1"}), "does not exist"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunBatch(c.args);
    EXPECT_EQ(outcome.exitCode, 2) << c.says;
    EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
  }
}

// A movie that runs into a full disk ends with a message naming it; the run
// and the other outputs go on; an older movie stays as it was.
TEST(BatchFiles, AFailingMovieEndsAloneAndTheRunGoesOn) {
  std::ofstream(At("full.gif")) << "older";
  fs::remove(At("after.h5"));
  const Outcome outcome = RunBatch(
      Args("2d", 128, 400, {"--random", "1", "--movie", At("full.gif"), "--frame-every", "1", "--out", At("after.h5")}),
      300000);
  EXPECT_EQ(outcome.exitCode, 2);
  EXPECT_NE(outcome.err.find("--movie: cannot record \"" + At("full.gif") + "\""), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("the recording ended, the run goes on"), std::string::npos) << outcome.err;
  EXPECT_EQ(Slurp(At("full.gif")), "older");
  EXPECT_EQ(rdsim::ReadFieldFile(At("after.h5")).steps, 400);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: rdsim_batch_files_check BATCH WORKDIR\n");
    return 2;
  }
  Batch = argv[1];
  Work = argv[2];
  fs::remove_all(Work);
  fs::create_directories(Work);
  return RUN_ALL_TESTS();
}
