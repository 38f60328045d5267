// rdsim-atlas: sweeps two coefficients over a grid, runs every point from the
// same seeded noise and writes the table and the contact sheet of the
// outcomes. Exit 0 when the atlas is written (faults at points are rows of
// it), 1 when writing fails on the way, 2 for a bad command line.

#include <sys/resource.h>
#include <unistd.h>

#include <QGuiApplication>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <thread>

#include "atlas/atlas_options.h"
#include "atlas/atlas_point.h"
#include "atlas/atlas_queue.h"
#include "atlas/atlas_sheet.h"
#include "atlas/atlas_store.h"
#include "batch_run.h"

namespace {

using namespace rdsim;
using namespace rdsim::atlas;

constexpr int Completed = 0, Failed = 1, BadArguments = 2;

// Qt's own notes (a missing runtime directory and the like) are no business
// of the atlas's stderr; only its errors get through.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "rdsim-atlas: %s\n", qPrintable(message));
}

void Complain(const std::string& message) { std::fprintf(stderr, "rdsim-atlas: %s\n", message.c_str()); }

std::size_t FieldValues(const RunOptions& options, int n) {
  const auto cells = static_cast<std::size_t>(n);
  return 2 * (options.mode == Mode::TwoD ? cells * cells : cells);
}

// atlas.csv and atlas.png from the stored points, one point in memory at a
// time; sources[p] is the directory that holds point p.
void WriteAtlas(const std::string& out, const RunOptions& options, int n, const std::vector<std::string>& sources) {
  std::string csv = CsvHeader(options);
  ContactSheet sheet(options, n);
  for (std::size_t point = 0; point < options.PointCount(); ++point) {
    const std::optional<StoredPoint> stored = ReadPoint(sources[point], point, FieldValues(options, n));
    if (!stored)
      throw std::runtime_error("point " + std::to_string(point) + " is missing in \"" + sources[point] + "\"");
    csv += stored->row;
    sheet.Place(point, stored->pattern, stored->field);
  }
  WriteWhole(out + "/atlas.csv", csv);
  sheet.Save(out + "/atlas.png");
}

int Run(RunOptions options) {
  const int n = CheckIntake(options);
  PrepareDirectory(options.outDir, "--out");
  ClearPoints(options.outDir);
  WriteRunDescription(options.outDir, options);

  std::vector<std::size_t> points;
  for (std::size_t p = 0; p < options.PointCount(); ++p) {
    if (options.shard.Holds(p)) points.push_back(p);
  }
  const auto start = std::chrono::steady_clock::now();
  std::atomic<int> faults{0};
  RunWorkQueue(
      points, options.jobs,
      [&](std::size_t point) {
        const PointResult result = RunPoint(options, point);
        if (!result.metrics) ++faults;
        WritePoint(options.outDir, point, CsvRow(options, point, result), result);
      },
      isatty(STDERR_FILENO) != 0);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  // A shard leaves the table and the sheet to the merge.
  if (options.shard.count == 1) {
    WriteAtlas(options.outDir, options, n, std::vector<std::string>(options.PointCount(), options.outDir));
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("points=%zu faults=%d seconds=%.3f jobs=%d peak_kb=%ld\n", points.size(), faults.load(), seconds,
              options.jobs, usage.ru_maxrss);
  return Completed;
}

int Merge(const MergeOptions& merge) {
  RunOptions options = ReadRunDescription(merge.shardDirs.front());
  options.palette = merge.palette;
  for (const std::string& dir : merge.shardDirs) {
    if (DescribeRun(ReadRunDescription(dir)) != DescribeRun(options)) {
      throw ArgumentError(dir, "holds another sweep than \"" + merge.shardDirs.front() + "\"");
    }
  }
  const int n = CheckIntake(options);
  std::vector<std::string> sources(options.PointCount());
  for (std::size_t p = 0; p < sources.size(); ++p) {
    for (const std::string& dir : merge.shardDirs) {
      if (HasPoint(dir, p)) {
        sources[p] = dir;
        break;
      }
    }
    if (sources[p].empty()) {
      throw ArgumentError("SHARD_DIR", "point " + std::to_string(p) + " (k" + std::to_string(options.x.coefficient) +
                                           "=" + options.XText(p) + ", k" + std::to_string(options.y.coefficient) +
                                           "=" + options.YText(p) + ") is in none of the shard directories");
    }
  }
  PrepareDirectory(merge.outDir, "--out");
  RunOptions whole = options;
  whole.shard = Shard{};
  WriteRunDescription(merge.outDir, whole);
  WriteAtlas(merge.outDir, options, n, sources);
  std::printf("points=%zu shards=%zu\n", sources.size(), merge.shardDirs.size());
  return Completed;
}

}  // namespace

int main(int argc, char** argv) {
  Command command;
  try {
    const unsigned cores = std::thread::hardware_concurrency();
    command = ParseCommand(argc, argv, cores == 0 ? 1 : static_cast<int>(cores));
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
