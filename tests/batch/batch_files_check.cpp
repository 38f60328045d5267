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
#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "command_line/command_line.h"
#include "core/message_text.h"
#include "files/field_file.h"
#include "hostile_field_files.h"
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

// rdsim-batch started with these arguments; fileSizeLimit, when set, limits what it may write.
pid_t StartBatch(std::vector<std::string> args, rlim_t fileSizeLimit = 0) {
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
  return spawned == 0 ? pid : -1;
}

// exitCode -1: it did not start, or a signal ended it (`signal`).
struct Ending : Outcome {
  int signal = 0;
};

Ending AwaitBatch(pid_t pid) {
  Ending outcome;
  if (pid < 0) return outcome;
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
  outcome.out = Slurp(At("stdout.txt"));
  outcome.err = Slurp(At("stderr.txt"));
  return outcome;
}

Outcome RunBatch(std::vector<std::string> args, rlim_t fileSizeLimit = 0) {
  return AwaitBatch(StartBatch(std::move(args), fileSizeLimit));
}

// The hidden temporaries in the work folder.
std::vector<std::string> Temporaries() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Work)) {
    const std::string name = entry.path().filename().string();
    if (name[0] == '.' && name.size() > 4 && name.substr(name.size() - 4) == ".tmp") names.push_back(name);
  }
  return names;
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
      // No frame: refused alike for every format, before a file is made.
      {Args("2d", 16, 10, {"--movie", At("none.gif"), "--frame-every", "11"}), "records no frame, and a movie"},
      {Args("2d", 16, 10, {"--movie", At("none.mp4"), "--frame-every", "11"}), "records no frame, and a movie"},
      {Args("2d", 16, 0, {"--movie", At("none.webm"), "--frame-every", "1"}), "records no frame, and a movie"},
      {Args("1d", 16, 10, {"--kymograph", At("none.png"), "--frame-every", "11"}), "records no frame"},
      {Args("2d", 16, 10, {"--series", At("s.csv")}), "--every: missing"},
      {Args("2d", 16, 10, {"--every", "2"}), "--every: applies to --series"},
      {Args("2d", 16, 10, {"--series", At("s.csv"), "--every", "1", "--probe", "3"}), "needs X,Y with --mode 2d"},
      {Args("1d", 16, 10, {"--series", At("s.csv"), "--every", "1", "--probe", "3,4"}), "needs X alone"},
      {Args("2d", 16, 10, {"--series", At("s.csv"), "--every", "1", "--probe", "3,16"}), "outside the field"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunBatch(c.args);
    EXPECT_EQ(outcome.exitCode, 2) << c.says;
    EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
  }
  for (const char* name : {"none.gif", "none.mp4", "none.webm", "none.png"}) EXPECT_FALSE(fs::exists(At(name)));
}

// Every row of --series holds what the --out field of its step holds; a
// field that a step leaves unchanged ends --until-settled there.
TEST(BatchFiles, SeriesRowsAreTheFieldsOfTheirSteps) {
  const struct {
    std::string mode, probe;
    int n, px, py;
  } cases[] = {{"2d", "3,5", 12, 3, 5}, {"1d", "7", 30, 7, 0}};
  for (const auto& c : cases) {
    ASSERT_EQ(
        RunBatch(Args(c.mode, c.n, 60, {"--random", "4", "--series", At("s.csv"), "--every", "20", "--probe", c.probe}))
            .exitCode,
        0);
    std::istringstream rows(Slurp(At("s.csv")));
    std::string row;
    std::getline(rows, row);
    EXPECT_EQ(row, "step,mean_u,min_u,max_u,mean_v,min_v,max_v,probe_u,probe_v");
    for (int step = 0; step <= 60; step += 20) {
      ASSERT_TRUE(std::getline(rows, row)) << step;
      ASSERT_EQ(RunBatch(Args(c.mode, c.n, step, {"--random", "4", "--out", At("f.raw")})).exitCode, 0);
      const std::vector<float> field = RawFloats(At("f.raw"));
      const std::size_t cells = field.size() / 2;
      std::vector<double> expected{static_cast<double>(step)};
      for (const std::size_t from : {std::size_t{0}, cells}) {
        double sum = 0;
        for (std::size_t i = from; i < from + cells; ++i) sum += field[i];
        const auto [low, high] = std::minmax_element(field.begin() + from, field.begin() + from + cells);
        expected.insert(expected.end(), {sum / cells, *low, *high});
      }
      const std::size_t probe = static_cast<std::size_t>(c.py * c.n + c.px);
      expected.insert(expected.end(), {field[probe], field[cells + probe]});
      std::vector<double> got;
      for (const std::string& text : rdsim::cli::Split(row, ',')) got.push_back(std::stod(text));
      ASSERT_EQ(got.size(), expected.size());
      for (std::size_t i = 0; i < got.size(); ++i) {
        // The means are summed in blocks: close; the rest are the field's own values.
        const bool mean = i == 1 || i == 4;
        EXPECT_NEAR(got[i], expected[i], mean ? 1e-6 * std::fabs(expected[i]) : 0.0) << step << " column " << i;
      }
    }
    EXPECT_FALSE(std::getline(rows, row));
  }
  const Outcome still = RunBatch({"--mode", "2d", "--size", "8", "--steps", "50", "--params", "0,0,0,0,0,0,0,0,0,0,0.5",
                                  "--random", "1", "--until-settled"});
  EXPECT_EQ(still.out.substr(0, still.out.find('\n')), "settled_at=1");
  const Outcome moving = RunBatch(Args("2d", 8, 50, {"--random", "1", "--until-settled"}));
  EXPECT_EQ(moving.out.substr(0, moving.out.find('\n')), "settled_at=none");
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
  EXPECT_NE(outcome.err.find("--movie: cannot record " + rdsim::Echoed(At("full.gif"))), std::string::npos)
      << outcome.err;
  EXPECT_NE(outcome.err.find("the recording ended, the run goes on"), std::string::npos) << outcome.err;
  EXPECT_EQ(Slurp(At("full.gif")), "older");
  EXPECT_EQ(rdsim::ReadFieldFile(At("after.h5")).steps, 400);
}

// Each hostile field file through --init ends in exit 2 and its reason, a
// count that would overflow before the first step; damaged ones in 0 or 2.
// None ends in a signal.
TEST(BatchFiles, HostileFieldFilesEndInAMessageNeverASignal) {
  fs::create_directories(At("hostile"));
  for (const rdsim::HostileFieldFile& file : rdsim::MakeHostileFieldFiles(At("hostile"))) {
    const Outcome outcome = RunBatch(Args("2d", rdsim::HostileFieldSize, 10, {"--init", file.path}));
    if (file.damaged) {
      EXPECT_TRUE(outcome.exitCode == 0 || outcome.exitCode == 2) << file.name << ": " << outcome.err;
      continue;
    }
    EXPECT_EQ(outcome.exitCode, 2) << file.name;
    EXPECT_NE(outcome.err.find(file.refusal.empty() ? file.runRefusal : file.refusal), std::string::npos)
        << file.name << ": " << outcome.err;
  }
}

// A stopped movie run leaves no temporary, and a later run removes those of
// dead processes only.
TEST(BatchFiles, ASignalLeavesNoTemporary) {
  for (const std::string& name : Temporaries()) fs::remove(At(name));
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    const pid_t pid =
        StartBatch(Args("2d", 128, 1000000, {"--random", "1", "--movie", At("stopped.mp4"), "--frame-every", "1"}));
    std::vector<std::string> seen;
    for (int wait = 0; wait < 500 && seen.empty(); ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      seen = Temporaries();
    }
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].find("." + std::to_string(pid) + "."), std::string::npos) << seen[0];
    kill(pid, signal);
    EXPECT_EQ(AwaitBatch(pid).signal, signal);
    EXPECT_TRUE(Temporaries().empty());
    EXPECT_FALSE(fs::exists(At("stopped.mp4")));

    // The stopped run's name again, and the same with this live process's id.
    std::ofstream(At(seen[0])) << "left";
    std::string live = seen[0];
    live.replace(live.find("." + std::to_string(pid) + "."), std::to_string(pid).size() + 2,
                 "." + std::to_string(getpid()) + ".");
    std::ofstream(At(live)) << "in use";
    ASSERT_EQ(RunBatch(Args("2d", 16, 2, {"--movie", At("after.gif"), "--frame-every", "1"})).exitCode, 0);
    EXPECT_EQ(Temporaries(), std::vector<std::string>{live});
    fs::remove(At(live));
  }
}

// Values echoed from the command line or a file: controls escaped, length cut.
TEST(BatchFiles, MessagesEscapeControlsAndCutLongValues) {
  rdsim::FieldFile field{rdsim::Mode::TwoD, 4, std::vector<float>(16, 1.0f), std::vector<float>(16, 1.0f), {}, 0};
  for (std::size_t k = 0; k < field.coefficients.size(); ++k) field.coefficients[k] = "0.1";
  field.coefficients[3] =
      "0.1\xc2\x9b"
      "2J";
  std::ofstream(At("c1.h5"), std::ios::binary) << rdsim::EncodeFieldFile(field);
  const std::string huge(100000, '7');
  const auto args = [](const std::string& mode, const std::string& size, std::vector<std::string> more) {
    std::vector<std::string> line{"--mode", mode, "--size", size, "--steps", "1", "--params", Design};
    line.insert(line.end(), more.begin(), more.end());
    return line;
  };
  const struct {
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {args("2d", "4", {"--init", At("c1.h5")}), "\"0.1\\xc2\\x9b2J\" is not a number"},
      {args("\x1b]0;x\x07\xc2\x85\xff", "4", {}), "\"\\x1b]0;x\\x07\\xc2\\x85\\xff\" is neither 1d nor 2d"},
      {args("2d", huge, {}), "--size: "},
      {args("2d", "4", {"--png", At("p.png"), "--palette", huge}), "--palette: \"7777"},
      {args(huge, "4", {}), "--mode: \"7777"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunBatch(c.args);
    EXPECT_EQ(outcome.exitCode, 2) << outcome.err;
    EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
    EXPECT_LT(outcome.err.size(), 400u) << outcome.err.substr(0, 400);
    for (const char byte : outcome.err) EXPECT_TRUE(byte == '\n' || (byte >= 0x20 && byte < 0x7F)) << outcome.err;
  }
}

// All or nothing, --png among the outputs: the limit is one byte short of
// the output that fails (a movie's last bytes come only as it is finished),
// and every other output fits; the older files all stay as they were.
TEST(BatchFiles, AnOutputThatFailsLeavesEveryOlderOutputAndThePng) {
  const std::string folder = At("all-or-none");
  const struct {
    std::string mode;
    int n;
    std::vector<std::string> more;
    std::vector<std::pair<std::string, std::string>> outputs;  // flag, file name
    std::string failing;
  } cases[] = {
      {"2d", 16, {"--scale", "32"}, {{"--out", "f.raw"}, {"--png", "big.png"}}, "--png"},
      {"1d",
       128,
       {"--frame-every", "1"},
       {{"--out", "f.h5"}, {"--png", "p.png"}, {"--kymograph", "k.png"}},
       "--kymograph"},
      {"2d", 32, {"--frame-every", "10"}, {{"--png", "p.png"}, {"--bmp", "b.bmp"}, {"--movie", "m.gif"}}, "--movie"},
      {"2d", 32, {"--frame-every", "10"}, {{"--png", "p.png"}, {"--movie", "m.mp4"}}, "--movie"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failing + " in " + c.mode);
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::vector<std::string> args = Args(c.mode, c.n, 300, c.more);
    for (const auto& [flag, name] : c.outputs) args.insert(args.end(), {flag, folder + "/" + name});
    args.insert(args.end(), {"--random", "4"});
    ASSERT_EQ(RunBatch(args).exitCode, 0);
    std::uintmax_t failingSize = 0, largestOther = 0;
    for (const auto& [flag, name] : c.outputs) {
      const std::uintmax_t size = fs::file_size(folder + "/" + name);
      (flag == c.failing ? failingSize : largestOther) = std::max(flag == c.failing ? failingSize : largestOther, size);
      std::ofstream(folder + "/" + name, std::ios::trunc) << "older " << flag;
    }
    ASSERT_LT(largestOther, failingSize - 1) << "the limit would stop another output too";
    const Outcome outcome = RunBatch(args, failingSize - 1);
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_NE(outcome.err.find(c.failing + ": "), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("no output was changed"), std::string::npos) << outcome.err;
    // The folder holds the older outputs and nothing else.
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
      ++files;
      const std::string name = entry.path().filename().string();
      const auto output =
          std::find_if(c.outputs.begin(), c.outputs.end(), [&](const auto& o) { return o.second == name; });
      ASSERT_NE(output, c.outputs.end()) << name << " left in the folder";
      EXPECT_EQ(Slurp(entry.path().string()), "older " + output->first);
    }
    EXPECT_EQ(files, c.outputs.size());
  }
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
  // This check reads field files too, with the reader beside the batch runner.
  rdsim::SetFieldReaderProgram((fs::path(Batch).parent_path() / "rdsim-field-reader").string());
  fs::remove_all(Work);
  fs::create_directories(Work);
  return RUN_ALL_TESTS();
}
