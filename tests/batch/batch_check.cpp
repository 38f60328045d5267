// Runs rdsim-batch on seeded random cases and judges each by the plain
// reference transcription of the model: the --out field bit for bit, the exit
// code and message of a faulting step, the --bmp image, the summary line,
// the complaints about bad arguments and files, and outputs that are written
// whole or not at all.
//
//   rdsim_batch_check BATCH WORKDIR [--cases N] [--seed S]

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "core/coefficients.h"
#include "random_cases.h"
#include "reference_model.h"

extern char** environ;

namespace {

using reference::CaseRandom;
using reference::Fault;

struct Case {
  std::string name;
  bool square = true;
  std::string sizeText;
  std::int64_t steps = 0;
  std::array<std::string, 11> texts;
  std::optional<std::vector<float>> init;  // activator cells, then inhibitor cells
  bool bmp = false;
};

struct Expected {
  std::vector<float> field;  // the newest field, in the layout of --out
  Fault fault = Fault::None;
  std::int64_t faultStep = 0;
};

struct Outcome {
  int exitCode = -1;  // -1: did not exit normally
  std::string out, err;
};

std::string Join(const std::array<std::string, 11>& texts) {
  std::string joined;
  for (const std::string& t : texts) joined += (joined.empty() ? "" : ",") + t;
  return joined;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Little-endian float32, as --init and --out hold them.
std::string RawBytes(const std::vector<float>& values) {
  std::string bytes(values.size() * 4, '\0');
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::uint32_t bits;
    std::memcpy(&bits, &values[i], 4);
    for (int b = 0; b < 4; ++b) bytes[4 * i + static_cast<std::size_t>(b)] = static_cast<char>(bits >> (8 * b));
  }
  return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// fileSizeLimit, when not 0, is the child's RLIMIT_FSIZE. A child that has not
// ended after 30 seconds (blocked on a FIFO, say) is killed and reported.
Outcome Spawn(const std::string& program, const std::vector<std::string>& args, const std::string& work,
              rlim_t fileSizeLimit = 0) {
  const std::string outPath = work + "/stdout.txt", errPath = work + "/stderr.txt";
  std::vector<char*> argv;
  std::string name = program;
  argv.push_back(name.data());
  std::vector<std::string> copies(args);
  for (std::string& a : copies) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  Outcome outcome;
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  if (fileSizeLimit != 0) {
    rlimit limit = old;
    limit.rlim_cur = fileSizeLimit;
    setrlimit(RLIMIT_FSIZE, &limit);  // inherited by the child; this process writes nothing meanwhile
  }
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  if (fileSizeLimit != 0) setrlimit(RLIMIT_FSIZE, &old);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    outcome.err = "cannot start " + program + ": " + std::strerror(spawned);
    return outcome;
  }
  int status = 0;
  bool timedOut = false;
  for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; ++waited) {
    if (waited == 30000) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      timedOut = true;
      break;
    }
    usleep(1000);
  }
  if (WIFEXITED(status)) outcome.exitCode = WEXITSTATUS(status);
  outcome.out = ReadFile(outPath);
  outcome.err = timedOut ? "<killed after 30 seconds>" : ReadFile(errPath);
  return outcome;
}

std::size_t Cells(bool square, int n) { return square ? static_cast<std::size_t>(n * n) : static_cast<std::size_t>(n); }

int SizeOf(const Case& c) { return reference::FieldSize(std::strtod(c.sizeText.c_str(), nullptr)); }

Expected Simulate(const Case& c) {
  const int n = SizeOf(c);
  const std::size_t cells = Cells(c.square, n);
  const auto coefficients = reference::Derive(c.texts, c.square ? 4 : 2);
  if (!coefficients) {
    std::fprintf(stderr, "%s: the generated coefficients are not usable\n", c.name.c_str());
    std::exit(3);
  }
  reference::Field f(n, c.square);
  if (c.init) {
    std::copy_n(c.init->begin(), cells, f.U.begin());
    std::copy_n(c.init->begin() + static_cast<std::ptrdiff_t>(cells), cells, f.V.begin());
  }
  Expected e;
  for (std::int64_t step = 1; step <= c.steps; ++step) {
    e.fault = c.square ? reference::Step2D(*coefficients, f, f.currentInU) : reference::Step1D(*coefficients, f);
    if (e.fault != Fault::None) {
      e.faultStep = step;
      break;
    }
  }
  const std::vector<float>& u = f.NewestU();
  const std::vector<float>& v = f.NewestV();
  e.field.assign(u.begin(), u.begin() + static_cast<std::ptrdiff_t>(cells));
  e.field.insert(e.field.end(), v.begin(), v.begin() + static_cast<std::ptrdiff_t>(cells));
  return e;
}

// Grey level of an activator value: a * 25.5 rounded to single, then to the
// nearest integer (ties to even), at most 255.
int Grey(float a) {
  const float p = static_cast<float>(static_cast<double>(a) * 25.5);
  const double q = std::nearbyint(static_cast<double>(p));
  return q > 255 ? 255 : static_cast<int>(q);
}

std::uint32_t Le32(const std::string& b, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

// Empty when the file is an N x N 24-bit bitmap of the activator's grey levels.
std::string CheckBitmap(const std::string& bytes, const std::vector<float>& activator, int n) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return "not a bitmap";
  const std::uint32_t offset = Le32(bytes, 10), width = Le32(bytes, 18), height = Le32(bytes, 22);
  const std::uint32_t bitsAndPlanes = Le32(bytes, 26), compression = Le32(bytes, 30);
  if (width != static_cast<std::uint32_t>(n) || height != static_cast<std::uint32_t>(n)) return "wrong size";
  if (bitsAndPlanes != (24u << 16 | 1u) || compression != 0) return "not uncompressed 24-bit";
  const std::size_t rowBytes = (static_cast<std::size_t>(n) * 3 + 3) / 4 * 4;
  if (bytes.size() < offset + rowBytes * static_cast<std::size_t>(n)) return "too short";
  for (int y = 0; y < n; ++y) {
    // Rows are stored bottom-up; row 0 of the field is the top of the image.
    const std::size_t row = offset + rowBytes * static_cast<std::size_t>(n - 1 - y);
    for (int x = 0; x < n; ++x) {
      const int g = Grey(activator[static_cast<std::size_t>(x + y * n)]);
      for (int channel = 0; channel < 3; ++channel) {
        if (static_cast<unsigned char>(bytes[row + static_cast<std::size_t>(3 * x + channel)]) != g) {
          return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is not grey " + std::to_string(g);
        }
      }
    }
  }
  return {};
}

std::string FirstDifference(const std::string& expected, const std::string& actual) {
  if (expected.size() != actual.size()) {
    return "--out holds " + std::to_string(actual.size()) + " bytes, expected " + std::to_string(expected.size());
  }
  for (std::size_t i = 0; i < expected.size(); i += 4) {
    if (std::memcmp(expected.data() + i, actual.data() + i, 4) != 0) {
      float e, a;
      std::memcpy(&e, expected.data() + i, 4);
      std::memcpy(&a, actual.data() + i, 4);
      char text[160];
      std::snprintf(text, sizeof text, "--out value %zu is %.9g, expected %.9g", i / 4, a, e);
      return text;
    }
  }
  return {};
}

std::string LastLine(const std::string& text) {
  std::string trimmed = text;
  while (!trimmed.empty() && trimmed.back() == '\n') trimmed.pop_back();
  const auto newline = trimmed.rfind('\n');
  return newline == std::string::npos ? trimmed : trimmed.substr(newline + 1);
}

bool OneLine(const std::string& text) {
  return !text.empty() && text.back() == '\n' && text.find('\n') == text.size() - 1;
}

struct Tally {
  std::int64_t steps = 0;
  int faulted = 0;
};

// Empty when rdsim-batch did what the reference expects.
std::string Judge(const Case& c, const std::string& batch, const std::string& work, Tally& tally) {
  const std::string initPath = work + "/init.raw", outPath = work + "/out.raw", bmpPath = work + "/field.bmp";
  std::remove(outPath.c_str());
  std::remove(bmpPath.c_str());
  std::vector<std::string> args{
      "--mode",   c.square ? "2d" : "1d", "--size", c.sizeText, "--steps", std::to_string(c.steps),
      "--params", Join(c.texts),          "--out",  outPath};
  if (c.init) {
    WriteFile(initPath, RawBytes(*c.init));
    args.insert(args.end(), {"--init", initPath});
  }
  if (c.bmp) args.insert(args.end(), {"--bmp", bmpPath});

  const Expected e = Simulate(c);
  tally.steps += e.fault == Fault::None ? c.steps : e.faultStep;
  tally.faulted += e.fault == Fault::None ? 0 : 1;
  const Outcome o = Spawn(batch, args, work);

  if (e.fault == Fault::None) {
    if (o.exitCode != 0) return "exit code " + std::to_string(o.exitCode) + ", expected 0; stderr: " + o.err;
    static const std::regex summary(R"(steps=(\d+) seconds=[0-9.]+ steps_per_second=[0-9.]+)");
    std::smatch m;
    const std::string last = LastLine(o.out);
    if (!std::regex_match(last, m, summary) || m[1] != std::to_string(c.steps)) {
      return "last line of stdout is \"" + last + "\"";
    }
  } else {
    if (o.exitCode != 1) return "exit code " + std::to_string(o.exitCode) + ", expected 1 (a faulting step)";
    const std::string step = "step " + std::to_string(e.faultStep) + " ";
    if (!OneLine(o.err) || o.err.find(reference::FaultName(e.fault)) == std::string::npos ||
        o.err.find(step) == std::string::npos) {
      return "stderr \"" + o.err + "\" should name " + reference::FaultName(e.fault) + " at " + step;
    }
  }
  if (std::string d = FirstDifference(RawBytes(e.field), ReadFile(outPath)); !d.empty()) return d;

  if (c.bmp) {
    const int n = SizeOf(c);
    const std::vector<float> activator(e.field.begin(), e.field.begin() + n * n);
    // Negative or NaN values can only be there before the first step; the
    // image has no grey for them.
    const bool showable = std::all_of(activator.begin(), activator.end(), [](float a) { return a >= 0; });
    if (showable) {
      if (std::string d = CheckBitmap(ReadFile(bmpPath), activator, n); !d.empty()) return "--bmp: " + d;
    }
  }
  return {};
}

const std::array<std::string, 11> DesignTexts = rdsim::DesignCoefficientTexts();

// Steps for a case: thousands in all, the reference's work per case bounded.
std::int64_t StepsFor(CaseRandom& random, bool square, int n) {
  if (!square) return random.Integer(1, 3000);
  const int budget = std::min(3000, 5000000 / (n * n));
  return random.Integer(std::max(1, budget / 2), std::max(1, budget));
}

std::vector<Case> RandomCases(std::uint64_t seed, int count) {
  CaseRandom random(seed);
  std::vector<Case> cases;
  // Size texts the intake reads its own way: rounding half to even (of N - 1),
  // a sign, an exponent, blanks around; all within 2..128 once rounded.
  const char* const oddSizes[] = {"17.5", "127.6", "1.6", "+64", " 9 ", "128.4", "2.5", "3e1"};
  for (int i = 0; i < count; ++i) {
    Case c;
    c.square = i % 2 == 0;
    int n;
    if (i < 10) {
      n = std::array{2, 3, 4, 17, 128}[static_cast<std::size_t>(i / 2)];
      c.sizeText = std::to_string(n);
    } else if (i % 7 == 3) {
      c.sizeText = oddSizes[static_cast<std::size_t>(i / 7) % std::size(oddSizes)];
      n = SizeOf(c);
    } else {
      n = random.Integer(2, 128);
      c.sizeText = std::to_string(n);
    }
    c.texts = i % 5 == 0 ? DesignTexts : random.CoefficientTexts();
    c.steps = StepsFor(random, c.square, n);
    if (!random.Chance(0.15)) {
      reference::Field f(n, c.square);
      random.FillField(f, Cells(c.square, n));
      const std::size_t cells = Cells(c.square, n);
      std::vector<float> init(f.U.begin(), f.U.begin() + static_cast<std::ptrdiff_t>(cells));
      init.insert(init.end(), f.V.begin(), f.V.begin() + static_cast<std::ptrdiff_t>(cells));
      c.init = init;
    }
    c.bmp = c.square && i % 3 == 0;
    c.name = "case " + std::to_string(i) + " (" + (c.square ? "2d" : "1d") + ", size \"" + c.sizeText + "\", " +
             std::to_string(c.steps) + " steps, k " + Join(c.texts) + ")";
    cases.push_back(c);
  }
  return cases;
}

// Runs that must stop: an activator growing by 3 a step from near the top of
// single precision (overflow after some steps, on either pair in 2d), and a
// NaN in the initial field (invalid operation in the first step).
std::vector<Case> FaultCases() {
  std::vector<Case> cases;
  CaseRandom random(99);
  for (bool square : {true, false}) {
    const int n = square ? 17 : 40;
    const std::size_t cells = Cells(square, n);
    Case grow;
    grow.square = square;
    grow.sizeText = std::to_string(n);
    grow.steps = 100;
    grow.texts = {"0.08", "-0.08", "0.04", "-20", "0.06", "-0.03", "-0.15", "0.01", "0.25", "0.2", "0.5"};
    grow.init = std::vector<float>(2 * cells);
    for (std::size_t k = 0; k < cells; ++k) (*grow.init)[k] = static_cast<float>(random.Uniform(1e32, 1e33));
    grow.bmp = square;
    grow.name = std::string("overflow (") + (square ? "2d" : "1d") + ")";
    cases.push_back(grow);

    Case nan = grow;
    nan.init = std::vector<float>(2 * cells, 1.0f);
    (*nan.init)[cells + cells / 2] = std::nanf("");
    nan.name = std::string("NaN in the field (") + (square ? "2d" : "1d") + ")";
    cases.push_back(nan);
  }
  return cases;
}

struct BadCall {
  std::vector<std::string> args;
  const char* argument;   // what the message must name
  std::string says = "";  // and what else it must hold
};

bool HasControlBytes(const std::string& text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// Each must exit with 2 and one line on stderr naming the argument, its
// control bytes escaped.
std::string JudgeBadCall(const BadCall& call, const std::string& batch, const std::string& work) {
  const Outcome o = Spawn(batch, call.args, work);
  if (o.exitCode != 2) return "exit code " + std::to_string(o.exitCode) + ", expected 2; stderr: " + o.err;
  if (!OneLine(o.err) || o.err.find(call.argument) == std::string::npos || o.err.find(call.says) == std::string::npos ||
      HasControlBytes(o.err.substr(0, o.err.size() - 1))) {
    return "stderr \"" + o.err + "\" should be one line naming " + call.argument + " and \"" + call.says + "\"";
  }
  return {};
}

std::vector<BadCall> BadCalls(const std::string& work) {
  const std::string p = Join(DesignTexts);
  const std::string badBox = "0.08,-0.08,0.04,0.03,x,-0.03,-0.15,0.01,0.25,0.2,0.5";
  const std::string shortFile = work + "/short.raw";
  WriteFile(shortFile, RawBytes(std::vector<float>(2 * 16 - 1)));
  return {
      {{"--mode", "2d", "--size", "4", "--steps", "1", "--params", p, "--bogus", "1"}, "--bogus"},
      {{"--mode", "2d", "--size", "4", "--params", p, "--steps"}, "--steps"},
      {{"--mode", "2d", "--size", "4", "--params", p}, "--steps"},
      {{"--mode", "2d", "--size", "four", "--steps", "1", "--params", p}, "--size"},
      {{"--mode", "2d", "--size", "4", "--steps", "ten", "--params", p}, "--steps"},
      {{"--mode", "2d", "--size", "4", "--steps", "-1", "--params", p}, "--steps"},
      {{"--mode", "3d", "--size", "4", "--steps", "1", "--params", p}, "--mode"},
      {{"--mode", "2d", "--size", "4", "--steps", "1", "--params", "0.1,0.2"}, "--params"},
      {{"--mode", "2d", "--size", "4", "--steps", "1", "--params", badBox}, "--params"},
      {{"--mode", "2d", "--size", "1e10", "--steps", "1", "--params", p}, "--size"},
      {{"--mode", "2d", "--size", "4", "--steps", "1", "--params", p, "--init", shortFile}, "--init"},
      {{"--mode", "2d", "--size", "4", "--steps", "1", "--params", p, "--init", work + "/missing.raw"}, "--init"},
      {{"--mode", "2d", "--size", "4", "--steps", "1", "--params", p, "--random", "-1"}, "--random"},
      {{"--mode", "2d", "--size", "4", "--steps", "1", "--params", p, "--random", "4294967296"}, "--random"},
      {{"--mode", "2d", "--size", "4", "--steps", "1", "--params", p, "--random", "7x"}, "--random"},
      {{"--mode", "2d", "--size", "4", "--steps", "1", "--params", p, "--init", shortFile, "--random", "7"},
       "--random"},
      // The --flag=value form is judged like the other.
      {{"--mode=2d", "--size=4", "--steps=ten", "--params=" + p}, "--steps"},
      {{"--mode=2d", "--size=", "--steps=1", "--params=" + p}, "--size"},
      {{"--mode=3d", "--size", "4", "--steps", "1", "--params", p}, "--mode"},
      {{"--mode=2d", "--mode", "2d", "--size=4", "--steps=1", "--params=" + p}, "--mode"},
      {{"--mode=2d", "--size=4", "--steps=1", "--params=" + p, "--bogus=1"}, "--bogus"},
      {{"--mode=2d", "--size=4", "--steps=1", "--params=" + badBox}, "--params"},
  };
}

// Sizes outside the range, inputs that are no fields, outputs that cannot be
// written or would replace another file of the call: each refused before the
// first step, naming the argument.
std::vector<BadCall> BadFileCalls(const std::string& work) {
  const std::string p = Join(DesignTexts);
  const std::vector<std::string> run{"--mode", "2d", "--size", "4", "--steps", "1", "--params", p};
  const std::string init = work + "/files-init.raw", fifo = work + "/files-fifo";
  const std::string longer = work + "/files-longer.raw", uneven = work + "/files-uneven.raw";
  WriteFile(init, RawBytes(std::vector<float>(2 * 16)));
  WriteFile(longer, RawBytes(std::vector<float>(2 * 16 + 1)));
  WriteFile(uneven, RawBytes(std::vector<float>(2 * 5 - 1)) + "x");
  mkfifo(fifo.c_str(), 0644);  // may be there already
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = run;
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  };
  std::vector<BadCall> calls;
  for (const char* size : {"200", "129", "1", "0", "-3", "1.5", "-2147483648", "2147483648", "1e10"}) {
    calls.push_back({{"--mode", "2d", "--size", size, "--steps", "1", "--params", p}, "--size", "range 2 to 128"});
  }
  const std::string up = work + "/../" + std::filesystem::path(work).filename().string();
  const std::vector<BadCall> files{
      {with({"--init", work}), "--init", "\"" + work + "\": it is a folder"},
      {with({"--init", "/dev/zero"}), "--init", "device"},
      {with({"--init", fifo}), "--init", "FIFO"},
      // The counts are of the field asked for: u and v, N cells on a line, N x N in a square.
      {with({"--init", longer}), "--init", "\"" + longer + "\" holds 132 bytes, expected 128 (32 float32 values)"},
      {{"--mode", "1d", "--size", "5", "--steps", "1", "--params", p, "--init", uneven},
       "--init",
       "holds 37 bytes, expected 40 (10 float32 values)"},
      {with({"--out", fifo}), "--out", "FIFO"},
      {with({"--bmp", fifo}), "--bmp", "FIFO"},
      {with({"--bmp", "/dev/full"}), "--bmp", "device"},
      {with({"--out", work}), "--out", "folder"},
      {with({"--out", ""}), "--out", "empty"},
      {with({"--out", work + "/no-such-folder/out.raw"}), "--out", "does not exist"},
      {with({"--bmp", init + "/x.bmp"}), "--bmp", "not a folder"},
      {with({"--out", work + "/same.raw", "--bmp", work + "/./same.raw"}), "--bmp", "also the --out file"},
      {with({"--init", init, "--out", up + "/files-init.raw"}), "--out", "the --init file"},
      {with({"--init", init, "--bmp", init}), "--bmp", "the --init file"},
      // Control bytes of an argument come out escaped.
      {with({"--out", work + "/no\x1b[31mfolder/out.raw"}), "--out", "no\\x1b[31mfolder"},
      {{"--mode", "2d", "--size", "4\n5", "--steps", "1", "--params", p}, "--size", "4\\x0a5"},
      {{"--mode", "\x07", "--size", "4", "--steps", "1", "--params", p}, "--mode", "\\x07"},
  };
  calls.insert(calls.end(), files.begin(), files.end());
  return calls;
}

// Files of the folder whose names start with a dot: the writer's temporaries.
std::vector<std::string> HiddenFiles(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name[0] == '.') names.push_back(name);
  }
  return names;
}

// An output that cannot be written changes none of the call's outputs and
// leaves no temporary behind: a file size limit reached by either output, a
// --bmp folder that is missing. The exit code is not 0 and one line says why.
std::string JudgeOutputFailures(const std::string& batch, const std::string& work) {
  const std::string folder = work + "/outputs";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::string out = folder + "/good.raw", bmp = folder + "/good.bmp", p = Join(DesignTexts);
  const struct {
    const char *mode, *size;
    rlim_t limit;
    bool bmp;
    const char* says;
  } cases[] = {
      {"2d", "64", 10000, false, "--out"},  // the field, 32768 bytes, does not fit
      {"2d", "64", 10000, true, "--out"},
      {"1d", "4", 1000, true, "--bmp"},  // the field fits, the 4 x 124 picture does not
      {"2d", "32", 5000, true, "--out"},
  };
  for (const auto& c : cases) {
    WriteFile(out, "old field");
    WriteFile(bmp, "old picture");
    std::vector<std::string> args{"--mode",   c.mode, "--size",   c.size, "--steps", "3",
                                  "--params", p,      "--random", "1",    "--out",   out};
    if (c.bmp) args.insert(args.end(), {"--bmp", bmp});
    const Outcome o = Spawn(batch, args, work, c.limit);
    const std::string name = std::string(c.mode) + " size " + c.size + ", limit " + std::to_string(c.limit);
    if (o.exitCode <= 0) return name + ": exit code " + std::to_string(o.exitCode) + ", expected a failure";
    if (!OneLine(o.err) || o.err.find(c.says) == std::string::npos || o.err.find("too large") == std::string::npos) {
      return name + ": stderr \"" + o.err + "\"";
    }
    if (ReadFile(out) != "old field" || ReadFile(bmp) != "old picture") return name + ": an old output changed";
    if (!HiddenFiles(folder).empty()) return name + ": left " + HiddenFiles(folder)[0];
  }
  // A --bmp in a missing folder: refused before the run, the --out file as it was.
  WriteFile(out, "old field");
  const Outcome o = Spawn(
      batch,
      {"--mode", "2d", "--size", "8", "--steps", "1", "--params", p, "--out", out, "--bmp", folder + "/gone/x.bmp"},
      work);
  if (o.exitCode != 2 || o.err.find("--bmp") == std::string::npos) return "missing folder: " + o.err;
  if (ReadFile(out) != "old field") return "missing folder: --out changed";
  // Without a limit the same call replaces both, and keeps the old files' permissions.
  chmod(out.c_str(), 0640);
  if (Spawn(batch, {"--mode", "2d", "--size", "8", "--steps", "1", "--params", p, "--out", out, "--bmp", bmp}, work)
          .exitCode != 0) {
    return "the run without a limit failed";
  }
  struct stat st {};
  stat(out.c_str(), &st);
  if (ReadFile(out).size() != 8 * 64 || ReadFile(bmp).substr(0, 2) != "BM") return "outputs not replaced";
  if ((st.st_mode & 0777) != 0640) return "the permissions of --out changed";
  if (!HiddenFiles(folder).empty()) return "left " + HiddenFiles(folder)[0];
  return {};
}

// --random SEED: the same seed gives the same noise in [0, 10), another seed
// other noise, in both modes.
std::string JudgeSeededNoise(const std::string& batch, const std::string& work) {
  const std::string p = Join(DesignTexts);
  auto noise = [&](const char* mode, const char* seed, std::string& bytes) {
    const std::string out = work + "/noise.raw";
    const Outcome o = Spawn(
        batch, {"--mode", mode, "--size", "9", "--steps", "0", "--params", p, "--random", seed, "--out", out}, work);
    bytes = ReadFile(out);
    return o.exitCode == 0;
  };
  for (const char* mode : {"1d", "2d"}) {
    std::string a, b, c;
    if (!noise(mode, "7", a) || !noise(mode, "7", b) || !noise(mode, "8", c)) return std::string(mode) + ": run failed";
    const std::size_t cells = Cells(std::string(mode) == "2d", 9);
    if (a.size() != 8 * cells) return std::string(mode) + ": wrong field size";
    if (a != b) return std::string(mode) + ": one seed gave two fields";
    if (a == c) return std::string(mode) + ": two seeds gave one field";
    for (std::size_t i = 0; i < 2 * cells; ++i) {
      float value;
      std::memcpy(&value, a.data() + 4 * i, 4);
      if (!(value >= 0.0f && value < 10.0f)) return std::string(mode) + ": value outside [0, 10)";
    }
  }
  return "";
}

// --flag=value gives the run of --flag value, byte for byte; a bare call
// prints the usage on stderr and exits with 2.
std::string JudgeEqualsFormAndBareCall(const std::string& batch, const std::string& work) {
  const std::string p = Join(DesignTexts);
  const std::string spaced = work + "/spaced.raw", joined = work + "/joined.raw";
  const Outcome a = Spawn(
      batch, {"--mode", "2d", "--size", "9", "--steps", "3", "--params", p, "--random", "5", "--out", spaced}, work);
  const Outcome b =
      Spawn(batch, {"--mode=2d", "--size=9", "--steps=3", "--params=" + p, "--random=5", "--out=" + joined}, work);
  if (a.exitCode != 0 || b.exitCode != 0) return "a run failed: " + a.err + b.err;
  const std::string x = ReadFile(spaced), y = ReadFile(joined);
  if (x.empty() || x != y) return "--flag=value gave another field than --flag value";
  const Outcome bare = Spawn(batch, {}, work);
  if (bare.exitCode != 2) return "a bare call exited with " + std::to_string(bare.exitCode) + ", expected 2";
  if (bare.err.rfind("usage: rdsim-batch", 0) != 0) return "a bare call printed \"" + bare.err + "\"";
  return "";
}

}  // namespace

// --bmp in 1d: the activator plot (red bars) above the inhibitor plot (blue
// bars), each 62 rows, white behind the bars.
std::string JudgeProfileBitmap(const std::string& batch, const std::string& work) {
  const std::string p = Join(DesignTexts);
  const std::string init = work + "/profile.raw", bmp = work + "/profile.bmp";
  WriteFile(init, RawBytes(std::vector<float>{0, 10, 5, 0, 0, 10}));  // u then v, N = 3
  std::remove(bmp.c_str());
  if (Spawn(batch, {"--mode", "1d", "--size", "3", "--steps", "0", "--params", p, "--init", init, "--bmp", bmp}, work)
          .exitCode != 0) {
    return "run failed";
  }
  const std::string bytes = ReadFile(bmp);
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return "not a bitmap";
  const std::uint32_t offset = Le32(bytes, 10), width = Le32(bytes, 18), height = Le32(bytes, 22);
  if (width != 3 || height != 124 || Le32(bytes, 26) != (24u << 16 | 1u)) return "not a 3 x 124 24-bit bitmap";
  const std::size_t rowBytes = 12;
  auto rgb = [&](int x, int y) {
    const std::size_t at = offset + rowBytes * static_cast<std::size_t>(123 - y) + 3 * static_cast<std::size_t>(x);
    if (at + 3 > bytes.size()) return std::uint32_t{0xDEAD};
    auto b = [&](std::size_t k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + k])); };
    return b(2) << 16 | b(1) << 8 | b(0);
  };
  const struct {
    int x, y;
    std::uint32_t colour;
  } expected[] = {{0, 61, 0xFFFFFF}, {1, 0, 0xFF0000},   {2, 61, 0xFF0000}, {2, 0, 0xFFFFFF},     // activator 0, 10, 5
                  {0, 62, 0xFFFFFF}, {1, 123, 0xFFFFFF}, {2, 62, 0x0000FF}, {2, 123, 0x0000FF}};  // inhibitor 0, 0, 10
  for (const auto& e : expected) {
    if (rgb(e.x, e.y) != e.colour) return "pixel (" + std::to_string(e.x) + ", " + std::to_string(e.y) + ")";
  }
  return {};
}

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s BATCH WORKDIR [--cases N] [--seed S]\n", argv[0]);
    return 2;
  }
  const std::string batch = argv[1], work = argv[2];
  int count = 120;
  std::uint64_t seed = 1;
  for (int i = 3; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--cases") == 0) count = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--seed") == 0) seed = std::strtoull(argv[i + 1], nullptr, 10);
  }

  mkdir(work.c_str(), 0755);  // may be there already
  int passed = 0, failed = 0;
  Tally tally;
  auto record = [&](const std::string& name, const std::string& fault) {
    if (fault.empty()) {
      ++passed;
    } else {
      ++failed;
      std::printf("FAIL %s: %s\n", name.c_str(), fault.c_str());
    }
  };

  std::vector<Case> cases = RandomCases(seed, count);
  for (Case& c : FaultCases()) cases.push_back(c);
  for (const Case& c : cases) record(c.name, Judge(c, batch, work, tally));
  std::vector<BadCall> badCalls = BadCalls(work);
  for (BadCall& call : BadFileCalls(work)) badCalls.push_back(call);
  for (const BadCall& call : badCalls) {
    std::string name = "rdsim-batch";
    for (const std::string& a : call.args) name += " " + a;
    record(name, JudgeBadCall(call, batch, work));
  }
  record("rdsim-batch --random", JudgeSeededNoise(batch, work));
  record("rdsim-batch --flag=value, and bare", JudgeEqualsFormAndBareCall(batch, work));
  record("rdsim-batch --mode 1d --bmp", JudgeProfileBitmap(batch, work));
  record("rdsim-batch outputs that cannot be written", JudgeOutputFailures(batch, work));
  if (const auto left = HiddenFiles(work); !left.empty()) record("temporaries of the runs", "left " + left[0]);

  std::printf("batch: %zu runs (%d stopped by a fault), %lld steps in all, seed %llu\n", cases.size(), tally.faulted,
              static_cast<long long>(tally.steps), static_cast<unsigned long long>(seed));
  std::printf("batch: %d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
