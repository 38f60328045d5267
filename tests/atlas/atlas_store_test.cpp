// The atlas's folders: point records that refuse any damage, a resume that
// keeps only whole points of the same sweep, the lock, and sweeps that are
// the same however they are written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "atlas/atlas_options.h"
#include "atlas/atlas_point.h"
#include "atlas/atlas_store.h"
#include "core/constants.h"

namespace rdsim::atlas {
namespace {

namespace fs = std::filesystem;

const std::string Design = cli::JoinCoefficientTexts(DesignCoefficientTexts());
const char* const Params = Design.c_str();

RunOptions Parse(std::vector<std::string> args) {
  args.insert(args.begin(), {"rdsim-atlas", "run"});
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  return ParseCommand(static_cast<int>(argv.size()), argv.data(), 1).run;
}

// The small sweep of these tests with one flag's value replaced.
RunOptions Sweep(const std::string& flag = "", const std::string& value = "") {
  std::vector<std::string> args{"--mode", "2d",       "--size", "8",   "--steps",       "150", "--params",
                                Params,   "--random", "3",      "--x", "0:0.06:0.08:2", "--y", "4:0.05:0.06:2",
                                "--out",  "d"};
  for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
    if (args[i] == flag) args[i + 1] = value;
  }
  if (!flag.empty() && std::find(args.begin(), args.end(), flag) == args.end()) args.insert(args.end(), {flag, value});
  return Parse(args);
}

std::string Folder(const std::string& name) {
  const std::string dir = ::testing::TempDir() + "atlas-" + name + "-" + std::to_string(getpid());
  fs::remove_all(dir);
  return dir;
}

TEST(AtlasSweep, TheSameSweepHoweverWrittenAndTheFirstFlagThatDiffers) {
  const RunOptions base = Sweep();
  const std::pair<std::pair<std::string, std::string>, std::optional<std::string>> cases[] = {
      {{"--steps", "0150"}, std::nullopt},
      {{"--random", "03"}, std::nullopt},
      {{"--size", "8.2"}, std::nullopt},  // the box rounds it to 8
      {{"--mode", "2D"}, std::nullopt},
      {{"--x", "0:.06:.08:2"}, std::nullopt},
      {{"--params", ".08,-.08,.040,3e-2,0.06,-0.03,-0.15,0.01,0.25,0.2,0.50"}, std::nullopt},
      // The swept boxes' texts in --params are never read.
      {{"--params", "9,-0.08,0.04,0.03,9,-0.03,-0.15,0.01,0.25,0.2,0.5"}, std::nullopt},
      {{"--jobs", "7"}, std::nullopt},
      {{"--no-skip", ""}, std::nullopt},
      {{"--mode", "1d"}, "--mode"},
      {{"--size", "9"}, "--size"},
      {{"--steps", "151"}, "--steps"},
      {{"--params", "0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.51"}, "--params"},
      {{"--random", "4"}, "--random"},
      {{"--x", "0:0.06:0.08:3"}, "--x"},
      {{"--x", "1:0.06:0.08:2"}, "--x"},
      {{"--y", "4:0.05:0.07:2"}, "--y"},
      {{"--shard", "1/2"}, "--shard"},
  };
  for (const auto& [change, named] : cases) {
    RunOptions other = change.first == "--no-skip"
                           ? Parse({"--mode", "2d", "--size", "8", "--steps", "150", "--params", Params, "--random",
                                    "3", "--x", "0:0.06:0.08:2", "--y", "4:0.05:0.06:2", "--out", "d", "--no-skip"})
                           : Sweep(change.first, change.second);
    EXPECT_EQ(FirstDifference(base, other), named) << change.first << " " << change.second;
    EXPECT_EQ(FirstDifference(other, base), named) << change.first << " " << change.second;
  }
}

TEST(AtlasSweep, DescriptionsReadWithAnyLineEndAndTheirStepCount) {
  const RunOptions base = Sweep();
  const std::string dir = Folder("description");
  PrepareDirectory(dir, "--out");
  WriteRunDescription(dir, base, StepCount{1234, 600});
  std::ifstream in(dir + "/atlas-run.txt");
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_NE(text.find("\nsteps-computed 1234 of 600\n"), std::string::npos) << text;
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  for (const std::string& written : {text, crlf, "\n" + text}) {
    EXPECT_EQ(FirstDifference(ParseRunDescription(written, dir), base), std::nullopt) << written;
  }
  EXPECT_THROW(ParseRunDescription(text + "--bogus 1\n", dir), ArgumentError);
  fs::remove_all(dir);
}

// A point stored by WritePoint, then damaged one way: ReadSweepPoint refuses
// it, naming the file, and never waits on a FIFO or reads a device dry.
TEST(AtlasStore, EveryDamageToAPointIsRefused) {
  const RunOptions options = Sweep();
  const std::size_t values = 2 * 8 * 8;
  PointResult result;
  result.metrics = FieldMetrics{};
  result.pattern = PatternClass::Spots;
  result.stepsComputed = 120;
  for (std::size_t i = 0; i < values; ++i) result.field.push_back(static_cast<float>(i) * 0.25f);
  const std::string row = CsvRow(options, 3, result);

  const auto edit = [](const std::string& path, const std::function<void(std::string&)>& change) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    in.close();
    change(bytes);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  };
  const auto replace = [](const std::string& path, const std::function<void()>& make) {
    fs::remove(path);
    make();
  };
  const std::pair<const char*, std::function<void(const std::string&)>> damages[] = {
      {"raw cut short", [&](const std::string& s) { edit(s + ".raw", [](std::string& b) { b.pop_back(); }); }},
      {"raw one byte longer", [&](const std::string& s) { edit(s + ".raw", [](std::string& b) { b += 'x'; }); }},
      {"a bit of the field flipped",
       [&](const std::string& s) { edit(s + ".raw", [](std::string& b) { b[77] ^= 1; }); }},
      {"the row edited",
       [&](const std::string& s) {
         edit(s + ".txt", [](std::string& b) { b.replace(b.find(",spots,"), 7, ",uniform,"); });
       }},
      {"the step count edited",
       [&](const std::string& s) {
         edit(s + ".txt", [](std::string& b) { b.replace(b.find("steps 120"), 9, "steps 12"); });
       }},
      {"the record cut short", [&](const std::string& s) { edit(s + ".txt", [](std::string& b) { b.resize(30); }); }},
      {"a record without checksum line",
       [&](const std::string& s) { edit(s + ".txt", [](std::string& b) { b.resize(b.find("record ")); }); }},
      {"the raw links to /dev/zero",
       [&](const std::string& s) { replace(s + ".raw", [&] { fs::create_symlink("/dev/zero", s + ".raw"); }); }},
      {"the raw is a FIFO",
       [&](const std::string& s) { replace(s + ".raw", [&] { mkfifo((s + ".raw").c_str(), 0600); }); }},
      {"the record is a FIFO",
       [&](const std::string& s) { replace(s + ".txt", [&] { mkfifo((s + ".txt").c_str(), 0600); }); }},
      {"the record is a folder",
       [&](const std::string& s) { replace(s + ".txt", [&] { fs::create_directory(s + ".txt"); }); }},
      {"the raw is missing", [&](const std::string& s) { fs::remove(s + ".raw"); }},
      {"a huge record",
       [&](const std::string& s) { edit(s + ".txt", [](std::string& b) { b.insert(0, std::string(1 << 20, '#')); }); }},
  };
  const std::string dir = Folder("damage");
  for (const auto& [what, damage] : damages) {
    fs::remove_all(dir + "/points");  // the atlas itself removes only files of its own kind
    PrepareDirectory(dir, "--out");
    WritePoint(dir, 3, row, result);
    const std::optional<StoredPoint> whole = ReadSweepPoint(dir, options, 3, values);
    ASSERT_TRUE(whole);
    EXPECT_TRUE(whole->field == result.field && whole->row == row && whole->steps == 120 &&
                whole->pattern == PatternClass::Spots);
    damage(dir + "/points/000003");
    try {
      ReadSweepPoint(dir, options, 3, values);
      ADD_FAILURE() << what << ": accepted";
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find("points/000003."), std::string::npos) << what << ": " << error.what();
    }
  }
  // Another point's files under this point's name, and this sweep's point in another sweep.
  ClearPoints(dir);
  WritePoint(dir, 2, CsvRow(options, 2, result), result);
  fs::rename(dir + "/points/000002.txt", dir + "/points/000003.txt");
  fs::rename(dir + "/points/000002.raw", dir + "/points/000003.raw");
  EXPECT_THROW(ReadSweepPoint(dir, options, 3, values), std::runtime_error);
  ClearPoints(dir);
  WritePoint(dir, 3, row, result);
  EXPECT_THROW(ReadSweepPoint(dir, Sweep("--x", "0:0.06:0.09:2"), 3, values), std::runtime_error);
  EXPECT_THROW(ReadSweepPoint(dir, Sweep("--steps", "100"), 3, values), std::runtime_error);
  fs::remove_all(dir);
}

TEST(AtlasStore, AResumeKeepsTheWholePointsOfItsShardAndNothingElse) {
  RunOptions options = Sweep();
  options.shard = ParseShard("1/2");  // points 0 and 2
  const std::string dir = Folder("keep");
  PrepareDirectory(dir, "--out");
  const auto store = [&](std::size_t p) {
    PointResult r;
    r.field.assign(2 * 8 * 8, 1.0f);
    r.stepsComputed = 40 + static_cast<std::int64_t>(p);
    WritePoint(dir, p, CsvRow(options, p, r), r);
  };
  for (std::size_t p : {0, 1, 2, 3}) store(p);
  std::ofstream(dir + "/points/000002.raw", std::ios::app) << "x";  // damaged
  std::ofstream(dir + "/points/.000003.raw.Ab12Cd34.tmp") << "half";
  std::ofstream(dir + "/points/000004.raw") << "no record";
  StepCount steps;
  EXPECT_EQ(KeepWholePoints(dir, options, 2 * 8 * 8, steps), std::vector<std::size_t>{0});
  EXPECT_EQ(steps.computed, 40);
  EXPECT_EQ(steps.requested, 150);
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir + "/points")) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"000000.raw", "000000.txt"}));

  std::ofstream(dir + "/atlas.csv") << "old";
  std::ofstream(dir + "/.atlas.png.x1y2z3Ab.tmp") << "half";
  std::ofstream(dir + "/notes.txt") << "mine";
  RemoveResults(dir);
  EXPECT_FALSE(fs::exists(dir + "/atlas.csv") || fs::exists(dir + "/.atlas.png.x1y2z3Ab.tmp"));
  EXPECT_TRUE(fs::exists(dir + "/notes.txt"));
  fs::remove_all(dir);
}

TEST(AtlasStore, OneWriterPerFolderAndNoReaderWhileItWrites) {
  const std::string dir = Folder("lock");
  {
    const FolderLock first(dir, "--out");
    try {
      const FolderLock second(dir, "--out");
      ADD_FAILURE() << "a second lock was granted";
    } catch (const ArgumentError& error) {
      EXPECT_EQ(error.argument(), "--out");
      EXPECT_NE(std::string(error.what()).find(dir), std::string::npos) << error.what();
    }
    EXPECT_THROW(ReadLock{dir}, ArgumentError);
  }
  { const FolderLock again(dir, "--out"); }
  EXPECT_THROW(FolderLock(dir + "/atlas.lock/x", "--out"), ArgumentError);
  fs::remove_all(dir);
  const ReadLock none(dir);  // a folder never locked: nothing to wait for
}

TEST(AtlasStore, ChecksumIsFnv1a) {
  EXPECT_EQ(Fnv1a64("", 0), 0xcbf29ce484222325ull);
  EXPECT_EQ(Fnv1a64("a", 1), 0xaf63dc4c8601ec8cull);
  EXPECT_EQ(Fnv1a64("foobar", 6), 0x85944171f73967e8ull);
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields{""};
  for (char c : line.substr(0, line.find('\n'))) {
    if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// An ok row's numbers are the measures of the field the point stored, each
// under its own header: mean, sd and above_half counted here, the regions and
// spottiness as the metrics count them, the change from the fields of the
// last steps.
TEST(AtlasStore, AnOkRowHoldsTheMeasuresOfItsStoredField) {
  const RunOptions options = Sweep();
  const std::string dir = Folder("measures");
  PrepareDirectory(dir, "--out");
  const std::size_t point = 3, cells = 8 * 8;
  const PointResult result = RunPoint(options, point);
  WritePoint(dir, point, CsvRow(options, point, result), result);
  const std::optional<StoredPoint> stored = ReadSweepPoint(dir, options, point, 2 * cells);
  ASSERT_TRUE(stored);
  const std::vector<std::string> header = Fields(CsvHeader(options)), fields = Fields(stored->row);
  ASSERT_EQ(fields.size(), header.size());
  const auto column = [&](const std::string& name) {
    const auto at = std::find(header.begin(), header.end(), name);
    return at == header.end() ? std::string("no column") : fields[static_cast<std::size_t>(at - header.begin())];
  };
  ASSERT_EQ(column("status"), "ok");

  const float* u = stored->field.data();
  double sum = 0, squares = 0, above = 0;
  for (std::size_t i = 0; i < cells; ++i) sum += u[i], above += u[i] > Umax / 2;
  const double mean = sum / cells;
  for (std::size_t i = 0; i < cells; ++i) squares += (u[i] - mean) * (u[i] - mean);
  const FieldMetrics m = MeasureField(u, 8, true, 0);
  // The change: mean |u(k) - u(k-1)| over the last steps, from shorter runs.
  std::vector<float> before = RunPoint(Sweep("--steps", std::to_string(150 - ChangeSteps)), point).field;
  double change = 0;
  for (std::int64_t steps = 150 - ChangeSteps + 1; steps <= 150; ++steps) {
    const std::vector<float> now = RunPoint(Sweep("--steps", std::to_string(steps)), point).field;
    change += MeanAbsoluteDifference(now.data(), before.data(), cells) / ChangeSteps;
    before = now;
  }
  EXPECT_EQ(before, stored->field);
  const std::pair<const char*, double> expected[] = {
      {"mean", mean},         {"sd", std::sqrt(squares / cells)}, {"above_half", above / cells},
      {"regions", m.regions}, {"spottiness", m.spottiness},       {"change", change}};
  for (const auto& [name, value] : expected) {
    EXPECT_NEAR(std::stod(column(name)), value, 1e-5 * std::abs(value)) << name << " in " << stored->row;
    EXPECT_NE(value, 0) << name;  // measures that tell the columns apart
  }
  fs::remove_all(dir);
}

// The row ends with the analysis of the point's own coefficients, the
// wavelength its final field shows and the period of its oscillation; a stored point gives its verdict back,
// and a row without these columns (an older program's) runs again.
TEST(AtlasPrediction, TheRowEndsWithTheAnalysisAndTheMeasuredWavelength) {
  struct Case {
    const char* what;
    const char* mode;
    const char* size;
    const char* steps;
    const char* params;
    const char* predicted;
    double predictedWavelength;  // 0: none
    bool measured;
    bool periodic = false;
  };
  const char* const Decaying = "0.02,-0.08,0.04,0.03,0.1,-0.03,-0.15,0.01,0.25,0.2,0.5";
  const char* const Overflowing = "0.08,-0.08,0.04,-20,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5";
  const char* const Pulsing = "0.12,-0.08,0.04,0.03,0.03,-0.01,-0.075,0.01,0.04,0.2,0.5";
  const char* const ThreeStates = "0.14,-0.1,-0.05,0.03,0.1,-0.03,-0.35,0.05,0.05,0.3,0.5";
  const Case cases[] = {
      {"design", "2d", "128", "10", Params, "stationary_pattern", 9.559, true},
      {"design on a line", "1d", "128", "10", Params, "stationary_pattern", 9.407, true},
      {"decaying to uniform", "2d", "16", "3000", Decaying, "stable", 0, false},
      {"overflow, no steady state", "2d", "12", "300", Overflowing, "", 0, false},
      // Stable at u = 0, oscillating at u = 5: the saddle between runs away fastest.
      {"three steady states", "2d", "16", "10", ThreeStates, "unstable_uniform", 0, true},
      {"pulsing", "2d", "32", "40000", Pulsing, "stationary_pattern", 12.159, true, true},
  };
  const std::string dir = Folder("predicted");
  PrepareDirectory(dir, "--out");
  for (const Case& c : cases) {
    // A sweep of one point: k0 and k4 at their values in `params`.
    const std::vector<std::string> k = Fields(c.params);
    const RunOptions options =
        Parse({"--mode", c.mode, "--size", c.size, "--steps", c.steps, "--params", c.params, "--random", "1", "--x",
               "0:" + k[0] + ":" + k[0] + ":1", "--y", "4:" + k[4] + ":" + k[4] + ":1", "--out", dir});
    const PointResult result = RunPoint(options, 0);
    const std::string row = CsvRow(options, 0, result);
    const std::vector<std::string> header = Fields(CsvHeader(options)), fields = Fields(row);
    ASSERT_EQ(fields.size(), header.size()) << c.what << ": " << row;
    EXPECT_EQ(std::vector<std::string>(header.end() - 4, header.end()),
              (std::vector<std::string>{"predicted", "predicted_wavelength", "wavelength", "period"}));
    EXPECT_EQ(fields[fields.size() - 4], c.predicted) << c.what;
    if (c.predictedWavelength > 0) {
      EXPECT_NEAR(std::stod(fields[fields.size() - 3]), c.predictedWavelength, 0.01) << c.what;
    } else {
      EXPECT_EQ(fields[fields.size() - 3], "") << c.what;
    }
    EXPECT_EQ(!fields[fields.size() - 2].empty(), c.measured) << c.what << ": " << row;
    EXPECT_EQ(!fields.back().empty(), c.periodic) << c.what << ": " << row;
    EXPECT_EQ(result.wavelength.has_value(), c.measured) << c.what;

    WritePoint(dir, 0, row, result);
    const std::optional<StoredPoint> stored = ReadSweepPoint(dir, options, 0, result.field.size());
    ASSERT_TRUE(stored) << c.what;
    EXPECT_EQ(stored->row, row);
    EXPECT_EQ(stored->predicted, c.predicted);
    // The same point as an older program stored it: its row ends with the class.
    const std::string older = row.substr(0, row.find("," + std::string(ClassName(result.pattern)) + ",")) + "," +
                              ClassName(result.pattern) + "\n";
    WritePoint(dir, 0, older, result);
    EXPECT_THROW(ReadSweepPoint(dir, options, 0, result.field.size()), std::runtime_error) << c.what;
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace rdsim::atlas
