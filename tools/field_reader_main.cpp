// rdsim-field-reader: reads the field file open on its standard input and
// writes the field, or the reason it is refused, on its standard output
// (field_answer.h). The programs start it for every field file they read, so
// that whatever the HDF5 library does with a damaged file, it does it here:
// a crash, a hang or a bomb ends this process, limited in memory and time
// before the first byte is read, and the caller says the file is refused.

#include <hdf5.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <new>
#include <string>

#include "core/run_error.h"
#include "files/field_answer.h"
#include "files/field_file.h"
#include "files/field_file_parse.h"

namespace {

using namespace rdsim;

void Limit(int resource, rlim_t soft, rlim_t hard) {
  const rlimit limit{soft, hard};
  ::setrlimit(resource, &limit);
}

void LimitSelf() {
#ifndef __SANITIZE_ADDRESS__  // the sanitizer's shadow memory needs terabytes of address space
  Limit(RLIMIT_AS, FieldReadMemoryBytes, FieldReadMemoryBytes);
#endif
  // Processor time ends in SIGXCPU at the soft limit; the caller's clock
  // kills a reader that waits instead.
  Limit(RLIMIT_CPU, FieldReadSeconds, FieldReadSeconds + 1);
  Limit(RLIMIT_FSIZE, 0, 0);
  Limit(RLIMIT_CORE, 0, 0);
  Limit(RLIMIT_NPROC, 0, 0);
  // Nothing inherited by mistake stays open.
  ::close_range(3, ~0u, 0);
}

// The file, read whole up to one byte past the largest field file.
bool ReadInput(std::string& bytes) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(0, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    bytes.append(buffer, static_cast<std::size_t>(got));
    if (bytes.size() > FieldFileMaxBytes) return false;
  }
}

bool WriteAll(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(1, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

std::string Answer() {
  std::string bytes;
  if (!ReadInput(bytes)) return EncodeFieldRefusal("it cannot be read whole");
  try {
    return EncodeFieldAnswer(ParseFieldFile(bytes));
  } catch (const RunError& error) {
    return EncodeFieldRefusal(error.detail());
  } catch (const std::bad_alloc&) {
    return EncodeFieldRefusal("reading it would take more than " + std::to_string(FieldReadMemoryBytes >> 20) +
                              " MB of memory, more than any field file needs");
  }
}

}  // namespace

int main() {
  LimitSelf();
  std::signal(SIGPIPE, SIG_IGN);
  // Filters come only from the library itself, never from a plugin folder.
  H5PLset_loading_state(0);
  return WriteAll(Answer()) ? 0 : 1;
}
