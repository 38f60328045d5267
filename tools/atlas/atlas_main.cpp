// rdsim-atlas: sweeps two coefficients over a grid, runs every point from the
// same seeded noise and writes the table and the contact sheet of the
// outcomes. Exit 0 when the atlas is written (faults at points are rows of
// it), 1 when writing fails on the way, 2 for a bad command line or a
// directory it must not use, 128 + the signal when SIGTERM or SIGINT stopped it.

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QGuiApplication>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "atlas/atlas_folder.h"
#include "atlas/atlas_options.h"
#include "atlas/atlas_point.h"
#include "atlas/atlas_queue.h"
#include "atlas/atlas_sheet.h"
#include "atlas/atlas_store.h"
#include "core/message_text.h"
#include "files/file_access.h"

namespace {

using namespace rdsim;
using namespace rdsim::atlas;

constexpr int Completed = 0, Failed = 1, BadArguments = 2;

// Qt's own notes (a missing runtime directory and the like) are no business
// of the atlas's stderr; only its errors get through.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "rdsim-atlas: %s\n", Printable(message.toStdString()).c_str());
}

// Arguments and files' texts are echoed: a terminal must not act on them.
void Complain(const std::string& message) { std::fprintf(stderr, "rdsim-atlas: %s\n", Printable(message).c_str()); }

std::size_t FieldValues(const RunOptions& options, int n) {
  const auto cells = static_cast<std::size_t>(n);
  return 2 * (options.mode == Mode::TwoD ? cells * cells : cells);
}

// The signal that asked the run to stop (SIGTERM from a batch system's time
// limit or preemption, SIGINT from a terminal), 0 while none did.
volatile std::sig_atomic_t stopSignal = 0;
std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void RequestStop(int signal) {
  if (stopSignal == 0) stopSignal = signal;
  stopRequested.store(true);
}

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = RequestStop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

// The CPUs this process may run on: what a batch allocation or taskset grants.
int AllowedCpus() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores);
}

// atlas.csv and atlas.png from the stored points, one point in memory at a
// time; sources[p] is the directory that holds point p.
StepCount WriteAtlas(const std::string& out, const RunOptions& options, int n,
                     const std::vector<std::string>& sources) {
  std::string csv = CsvHeader(options);
  ContactSheet sheet(options, n);
  StepCount steps;
  for (std::size_t point = 0; point < options.PointCount(); ++point) {
    const std::optional<StoredPoint> stored = ReadSweepPoint(sources[point], options, point, FieldValues(options, n));
    if (!stored)
      throw std::runtime_error("point " + std::to_string(point) + " is missing in " + Echoed(sources[point]));
    csv += stored->row;
    steps.computed += stored->steps;
    steps.requested += options.steps;
    sheet.Place(point, stored->pattern, stored->predicted == "stationary_pattern", stored->field);
  }
  // Both or neither: a failure leaves no table without its sheet. The sheet
  // is renamed first, so that where the table is, its sheet is; a sheet
  // alone (a writer killed between the renames) goes at the next run or merge.
  WholeFiles files;
  files.Add(out + "/atlas.png", sheet.Png());
  files.Add(out + "/atlas.csv", csv);
  files.Commit();
  return steps;
}

std::string PointName(const RunOptions& options, std::size_t point) {
  return "point " + std::to_string(point) + " (k" + std::to_string(options.x.coefficient) + "=" + options.XText(point) +
         ", k" + std::to_string(options.y.coefficient) + "=" + options.YText(point) + ")";
}

// The sweep in DIR against this run's, for --resume: ArgumentError naming the
// first flag that differs.
void CheckSameSweep(const RunOptions& options) {
  const RunOptions stored = ReadRunDescription(options.outDir);
  std::optional<std::string> differs;
  try {
    differs = FirstDifference(options, stored);
  } catch (const ArgumentError& error) {
    throw ArgumentError(options.outDir, std::string("atlas-run.txt: ") + error.what());
  }
  if (differs) {
    throw ArgumentError(*differs, "differs from the sweep in " + Echoed(options.outDir) +
                                      " (atlas-run.txt); --resume " +
                                      "continues the same sweep only, so nothing there was changed");
  }
}

// This shard's points that `kept` (ascending) does not hold.
std::vector<std::size_t> PointsToCompute(const RunOptions& options, const std::vector<std::size_t>& kept) {
  std::vector<std::size_t> points;
  for (std::size_t p = 0, k = 0; p < options.PointCount(); ++p) {
    if (!options.shard.Holds(p)) continue;
    if (k < kept.size() && kept[k] == p) {
      ++k;
    } else {
      points.push_back(p);
    }
  }
  return points;
}

struct Tally {
  std::atomic<int> faults{0};
  std::atomic<std::size_t> computed{0};
  std::atomic<std::int64_t> steps{0};
};

// Runs and stores the points on --jobs threads until done or asked to stop.
void ComputePoints(const RunOptions& options, const std::vector<std::size_t>& points, Tally& tally) {
  const PointControl control{options.skipSettled, &stopRequested};
  if (stopRequested) return;
  RunWorkQueue(
      points, options.jobs,
      [&](std::size_t point) {
        const PointResult result = RunPoint(options, point, control);
        if (result.interrupted) return;  // dropped whole: a resume runs it again
        WritePoint(options.outDir, point, CsvRow(options, point, result), result);
        if (!result.metrics) ++tally.faults;
        ++tally.computed;
        tally.steps += result.stepsComputed;
      },
      isatty(STDERR_FILENO) != 0, &stopRequested);
}

int Run(RunOptions options) {
  const int n = CheckIntake(options);
  const std::string& dir = options.outDir;
  // A different sweep is refused before anything in DIR is touched.
  if (options.resume && HasRunDescription(dir)) CheckSameSweep(options);
  // Refused unless new or the atlas's own, before anything there is touched.
  CheckAtlasFolder(dir, "--out");
  MarkAtlasFolder(dir, "--out");
  const FolderLock lock(dir, "--out");
  CheckAtlasFolder(dir, "--out");  // again, now that no other run can change it
  PrepareDirectory(dir, "--out");

  // Every check is made: from here on only the atlas's own files go.
  RemoveResults(dir);
  StepCount keptSteps;
  std::vector<std::size_t> kept;
  if (options.resume && HasRunDescription(dir)) {
    CheckSameSweep(options);  // again, now that no other run can change it
    kept = KeepWholePoints(dir, options, FieldValues(options, n), keptSteps);
  } else {
    ClearPoints(dir);
  }
  WriteRunDescription(dir, options);

  const std::vector<std::size_t> points = PointsToCompute(options, kept);
  const std::size_t shardPoints = kept.size() + points.size();
  const auto start = std::chrono::steady_clock::now();
  Tally tally;
  ComputePoints(options, points, tally);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  StepCount total{keptSteps.computed + tally.steps, keptSteps.requested + options.steps * std::int64_t(tally.computed)};

  // A shard leaves the table and the sheet to the merge.
  if (!stopRequested && options.shard.count == 1) {
    total = WriteAtlas(dir, options, n, std::vector<std::string>(options.PointCount(), dir));
  }
  if (!stopRequested) WriteRunDescription(dir, options, total);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  // kept and computed count this shard's points; steps, those computed now.
  std::printf("points=%zu faults=%d kept=%zu computed=%zu steps=%lld/%lld seconds=%.3f jobs=%d peak_kb=%ld\n",
              shardPoints, tally.faults.load(), kept.size(), tally.computed.load(),
              static_cast<long long>(tally.steps.load()),
              static_cast<long long>(options.steps * static_cast<std::int64_t>(tally.computed.load())), seconds,
              options.jobs, usage.ru_maxrss);
  if (stopRequested) {
    const int signal = stopSignal == 0 ? SIGTERM : stopSignal;
    Complain(std::string("stopped by ") + (signal == SIGINT ? "SIGINT" : "SIGTERM") + " with " +
             std::to_string(kept.size() + tally.computed) + " of " + std::to_string(shardPoints) +
             " points stored; run again with --resume to compute the rest");
    return 128 + signal;
  }
  return Completed;
}

int Merge(const MergeOptions& merge) {
  RunOptions options = ReadRunDescription(merge.shardDirs.front());
  options.palette = merge.palette;
  for (const std::string& dir : merge.shardDirs) {
    std::optional<std::string> differs;
    try {
      differs = FirstDifference(options, ReadRunDescription(dir));
    } catch (const ArgumentError& error) {
      throw ArgumentError(dir, std::string("atlas-run.txt: ") + error.what());
    }
    // Shards differ in --shard alone.
    if (differs && *differs != "--shard") {
      throw ArgumentError(
          dir, "holds another sweep than " + Echoed(merge.shardDirs.front()) + " (" + *differs + " differs)");
    }
    std::error_code error;
    if (std::filesystem::equivalent(dir, merge.outDir, error)) {
      throw ArgumentError("--out", Echoed(merge.outDir) + " is also a shard directory; merge into another one");
    }
  }
  std::vector<std::unique_ptr<ReadLock>> locks;
  for (const std::string& dir : merge.shardDirs) locks.push_back(std::make_unique<ReadLock>(dir));
  const int n = CheckIntake(options);

  // Every point once, whole, of this sweep, before anything is written.
  std::vector<std::string> sources(options.PointCount());
  for (std::size_t p = 0; p < sources.size(); ++p) {
    for (const std::string& dir : merge.shardDirs) {
      if (!HasPoint(dir, p)) continue;
      if (!sources[p].empty()) {
        throw ArgumentError(dir, PointName(options, p) + " is also in " + Echoed(sources[p]));
      }
      try {
        ReadSweepPoint(dir, options, p, FieldValues(options, n));
      } catch (const std::runtime_error& error) {
        throw ArgumentError(dir, PointName(options, p) + ": " + error.what());
      }
      sources[p] = dir;
    }
    if (sources[p].empty()) {
      throw ArgumentError("SHARD_DIR", PointName(options, p) + " is in none of the shard directories");
    }
  }
  CheckAtlasFolder(merge.outDir, "--out");
  MarkAtlasFolder(merge.outDir, "--out");
  const FolderLock lock(merge.outDir, "--out");
  CheckAtlasFolder(merge.outDir, "--out");
  PrepareDirectory(merge.outDir, "--out");
  // The merged directory holds the table and the sheet, not another sweep's points.
  RemoveResults(merge.outDir);
  ClearPoints(merge.outDir);
  ::rmdir((merge.outDir + "/points").c_str());
  RunOptions whole = options;
  whole.shard = Shard{};
  WriteRunDescription(merge.outDir, whole);
  const StepCount steps = WriteAtlas(merge.outDir, options, n, sources);
  WriteRunDescription(merge.outDir, whole, steps);
  std::printf("points=%zu shards=%zu steps=%lld/%lld\n", sources.size(), merge.shardDirs.size(),
              static_cast<long long>(steps.computed), static_cast<long long>(steps.requested));
  return Completed;
}

}  // namespace

int main(int argc, char** argv) {
  Command command;
  try {
    command = ParseCommand(argc, argv, AllowedCpus());
  } catch (const ArgumentError& error) {
    Complain(error.what());
    return BadArguments;
  }
  if (command.kind == Command::Help) {
    std::fputs(Usage(), stdout);
    return Completed;
  }
  // Text on the sheet must not depend on a display: the same fonts and
  // rendering wherever a shard or the merge runs.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(QuietQtMessages);
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QGuiApplication application(qtArgc, qtArgv);
  CatchStopSignals();
  try {
    return command.kind == Command::Run ? Run(command.run) : Merge(command.merge);
  } catch (const ArgumentError& error) {
    Complain(error.what());
    return BadArguments;
  } catch (const std::exception& error) {
    Complain(error.what());
    return Failed;
  }
}
