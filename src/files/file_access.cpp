#include "files/file_access.h"
#include "core/message_text.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
#include <utility>

#include "core/run_error.h"
#include "files/temporary_files.h"

namespace rdsim {

namespace fs = std::filesystem;

namespace {

std::string Quoted(const std::string& path) { return Echoed(path); }

[[noreturn]] void Refuse(const char* doing, const std::string& path, const std::string& reason) {
  throw RunError(Fault::FileAccess, std::string(doing) + " " + Quoted(path) + ": " + reason);
}

[[noreturn]] void RefuseErrno(const char* doing, const std::string& path, int error) {
  Refuse(doing, path, std::strerror(error));
}

std::string KindName(mode_t mode) {
  if (S_ISDIR(mode)) return "it is a folder";
  if (S_ISFIFO(mode)) return "it is a FIFO (named pipe), not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a regular file";
  if (S_ISSOCK(mode)) return "it is a socket, not a regular file";
  return "it is not a regular file";
}

std::string TooLarge(std::uintmax_t size, std::uintmax_t maxBytes) {
  return "it holds " + std::to_string(size) + " bytes, more than the " + std::to_string(maxBytes) + " allowed";
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Hands the descriptor over; the caller closes it.
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// An open regular file read whole, refused when it is or grows above maxBytes.
std::string ReadDescriptor(int fd, const std::string& path, std::uintmax_t maxBytes) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) RefuseErrno("cannot read", path, errno);
  if (!S_ISREG(st.st_mode)) Refuse("cannot read", path, KindName(st.st_mode));
  const auto size = static_cast<std::uintmax_t>(st.st_size);
  if (size > maxBytes) Refuse("cannot read", path, TooLarge(size, maxBytes));
  std::string text;
  text.resize(static_cast<std::size_t>(size));
  std::size_t done = 0;
  for (;;) {
    if (done == text.size()) {
      if (text.size() > maxBytes) Refuse("cannot read", path, TooLarge(text.size(), maxBytes));
      text.resize(text.size() + 4096);  // a file that grew while read
    }
    const ssize_t got = ::pread(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) RefuseErrno("cannot read", path, errno);
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  text.resize(done);
  if (done > maxBytes) Refuse("cannot read", path, TooLarge(done, maxBytes));
  return text;
}

// 0, or the errno of the write that failed.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return errno;
    if (put == 0) return EIO;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return 0;
}

// The file a write lands in: a link is followed, so that it stays a link.
std::string ResolvedTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      std::string target(real);
      std::free(real);
      return target;
    }
  }
  return path;
}

std::string FolderOf(const std::string& path) {
  const fs::path folder = fs::path(path).parent_path();
  return folder.empty() ? std::string(".") : folder.string();
}

}  // namespace

std::optional<std::uintmax_t> InputFileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return std::nullopt;
    RefuseErrno("cannot read", path, errno);
  }
  if (!S_ISREG(st.st_mode)) Refuse("cannot read", path, KindName(st.st_mode));
  return static_cast<std::uintmax_t>(st.st_size);
}

std::optional<std::string> ReadInputFile(const std::string& path, std::uintmax_t maxBytes) {
  // The kind before the open: opening a device can have effects of its own.
  const std::optional<std::uintmax_t> size = InputFileSize(path);
  if (!size) return std::nullopt;
  if (*size > maxBytes) Refuse("cannot read", path, TooLarge(*size, maxBytes));
  // Non-blocking, in case a FIFO took the file's place since.
  const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) {
    if (errno == ENOENT) return std::nullopt;
    RefuseErrno("cannot read", path, errno);
  }
  return ReadDescriptor(fd.get(), path, maxBytes);
}

void CheckOutputPath(const std::string& path) {
  if (path.empty()) Refuse("cannot write", path, "the file name is empty");
  std::string target = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) {
    if (S_ISLNK(st.st_mode)) {
      if (::stat(path.c_str(), &st) != 0) Refuse("cannot write", path, "it is a link to nothing");
      target = ResolvedTarget(path);
    }
    if (!S_ISREG(st.st_mode)) Refuse("cannot write", path, KindName(st.st_mode));
    if (::access(target.c_str(), W_OK) != 0) Refuse("cannot write", path, "it is write-protected");
  } else if (errno != ENOENT && errno != ENOTDIR) {  // a missing folder is named below
    RefuseErrno("cannot write", path, errno);
  } else if (fs::path(path).filename().empty()) {
    Refuse("cannot write", path, "the name ends in a folder separator");
  }
  const std::string folder = FolderOf(target);
  if (::stat(folder.c_str(), &st) != 0) {
    Refuse("cannot write", path, "the folder " + Quoted(folder) + " does not exist");
  }
  if (!S_ISDIR(st.st_mode)) Refuse("cannot write", path, Quoted(folder) + " is not a folder");
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    Refuse("cannot write", path, "the folder " + Quoted(folder) + " is not writable");
  }
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  const bool hasA = ::stat(a.c_str(), &sa) == 0, hasB = ::stat(b.c_str(), &sb) == 0;
  if (hasA && hasB) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  if (hasA != hasB) return false;
  std::error_code errorA, errorB;
  const fs::path pa = fs::weakly_canonical(fs::absolute(a, errorA), errorA);
  const fs::path pb = fs::weakly_canonical(fs::absolute(b, errorB), errorB);
  if (errorA || errorB) return fs::absolute(a).lexically_normal() == fs::absolute(b).lexically_normal();
  return pa == pb;
}

namespace {

void RemoveTemporary(const std::string& temporary) {
  ::unlink(temporary.c_str());
  ReleaseTemporary(temporary);
}

}  // namespace

WholeFiles::~WholeFiles() {
  for (const Pending& file : pending_) RemoveTemporary(file.temporary);
}

namespace {

// A new hidden file beside `target`, open for writing, with the permissions
// of the file it will replace.
int CreateTemporary(const std::string& path, const std::string& target, std::string& temporary) {
  struct stat old {};
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  const std::string folder = FolderOf(target);
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    temporary = NewTemporaryName(folder, target);
    // Held before it exists: a signal between the two finds nothing to remove.
    HoldTemporary(temporary);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd >= 0) break;
    const int error = errno;
    ReleaseTemporary(temporary);
    if (error != EEXIST || attempt > 100) RefuseErrno("cannot write", path, error);
  }
  if (replacing) ::fchmod(fd, old.st_mode & 07777);
  return fd;
}

}  // namespace

void WholeFiles::Add(const std::string& path, std::string_view bytes) {
  CheckOutputPath(path);
  const std::string target = ResolvedTarget(path);
  std::string temporary;
  const int fd = CreateTemporary(path, target, temporary);
  int error = WriteAll(fd, bytes);
  if (error == 0 && ::fsync(fd) != 0 && errno != EINVAL) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    RemoveTemporary(temporary);
    RefuseErrno("cannot write", path, error);
  }
  pending_.push_back({temporary, target, path});
}

void WholeFiles::Commit() {
  std::vector<Pending> pending = std::move(pending_);
  pending_.clear();
  for (std::size_t i = 0; i < pending.size(); ++i) {
    if (::rename(pending[i].temporary.c_str(), pending[i].target.c_str()) == 0) {
      ReleaseTemporary(pending[i].temporary);
      continue;
    }
    const int error = errno;
    for (std::size_t j = i; j < pending.size(); ++j) RemoveTemporary(pending[j].temporary);
    RefuseErrno("cannot replace", pending[i].path, error);
  }
}

void WriteFileWhole(const std::string& path, std::string_view bytes) {
  WholeFiles files;
  files.Add(path, bytes);
  files.Commit();
}

TemporaryFile::TemporaryFile(const std::string& target) : path_(target) {
  CheckOutputPath(target);
  target_ = ResolvedTarget(target);
  ::close(CreateTemporary(path_, target_, temporary_));
}

TemporaryFile::~TemporaryFile() {
  if (!committed_) RemoveTemporary(temporary_);
}

void TemporaryFile::Commit() {
  const Descriptor fd(::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) RefuseErrno("cannot write", path_, errno);
  if (::fsync(fd.get()) != 0 && errno != EINVAL) RefuseErrno("cannot write", path_, errno);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) RefuseErrno("cannot replace", path_, errno);
  ReleaseTemporary(temporary_);
  committed_ = true;
}

LockedFile::LockedFile(const std::string& path, std::uintmax_t maxBytes, double patienceSeconds) : path_(path) {
  using Clock = std::chrono::steady_clock;
  const auto deadline =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(patienceSeconds));
  for (int attempt = 0;; ++attempt) {
    if (attempt > 1000) Refuse("cannot open", path, "it keeps changing");
    // A FIFO or device is refused before any open could block on it.
    InputFileSize(path);
    int raw = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    created_ = raw >= 0;
    if (raw < 0 && errno == EEXIST) {
      raw = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
      if (raw < 0 && errno == ENOENT) continue;  // removed meanwhile
    }
    if (raw < 0) RefuseErrno("cannot open", path, errno);
    Descriptor fd(raw);
    struct stat held {};
    if (::fstat(fd.get(), &held) != 0) RefuseErrno("cannot open", path, errno);
    if (!S_ISREG(held.st_mode)) Refuse("cannot open", path, KindName(held.st_mode));

    while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK && errno != EINTR) RefuseErrno("cannot lock", path, errno);
      if (Clock::now() > deadline) Refuse("cannot open", path, "another program holds it locked");
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // The holder before us may have renamed a new file into place, or removed it.
    struct stat now {};
    if (::stat(path.c_str(), &now) != 0 || now.st_dev != held.st_dev || now.st_ino != held.st_ino) continue;
    content_ = ReadDescriptor(fd.get(), path, maxBytes);
    fd_ = fd.release();
    return;
  }
}

LockedFile::~LockedFile() {
  // Still under the lock, so a waiting process sees the file gone and starts over.
  if (created_ && !replaced_) ::unlink(path_.c_str());
  ::close(fd_);
}

void LockedFile::Replace(std::string_view bytes) {
  WriteFileWhole(path_, bytes);
  replaced_ = true;
}

}  // namespace rdsim
