// rdsim-batch: the simulator's steps without the window, for scripts, checks
// and timing. Exit 0 after all steps, 1 when a step raised a run-time error,
// 2 for a bad command line, an output that could not be written, or a linear
// stability analysis that cannot be made.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "analysis/dominant_wavelength.h"
#include "analysis/linear_stability.h"
#include "analysis/stability_csv.h"
#include "batch_options.h"
#include "batch_run.h"
#include "core/constants.h"
#include "core/noise_fill.h"
#include "core/number_text.h"
#include "core/run_error.h"
#include "core/step_loop.h"
#include "files/file_access.h"
#include "files/raw_field.h"
#include "image_io/image_file.h"
#include "params/builtin_presets.h"
#include "pixels/field_picture.h"

namespace {

using namespace rdsim;
using namespace rdsim::batch;

constexpr int Completed = 0, StepFailed = 1, BadArguments = 2;

// Arguments are echoed in messages: their control bytes (an escape sequence,
// a line break) are shown as \xHH instead of reaching the terminal.
std::string Printable(const std::string& text) {
  std::string shown;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      shown += escaped;
    } else {
      shown += c;
    }
  }
  return shown;
}

void Complain(const std::string& message) { std::fprintf(stderr, "rdsim-batch: %s\n", Printable(message).c_str()); }

// One line per built-in preset, for the script that draws the README pictures.
void ListPresets() {
  for (const BuiltinPreset& preset : BuiltinPresets()) {
    std::string params;
    for (const float value : preset.record.values) params += (params.empty() ? "" : ",") + FormatSingle(value);
    std::printf("%s|%s|%s|%d|%d\n", preset.record.name.c_str(), params.c_str(),
                preset.mode == Mode::TwoD ? "2d" : "1d", preset.size, preset.steps);
  }
}

// Before the first step: every output can be written, and none is another's
// file or the --init file, which a rename would replace.
void CheckOutputs(const BatchOptions& options) {
  const std::pair<const char*, const std::optional<std::string>*> outputs[] = {{"--out", &options.outPath},
                                                                              {"--bmp", &options.bmpPath}};
  for (const auto& [flag, path] : outputs) {
    if (!*path) continue;
    try {
      CheckOutputPath(**path);
    } catch (const RunError& error) {
      throw ArgumentError(flag, error.detail());
    }
    if (options.initPath && SameFile(**path, *options.initPath)) {
      throw ArgumentError(flag, "\"" + **path + "\" is the --init file; write to another file");
    }
  }
  if (options.outPath && options.bmpPath && SameFile(*options.outPath, *options.bmpPath)) {
    throw ArgumentError("--bmp", "\"" + *options.bmpPath + "\" is also the --out file; give each its own file");
  }
}

// The newest field into --out and --bmp, both or neither. Returns false after a complaint.
bool WriteOutputs(const Simulation& sim, const BatchOptions& options) {
  WholeFiles files;
  const char* flag = "--out";
  try {
    if (options.outPath) files.Add(*options.outPath, EncodeRawFloats(NewestField(sim, options.mode)));
    flag = "--bmp";
    if (options.bmpPath) {
      files.Add(*options.bmpPath, EncodeImageFile(*options.bmpPath, ComposeFieldPicture(sim, options.mode)));
    }
  } catch (const RunError& error) {
    Complain(std::string(flag) + ": " + error.detail() + "; no output was changed");
    return false;
  }
  try {
    files.Commit();
  } catch (const RunError& error) {
    Complain(error.detail());
    return false;
  }
  return true;
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
    TakeParameters(sim, options);
    if (options.analyze) return Analyze(sim, options);
    if (options.initPath) {
      try {
        LoadField(sim, options.mode, ReadRawFloats(*options.initPath, 2 * CellCount(sim, options.mode)));
      } catch (const std::runtime_error& error) {
        throw ArgumentError("--init", error.what());
      }
    }
    if (options.randomSeed) {
      const std::size_t cells = CellCount(sim, options.mode);
      FillNoise(sim.buffers.U, sim.buffers.V, cells, *options.randomSeed);
    }
    CheckOutputs(options);
  } catch (const ArgumentError& error) {
    Complain(error.what());
    return BadArguments;
  }

  const auto start = std::chrono::steady_clock::now();
  const StepLoopOutcome outcome = RunSteps(sim, options.mode, options.steps);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (outcome.fault) {
    Complain("step " + std::to_string(outcome.stepsDone + 1) + " of " + std::to_string(options.steps) + ": " +
             outcome.fault->what());
  }
  const bool written = WriteOutputs(sim, options);
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
  const double rate = seconds > 0 ? static_cast<double>(outcome.stepsDone) / seconds : 0.0;
  std::printf("steps=%lld seconds=%.6f steps_per_second=%.1f\n", static_cast<long long>(outcome.stepsDone),
              seconds, rate);
  return Completed;
}

}  // namespace

int main(int argc, char** argv) {
  // Past a file size limit a write fails (and is reported) instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  return Run(argc, argv);
}
