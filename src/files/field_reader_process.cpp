#include "files/field_reader_process.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <vector>

#include "core/run_error.h"
#include "files/field_answer.h"
#include "files/field_file.h"

namespace rdsim {

namespace {

namespace fs = std::filesystem;

std::mutex programMutex;
std::string chosenProgram;

[[noreturn]] void Fail(const std::string& reason) { throw RunError(Fault::FileAccess, reason); }

bool IsProgram(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The folders of the running program and of the file (program, library or
// Python module) this code was linked into.
std::vector<fs::path> HomeFolders() {
  std::vector<fs::path> folders;
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (!error) folders.push_back(self.parent_path());
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&RunFieldReader), &info) != 0 && info.dli_fname && *info.dli_fname) {
    const fs::path object = fs::weakly_canonical(info.dli_fname, error);
    if (!error && (folders.empty() || object.parent_path() != folders.front())) {
      folders.push_back(object.parent_path());
    }
  }
  return folders;
}

std::vector<std::string> Candidates() {
  std::vector<std::string> places;
  const std::vector<fs::path> homes = HomeFolders();
  for (const fs::path& home : homes) places.push_back((home / FieldReaderName).string());
  for (const fs::path& home : homes) {
    places.push_back((home / RDSIM_LIBEXEC_FROM_BINDIR / FieldReaderName).lexically_normal().string());
  }
  places.push_back((fs::path(RDSIM_LIBEXEC_DIR) / FieldReaderName).string());
  return places;
}

std::string SignalName(int number) {
  switch (number) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGABRT: return "SIGABRT";
    case SIGFPE: return "SIGFPE";
    case SIGILL: return "SIGILL";
    case SIGXCPU: return "SIGXCPU";
    case SIGKILL: return "SIGKILL";
    default: return "signal " + std::to_string(number);
  }
}

std::string Seconds() { return std::to_string(FieldReadSeconds) + " s"; }

// A started reader, killed and waited for whatever happens.
class Child {
 public:
  explicit Child(pid_t pid) : pid_(pid) {}
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
  }
  void Kill() { ::kill(pid_, SIGKILL); }
  int Wait() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return status;
  }

 private:
  pid_t pid_;
};

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { Close(); }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

pid_t Spawn(const std::string& program, int input, int output) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input, 0);
  posix_spawn_file_actions_adddup2(&actions, output, 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  // No environment: HDF5 would take a driver, plugins or locking from it.
  std::vector<char*> argv{const_cast<char*>(program.c_str()), nullptr};
  char* env[] = {nullptr};
  pid_t pid = -1;
  const int error = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), env);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) Fail("the field file reader \"" + program + "\" could not be started: " + std::strerror(error));
  return pid;
}

}  // namespace

void SetFieldReaderProgram(const std::string& path) {
  const std::lock_guard lock(programMutex);
  chosenProgram = path;
}

std::string FieldReaderProgram() {
  {
    const std::lock_guard lock(programMutex);
    if (!chosenProgram.empty()) return chosenProgram;
  }
  const std::vector<std::string> places = Candidates();
  std::string looked;
  for (const std::string& place : places) {
    if (IsProgram(place)) return place;
    looked += (looked.empty() ? "" : ", ") + place;
  }
  Fail(std::string("the field file reader ") + FieldReaderName + " is not installed (looked for " + looked + ")");
}

std::string RunFieldReader(int fd) {
  const std::string program = FieldReaderProgram();
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) Fail(std::string("no pipe to the field file reader: ") + std::strerror(errno));
  Fd from(ends[0]), to(ends[1]);
  Child child(Spawn(program, fd, to.get()));
  to.Close();

  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::seconds(FieldReadSeconds);
  std::string answer;
  bool late = false, tooLong = false;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      late = true;
      break;
    }
    pollfd wait{from.get(), POLLIN, 0};
    const int ready = ::poll(&wait, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;  // the deadline is checked above
    char buffer[65536];
    const ssize_t got = ::read(from.get(), buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) break;
    answer.append(buffer, static_cast<std::size_t>(got));
    if (answer.size() > FieldAnswerMaxBytes) {
      tooLong = true;
      break;
    }
  }
  if (late || tooLong) child.Kill();
  const int status = child.Wait();
  if (late) Fail("reading it took longer than " + Seconds() + ", more than any field file needs");
  if (tooLong) Fail("the field file reader said more than a field holds");
  if (WIFSIGNALED(status)) {
    const int number = WTERMSIG(status);
    if (number == SIGXCPU) Fail("reading it took more than " + Seconds() + " of processor time");
    Fail("the HDF5 library failed on it (" + SignalName(number) + "); the file is damaged");
  }
  return answer;
}

}  // namespace rdsim
