// rdsim-batch: the simulator's steps without the window, for scripts, checks
// and timing. Exit 0 after all steps, 1 when a step raised a run-time error,
// 2 for a bad command line, an output that could not be written, or a linear
// stability analysis that cannot be made.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "analysis/dominant_wavelength.h"
#include "analysis/linear_stability.h"
#include "analysis/stability_csv.h"
#include "analysis/time_series.h"
#include "batch_options.h"
#include "command_line/intake.h"
#include "core/constants.h"
#include "core/message_text.h"
#include "core/noise_fill.h"
#include "core/number_text.h"
#include "core/run_error.h"
#include "core/step_loop.h"
#include "files/field_file.h"
#include "files/file_access.h"
#include "files/raw_field.h"
#include "files/temporary_files.h"
#include "image_io/image_file.h"
#include "params/builtin_presets.h"
#include "pixels/field_picture.h"
#include "pixels/field_range.h"
#include "pixels/space_time.h"
#include "video/movie_file.h"

namespace {

using namespace rdsim;
using namespace rdsim::batch;
using namespace rdsim::cli;

constexpr int Completed = 0, StepFailed = 1, BadArguments = 2;

// Arguments and files' texts are echoed: a terminal must not act on them.
void Complain(const std::string& message) { std::fprintf(stderr, "rdsim-batch: %s\n", Printable(message).c_str()); }

// One line per built-in preset, for the script that draws the README pictures.
void ListPresets() {
  for (const BuiltinPreset& preset : BuiltinPresets()) {
    std::string params;
    for (const float value : preset.record.values) params += (params.empty() ? "" : ",") + FormatSingle(value);
    std::printf("%s|%s|%s|%d|%d\n", preset.record.name.c_str(), params.c_str(), preset.mode == Mode::TwoD ? "2d" : "1d",
                preset.size, preset.steps);
  }
}

// Before the first step: every output can be written, and none is another's
// file or the --init file, which a rename would replace.
void CheckOutputs(const BatchOptions& options) {
  const std::pair<const char*, const std::optional<std::string>*> outputs[] = {{"--out", &options.outPath},
                                                                               {"--bmp", &options.bmpPath},
                                                                               {"--png", &options.pngPath},
                                                                               {"--movie", &options.moviePath},
                                                                               {"--kymograph", &options.kymographPath},
                                                                               {"--series", &options.seriesPath}};
  for (std::size_t i = 0; i < std::size(outputs); ++i) {
    const auto& [flag, path] = outputs[i];
    if (!*path) continue;
    try {
      CheckOutputPath(**path);
    } catch (const RunError& error) {
      throw ArgumentError(flag, error.detail());
    }
    if (options.initPath && SameFile(**path, *options.initPath)) {
      throw ArgumentError(flag, Echoed(**path) + " is the --init file; write to another file");
    }
    for (std::size_t j = 0; j < i; ++j) {
      const auto& [earlierFlag, earlier] = outputs[j];
      if (*earlier && SameFile(**path, **earlier)) {
        throw ArgumentError(flag, Echoed(**path) + " is also the " + earlierFlag + " file; give each its own file");
      }
    }
  }
}

// --init: a field file must hold the field that --mode and --size ask for.
// Returns the steps it says were run on it.
std::int64_t LoadInitialField(Simulation& sim, const BatchOptions& options) {
  const std::string& path = *options.initPath;
  if (!IsFieldFileName(path)) {
    try {
      LoadField(sim, options.mode, ReadRawFloats(path, 2 * CellCount(sim, options.mode)));
    } catch (const std::runtime_error& error) {
      throw ArgumentError("--init", error.what());
    }
    return 0;
  }
  FieldFile field;
  try {
    field = ReadFieldFile(path);
  } catch (const RunError& error) {
    throw ArgumentError("--init", error.detail());
  }
  const auto modeName = [](Mode mode) { return std::string(mode == Mode::TwoD ? "2d" : "1d"); };
  if (field.mode != options.mode || field.n != sim.N) {
    throw ArgumentError("--init", Echoed(path) + " holds a " + modeName(field.mode) + " field of size " +
                                      std::to_string(field.n) + "; --mode " + modeName(options.mode) + " --size " +
                                      options.sizeText + " asks for a " + modeName(options.mode) + " field of size " +
                                      std::to_string(sim.N));
  }
  std::vector<float> cells = field.u;
  cells.insert(cells.end(), field.v.begin(), field.v.end());
  LoadField(sim, options.mode, cells);
  // The count written after the run must fit where the file keeps it.
  if (field.steps > std::numeric_limits<std::int64_t>::max() - options.steps) {
    throw ArgumentError("--steps", "\"" + path + "\" has run " + std::to_string(field.steps) + " steps; " +
                                       std::to_string(options.steps) + " more would pass " +
                                       std::to_string(std::numeric_limits<std::int64_t>::max()) +
                                       ", the largest step count a field file holds");
  }
  return field.steps;
}

// The --png picture: the window's fixed scale, or that of --range, each
// species following its own automatic range across the frames of a movie.
struct PictureRangeFollowers {
  AutoRange activator, inhibitor;
};
PixelImage BatchPicture(const Simulation& sim, const BatchOptions& options, PictureRangeFollowers& followers) {
  if (!options.range) return ComposeFieldPicture(sim, options.mode, *options.palette);
  return ComposeRangedPicture(sim, options.mode, *options.palette,
                              RangesFor(sim, options.mode, *options.range, followers.activator, followers.inhibitor));
}

// The frames of --movie and the rows of --kymograph, at every --frame-every
// step of the one stepping loop.
class FrameHooks : public StepLoopHooks {
 public:
  FrameHooks(const Simulation& sim, const BatchOptions& options) : sim_(sim), options_(options) {
    if (options.kymographPath) {
      kymograph = std::make_unique<SpaceTimeRows>(static_cast<std::size_t>(options.steps / options.frameEvery));
    }
    if (!options.moviePath) return;
    PictureRangeFollowers probe;
    const PixelImage first = BatchPicture(sim, options, probe);
    const MovieFormat format = *MovieFormatOf(*options.moviePath);
    const int scale = options.scale ? *options.scale : DefaultMovieScale(format, first.width, first.height);
    try {
      movie = std::make_unique<MovieWriter>(*options.moviePath, first.width, first.height, scale,
                                            PictureColours(options.mode, *options.palette));
    } catch (const RunError& error) {
      throw ArgumentError("--movie", error.detail());
    }
  }

  void RedrawDue(std::int64_t) override {
    if (kymograph) kymograph->Add(NewestActivator(sim_, options_.mode), sim_.N);
    if (!movie) return;
    try {
      movie->Add(BatchPicture(sim_, options_, followers_));
    } catch (const RunError& error) {
      // The run goes on without its movie.
      Complain("--movie: " + error.detail() + "; the recording ended, the run goes on");
      movie.reset();
      movieFailed = true;
    }
  }

  std::unique_ptr<MovieWriter> movie;
  std::unique_ptr<SpaceTimeRows> kymograph;
  bool movieFailed = false;

 private:
  const Simulation& sim_;
  const BatchOptions& options_;
  PictureRangeFollowers followers_;
};

// --series and --until-settled on top of the frames: a row of the time series
// after every --every steps, streamed to a temporary that is renamed with the
// other outputs; the settle test after every step.
class RunHooks : public FrameHooks {
 public:
  RunHooks(const Simulation& sim, const BatchOptions& options, std::int64_t stepsBefore)
      : FrameHooks(sim, options),
        sim_(sim),
        options_(options),
        stepsBefore_(stepsBefore),
        settle_(sim, options.mode, 1) {
    if (options.probe) {
      probe_ = {static_cast<int>((*options.probe)[0]), static_cast<int>((*options.probe)[1])};
    } else {
      probe_ = CentreCell(sim.N);
    }
    if (!options.seriesPath) return;
    try {
      series = std::make_unique<TemporaryFile>(*options.seriesPath);
    } catch (const RunError& error) {
      throw ArgumentError("--series", error.detail());
    }
    file_ = std::fopen(series->Path().c_str(), "wb");
    if (!file_) throw ArgumentError("--series", "cannot write " + Echoed(*options.seriesPath));
    rows_ = SeriesCsvHeader();
    AppendSeriesCsvRow(rows_, SampleField(sim, options.mode, probe_, stepsBefore));
  }
  ~RunHooks() override {
    if (file_) std::fclose(file_);
  }

  void Stepped(std::int64_t k) override {
    if (file_ && k % options_.seriesEvery == 0) {
      AppendSeriesCsvRow(rows_, SampleField(sim_, options_.mode, probe_, stepsBefore_ + k));
      // A row every step: written in large pieces, the rows cost little more than their text.
      if (rows_.size() >= (std::size_t{1} << 16)) WriteRows();
    }
    if (options_.untilSettled && settle_.StepLeftFieldUnchanged(k)) settledAt = stepsBefore_ + k;
  }
  bool Yield(std::int64_t) override { return !settledAt; }

  // Closes the series; false when a row could not be written.
  bool FinishSeries() {
    if (!file_) return true;
    WriteRows();
    const bool whole = !failed_ && std::fflush(file_) == 0 && !std::ferror(file_);
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return whole && closed;
  }

  std::unique_ptr<TemporaryFile> series;
  std::optional<std::int64_t> settledAt;

 private:
  void WriteRows() {
    if (!failed_ && std::fwrite(rows_.data(), 1, rows_.size(), file_) != rows_.size()) failed_ = true;
    rows_.clear();
  }

  const Simulation& sim_;
  const BatchOptions& options_;
  std::int64_t stepsBefore_;
  ProbeCell probe_;
  SettleWatch settle_;
  std::FILE* file_ = nullptr;
  std::string rows_;  // not yet written
  bool failed_ = false;
};

// The newest field into every output, all or none: the movie is renamed into
// place only once the others are whole, and they only once it is. Returns
// false after a complaint.
bool WriteOutputs(const Simulation& sim, const BatchOptions& options, std::int64_t steps, RunHooks& frames) {
  WholeFiles files;
  const char* flag = "--out";
  try {
    if (options.outPath && IsFieldFileName(*options.outPath)) {
      FieldFile field{options.mode, sim.N, {}, {}, options.coefficients, steps};
      const std::vector<float> cells = NewestField(sim, options.mode);
      const auto half = static_cast<std::ptrdiff_t>(cells.size() / 2);
      field.u.assign(cells.begin(), cells.begin() + half);
      field.v.assign(cells.begin() + half, cells.end());
      files.Add(*options.outPath, EncodeFieldFile(field));
    } else if (options.outPath) {
      files.Add(*options.outPath, EncodeRawFloats(NewestField(sim, options.mode)));
    }
    flag = "--bmp";
    if (options.bmpPath) {
      files.Add(*options.bmpPath, EncodeImageFile(*options.bmpPath, ComposeFieldPicture(sim, options.mode)));
    }
    flag = "--png";
    if (options.pngPath) {
      PictureRangeFollowers followers;
      const PixelImage picture = BatchPicture(sim, options, followers);
      files.Add(*options.pngPath, EncodeImageFile(*options.pngPath, Enlarged(picture, options.scale.value_or(1))));
    }
    flag = "--kymograph";
    if (frames.kymograph) {
      files.Add(*options.kymographPath,
                EncodeImageFile(*options.kymographPath, frames.kymograph->Picture(*options.palette)));
    }
    flag = "--series";
    if (!frames.FinishSeries()) throw RunError(Fault::FileAccess, "cannot write " + Echoed(*options.seriesPath));
    flag = "--movie";
    if (frames.movie) frames.movie->Finish();
  } catch (const RunError& error) {
    Complain(std::string(flag) + ": " + error.detail() + "; no output was changed");
    return false;
  }
  try {
    if (frames.series) frames.series->Commit();
    files.Commit();
  } catch (const RunError& error) {
    Complain(error.detail());
    return false;
  }
  return !frames.movieFailed;
}

// --analyze: the steady states and their linear stability, nothing stepped.
int Analyze(const Simulation& sim, const BatchOptions& options) {
  try {
    const StabilityReport report = AnalyseStability(sim.coef, options.mode, sim.N);
    if (options.analyzeCsvPath) WriteFileWhole(*options.analyzeCsvPath, StabilityCsv(report));
    std::fputs(DescribeStability(report).c_str(), stdout);
  } catch (const RunError& error) {
    Complain(std::string(options.analyzeCsvPath ? "--analyze-csv: " : "--analyze: ") + error.what());
    return BadArguments;
  }
  return Completed;
}

int Run(int argc, const char* const* argv) {
  if (argc == 2 && std::string(argv[1]) == "--list-presets") {
    ListPresets();
    return Completed;
  }
  Simulation sim;
  BatchOptions options;
  std::int64_t stepsBefore = 0;
  std::unique_ptr<RunHooks> frames;
  if (argc <= 1) {  // called bare: show how to call it
    std::fputs(Usage(), stderr);
    return BadArguments;
  }
  try {
    options = ParseArguments(argc, argv);
    if (options.help) {
      std::fputs(Usage(), stdout);
      return Completed;
    }
    TakeParameters(sim, options.mode, options.sizeText, options.coefficients);
    if (options.analyze) return Analyze(sim, options);
    if (options.initPath) stepsBefore = LoadInitialField(sim, options);
    if (options.randomSeed) {
      const std::size_t cells = CellCount(sim, options.mode);
      FillNoise(sim.buffers.U, sim.buffers.V, cells, *options.randomSeed);
    }
    CheckOutputs(options);
    if (options.probe && ((*options.probe)[0] >= sim.N || (*options.probe)[1] >= sim.N)) {
      throw ArgumentError("--probe", "the cell lies outside the field of " + std::to_string(sim.N) +
                                         " cells a side; give numbers from 0 to " + std::to_string(sim.N - 1));
    }
    frames = std::make_unique<RunHooks>(sim, options, stepsBefore);
  } catch (const ArgumentError& error) {
    Complain(error.what());
    return BadArguments;
  }

  const auto start = std::chrono::steady_clock::now();
  const std::int64_t every = options.frameEvery > 0 ? options.frameEvery : NoRedraw;
  const StepLoopOutcome outcome = RunStepLoop(sim, options.mode, options.steps, every, *frames);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (outcome.fault) {
    const RunError fault = WithAdvice(
        *outcome.fault, StepFaultAdvice(*outcome.fault, "rdsim-batch --analyze with the same mode, size and params"));
    Complain("step " + std::to_string(outcome.stepsDone + 1) + " of " + std::to_string(options.steps) + ": " +
             fault.what());
  }
  const bool written = WriteOutputs(sim, options, stepsBefore + outcome.stepsDone, *frames);
  if (outcome.fault) return StepFailed;
  if (!written) return BadArguments;

  if (options.wavelength) {
    const std::vector<float> field = NewestField(sim, options.mode);
    const std::optional<double> wavelength = DominantWavelength(field, options.mode, sim.N);
    if (wavelength) {
      std::printf("wavelength=%.4g\n", *wavelength);
    } else {
      std::printf("wavelength=none\n");
    }
  }
  if (options.untilSettled) {
    if (frames->settledAt) {
      std::printf("settled_at=%lld\n", static_cast<long long>(*frames->settledAt));
    } else {
      std::printf("settled_at=none\n");
    }
  }
  const double rate = seconds > 0 ? static_cast<double>(outcome.stepsDone) / seconds : 0.0;
  std::printf("steps=%lld seconds=%.6f steps_per_second=%.1f\n", static_cast<long long>(outcome.stepsDone), seconds,
              rate);
  return Completed;
}

}  // namespace

int main(int argc, char** argv) {
  // Past a file size limit a write fails (and is reported) instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  // Caught, so that the stack unwinds and no temporary stays behind.
  try {
    return Run(argc, argv);
  } catch (const std::exception& error) {
    Complain(error.what());
    return BadArguments;
  }
}
