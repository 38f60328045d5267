#include "files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/run_error.h"

namespace rdsim {

namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
  throw RunError(Fault::FileAccess, "cannot write \"" + path + "\": " + std::strerror(error));
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

void WriteFileAtomically(const std::string& requested, std::string_view bytes) {
  // A link is followed, so that the file it names is replaced, not the link.
  std::string path = requested;
  if (char* resolved = ::realpath(requested.c_str(), nullptr)) {
    path = resolved;
    std::free(resolved);
  }
  // Renaming over a device, a FIFO or a folder would replace it, not write to it.
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
    throw RunError(Fault::FileAccess, "cannot write \"" + requested + "\": it is not a regular file");
  }
  std::vector<char> name(path.begin(), path.end());
  const char suffix[] = ".part-XXXXXX";
  name.insert(name.end(), suffix, suffix + sizeof suffix);
  const int fd = ::mkstemp(name.data());
  if (fd < 0) Fail(requested, errno);
  const std::string temporary(name.data());
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const int writeError = errno;
  const bool closed = ::close(fd) == 0;
  const int closeError = errno;
  // mkstemp makes the file private; a picture or field is as readable as any
  // file the user writes.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::chmod(temporary.c_str(), 0666 & ~mask);
  if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = !written ? writeError : !closed ? closeError : errno;
    ::unlink(temporary.c_str());
    Fail(requested, error);
  }
}

}  // namespace rdsim
