#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rdsim {

// Files are read only when they are regular files of a size checked before
// the first byte is read: a FIFO, a device or a folder is refused at once
// instead of hanging the program or filling its memory. Every file is
// written to a temporary beside its target and renamed over it only when
// whole. All failures raise RunError (FileAccess) naming the file.

// The size of the regular file at `path`, or nothing when there is no such
// file; looked at without opening it.
std::optional<std::uintmax_t> InputFileSize(const std::string& path);

// The whole file, or nothing when there is no such file. A file larger than
// `maxBytes` is refused unread.
std::optional<std::string> ReadInputFile(const std::string& path, std::uintmax_t maxBytes);

// A path the program may write: a regular file or nothing yet, in a folder
// that exists and is writable.
void CheckOutputPath(const std::string& path);

// Whether two paths name one file, existing or not (links, "." and ".." seen through).
bool SameFile(const std::string& a, const std::string& b);

// Files that change together or not at all: each is written to a temporary
// beside its target; Commit renames them over their targets once every one
// is whole. Temporaries not committed are removed.
class WholeFiles {
 public:
  WholeFiles() = default;
  WholeFiles(const WholeFiles&) = delete;
  WholeFiles& operator=(const WholeFiles&) = delete;
  ~WholeFiles();

  void Add(const std::string& path, std::string_view bytes);
  // Renames can still fail one by one (the folder taken away meanwhile); the
  // targets renamed before then stay replaced.
  void Commit();

 private:
  struct Pending {
    std::string temporary, target, path;
  };
  std::vector<Pending> pending_;
};

void WriteFileWhole(const std::string& path, std::string_view bytes);

// A file written piece by piece by someone else's code (a movie's encoder):
// a hidden temporary beside the target, created empty here, that Commit
// renames over the target once it is whole. One never committed is removed,
// so a failed write leaves an older file as it was.
class TemporaryFile {
 public:
  // Checks the target as CheckOutputPath does.
  explicit TemporaryFile(const std::string& target);
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile();

  // Where the writer puts the bytes.
  const std::string& Path() const { return temporary_; }
  const std::string& Target() const { return path_; }
  // Flushes the finished temporary to disk and renames it over the target.
  void Commit();

 private:
  std::string path_, target_, temporary_;
  bool committed_ = false;
};

// One file held under an exclusive advisory lock (flock) for a
// read-change-replace among cooperating processes: the file is created when
// missing, locked, and its content read; Replace writes the new content whole
// and renames it into place while the lock is held. A process that waited for
// the lock finds the renamed file and reads that. Waits `patienceSeconds` at
// most for another holder. A file it created and never replaced is removed.
class LockedFile {
 public:
  LockedFile(const std::string& path, std::uintmax_t maxBytes, double patienceSeconds = 5.0);
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;
  ~LockedFile();

  const std::string& Content() const { return content_; }
  void Replace(std::string_view bytes);

 private:
  std::string path_;
  std::string content_;
  int fd_ = -1;
  bool created_ = false;
  bool replaced_ = false;
};

}  // namespace rdsim
