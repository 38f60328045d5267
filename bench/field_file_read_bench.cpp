// What reading each hostile field file costs: the wall time of ReadFieldFile
// and the peak memory of the reader program it starts, beside the bounds
// (2 s, 256 MB) every file must stay within, and what the reader said.
//
//   build/release/rdsim_bench_field_files [FOLDER]     (FOLDER: scratch, made and removed)
//
// Each file is read in a fresh process of this program, so that the peak
// memory of its children is that one reader's.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/run_error.h"
#include "files/field_file.h"
#include "hostile_field_files.h"

extern char** environ;

namespace {

using namespace rdsim;

// Prints "milliseconds peak-MB outcome" for one file.
int ReadOne(const std::string& path) {
  std::string outcome = "read";
  const auto start = std::chrono::steady_clock::now();
  try {
    ReadFieldFile(path);
  } catch (const RunError& error) {
    outcome = error.detail().substr(error.detail().find("\": ") + 3);
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  std::printf("%8.1f %8.1f  %.90s\n", ms, static_cast<double>(children.ru_maxrss) / 1024.0, outcome.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--one") return ReadOne(argv[2]);
  namespace fs = std::filesystem;
  const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "rdsim-bench-field-files";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string self = fs::canonical("/proc/self/exe").string();
  std::printf("bounds: %d s, %ju MB\n%-34s %8s %8s  %s\n", FieldReadSeconds, FieldReadMemoryBytes >> 20, "file", "ms",
              "peak MB", "outcome");
  for (const HostileFieldFile& file : MakeHostileFieldFiles(folder.string())) {
    std::printf("%-34.34s ", file.name.c_str());
    std::fflush(stdout);
    char* args[] = {const_cast<char*>(self.c_str()), const_cast<char*>("--one"), const_cast<char*>(file.path.c_str()),
                    nullptr};
    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, args, environ) != 0 || waitpid(pid, &status, 0) < 0 ||
        !WIFEXITED(status)) {
      std::printf("the reading process itself failed\n");
    }
  }
  fs::remove_all(folder);
  return 0;
}
