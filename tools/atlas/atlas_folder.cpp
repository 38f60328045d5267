#include "atlas/atlas_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "batch_options.h"  // ArgumentError
#include "core/message_text.h"
#include "core/run_error.h"
#include "files/file_access.h"
#include "files/temporary_files.h"

namespace rdsim::atlas {

namespace fs = std::filesystem;
using batch::ArgumentError;

namespace {

// The files the atlas writes at the top of its folder.
const char* const FileNames[] = {MarkerName, "atlas-run.txt", "atlas.lock", "atlas.csv", "atlas.png", ".writable"};

bool IsAtlasFile(const std::string& name) {
  for (const char* file : FileNames) {
    if (name == file || IsTemporaryOf(name, file)) return true;
  }
  return false;
}

// "NNNNNN.txt" and "NNNNNN.raw", and their temporaries.
bool IsPointFile(const std::string& name) {
  std::size_t at = name.size() > 1 && name[0] == '.' ? 1 : 0;
  const std::size_t digits = at;
  while (at < name.size() && std::isdigit(static_cast<unsigned char>(name[at]))) ++at;
  if (at - digits < 6) return false;
  const std::string point = name.substr(digits, at + 4 - digits);
  if (name.compare(at, 4, ".txt") != 0 && name.compare(at, 4, ".raw") != 0) return false;
  return digits == 0 ? name.size() == at + 4 : IsTemporaryOf(name, point);
}

// The entries of a folder, sorted, so that a refusal names the same one each time.
std::vector<std::string> Entries(const std::string& dir, const std::string& argument) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator entry(dir, error), end; !error && entry != end; entry.increment(error)) {
    names.push_back(entry->path().filename().string());
  }
  if (error) throw ArgumentError(argument, "cannot list " + Echoed(dir) + ": " + error.message());
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<mode_t> KindOf(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
  return st.st_mode;
}

[[noreturn]] void Refuse(const std::string& argument, const std::string& dir, const std::string& what) {
  throw ArgumentError(argument, Echoed(dir) + " holds " + what +
                                    "; nothing there was changed. Give a new or empty folder, or one the atlas made");
}

void CheckWritable(const std::string& path, const std::string& argument) {
  if (::access(path.c_str(), W_OK | X_OK) != 0) {
    throw ArgumentError(argument, "cannot change " + Echoed(path) + ": the folder is not writable");
  }
}

}  // namespace

void CheckAtlasFolder(const std::string& dir, const std::string& argument) {
  const std::optional<mode_t> kind = KindOf(dir);
  if (!kind) return;  // made new
  if (!S_ISDIR(*kind)) throw ArgumentError(argument, Echoed(dir) + " is not a folder");
  bool marked = false, described = false;
  std::string result;  // the first result or point there
  for (const std::string& name : Entries(dir, argument)) {
    const std::string path = dir + "/" + name;
    const std::optional<mode_t> found = KindOf(path);
    if (!found) continue;  // a temporary another run renamed meanwhile
    const mode_t mode = *found;
    if (name == "points") {
      if (!S_ISDIR(mode)) Refuse(argument, dir, Echoed(name) + ", not a folder as the atlas writes it");
      for (const std::string& point : Entries(path, argument)) {
        if (!IsPointFile(point)) Refuse(argument, dir, Echoed("points/" + point) + ", which rdsim-atlas did not write");
        if (!S_ISREG(KindOf(path + "/" + point).value_or(S_IFREG))) {
          Refuse(argument, dir, Echoed("points/" + point) + ", not a file as the atlas writes it");
        }
        if (result.empty()) result = "points/" + point;
      }
      CheckWritable(path, argument);
      continue;
    }
    if (!IsAtlasFile(name)) Refuse(argument, dir, Echoed(name) + ", which rdsim-atlas did not write");
    if (!S_ISREG(mode)) Refuse(argument, dir, Echoed(name) + ", not a file as the atlas writes it");
    marked = marked || name == MarkerName;
    described = described || name == "atlas-run.txt";
    if (result.empty() && (name == "atlas.csv" || name == "atlas.png")) result = name;
  }
  if (!marked && !result.empty() && !described) {
    Refuse(argument, dir, Echoed(result) + " but neither " + MarkerName + " nor atlas-run.txt: no atlas made it");
  }
  CheckWritable(dir, argument);
}

void MarkAtlasFolder(const std::string& dir, const std::string& argument) {
  std::error_code error;
  fs::create_directories(dir, error);
  if (error) throw ArgumentError(argument, "cannot create " + Echoed(dir) + ": " + error.message());
  const std::string marker = dir + "/" + MarkerName;
  if (KindOf(marker)) return;
  try {
    WriteFileWhole(marker, "A folder of rdsim-atlas: it removes and replaces only the files it writes here.\n");
  } catch (const RunError& failure) {
    throw ArgumentError(argument, failure.detail());
  }
}

void RemovePointFiles(const std::string& dir, const std::set<std::string>& keep) {
  const std::string points = dir + "/points";
  if (!KindOf(points)) return;
  std::vector<std::string> names;
  try {
    names = Entries(points, "--out");
  } catch (const ArgumentError& error) {
    throw std::runtime_error(error.what());
  }
  for (const std::string& name : names) {
    if (!IsPointFile(name) || keep.count(name)) continue;
    if (::unlink((points + "/" + name).c_str()) != 0 && errno != ENOENT) {
      throw std::runtime_error("cannot remove " + Echoed(points + "/" + name) + ": " + std::strerror(errno));
    }
  }
}

}  // namespace rdsim::atlas
