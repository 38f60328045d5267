#include "files/temporary_files.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>

namespace rdsim {

namespace fs = std::filesystem;

namespace {

// Slots a signal handler can read: a slot's path is only read while it is
// Held, and the handler claims it (Removing) before it reads, so no thread
// rewrites a path under it.
enum SlotState : int { Free, Filling, Held, Removing };
struct Slot {
  std::atomic<int> state{Free};
  char path[PATH_MAX];
};
constexpr int SlotCount = 256;
Slot slots[SlotCount];
static_assert(std::atomic<int>::is_always_lock_free, "read from a signal handler");

constexpr int EndingSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void RemoveTemporariesAndEnd(int signal) {
  const int saved = errno;
  for (Slot& slot : slots) {
    int held = Held;
    if (slot.state.compare_exchange_strong(held, Removing)) ::unlink(slot.path);
  }
  errno = saved;
  // SA_RESETHAND restored the default action; it ends the program once the
  // handler returns and the signal is unblocked.
  ::raise(signal);
}

void CatchEndingSignals() {
  static const bool caught = [] {
    for (const int signal : EndingSignals) {
      struct sigaction old {};
      // A program that handles or ignores the signal keeps its choice.
      if (::sigaction(signal, nullptr, &old) != 0 || (old.sa_flags & SA_SIGINFO) || old.sa_handler != SIG_DFL) {
        continue;
      }
      struct sigaction action {};
      action.sa_handler = RemoveTemporariesAndEnd;
      sigemptyset(&action.sa_mask);
      for (const int other : EndingSignals) sigaddset(&action.sa_mask, other);
      action.sa_flags = SA_RESETHAND;
      ::sigaction(signal, &action, nullptr);
    }
    return true;
  }();
  (void)caught;
}

std::uint32_t HostHash() {
  static const std::uint32_t hash = [] {
    char name[256] = {};
    ::gethostname(name, sizeof name - 1);
    std::uint32_t h = 2166136261u;
    for (const char* c = name; *c; ++c) h = (h ^ static_cast<unsigned char>(*c)) * 16777619u;
    return h;
  }();
  return hash;
}

std::string HexOf(std::uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", value);
  return text;
}

std::string RandomSuffix() {
  static std::atomic<std::uint64_t> counter{0};
  std::uint64_t x = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                    (static_cast<std::uint64_t>(::getpid()) << 32) ^ (counter++ * 0x9E3779B97F4A7C15ull);
  // splitmix64: neighbouring inputs give unrelated names
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  x ^= x >> 31;
  static const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string suffix;
  for (int i = 0; i < 8; ++i, x /= 62) suffix += Letters[x % 62];
  return suffix;
}

bool AllOf(const std::string& text, int (*kind)(int)) {
  for (const char c : text) {
    if (!kind(static_cast<unsigned char>(c))) return false;
  }
  return !text.empty();
}

// The process of a temporary of this machine's, or 0 for any other name.
pid_t OwnerOf(const std::string& name) {
  const std::string tail = ".tmp";
  if (name.size() < 1 + 1 + 8 + 1 + 8 + 1 + 8 + tail.size() || name[0] != '.' ||
      name.compare(name.size() - tail.size(), tail.size(), tail) != 0) {
    return 0;
  }
  // ".<name>.<pid>.<host>.<random>" read from its end
  std::string rest = name.substr(0, name.size() - tail.size());
  std::string parts[3];
  for (std::string& part : parts) {
    const auto dot = rest.rfind('.');
    if (dot == std::string::npos || dot == 0) return 0;
    part = rest.substr(dot + 1);
    rest.resize(dot);
  }
  const std::string &random = parts[0], &host = parts[1], &pid = parts[2];
  if (random.size() != 8 || !AllOf(random, isalnum) || host != HexOf(HostHash()) || pid.size() > 9 ||
      !AllOf(pid, isdigit)) {
    return 0;
  }
  return static_cast<pid_t>(std::stol(pid));
}

void RemoveStrays(const std::string& folder) {
  static std::mutex mutex;
  static std::set<std::string> swept;
  {
    const std::lock_guard<std::mutex> lock(mutex);
    if (!swept.insert(folder).second) return;
  }
  std::error_code error;
  for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    const pid_t owner = OwnerOf(name);
    if (owner <= 0 || owner == ::getpid()) continue;
    struct stat st {};
    const std::string path = entry->path().string();
    // Only a file whose process is gone: one still running is writing it.
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::kill(owner, 0) != 0 && errno == ESRCH) {
      ::unlink(path.c_str());
    }
  }
}

}  // namespace

std::string NewTemporaryName(const std::string& folder, const std::string& target) {
  RemoveStrays(folder);
  // Hidden, and short enough for any file system's name limit.
  return folder + "/." + fs::path(target).filename().string().substr(0, 200) + "." + std::to_string(::getpid()) + "." +
         HexOf(HostHash()) + "." + RandomSuffix() + ".tmp";
}

void HoldTemporary(const std::string& path) {
  CatchEndingSignals();
  // A path no slot can take is still removed on every other way out; a
  // later run removes it when a signal left it.
  if (path.size() >= PATH_MAX) return;
  for (Slot& slot : slots) {
    int free = Free;
    if (!slot.state.compare_exchange_strong(free, Filling)) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.state.store(Held);
    return;
  }
}

void ReleaseTemporary(const std::string& path) {
  for (Slot& slot : slots) {
    if (slot.state.load() != Held || path != slot.path) continue;
    int held = Held;
    // Fails only when a signal handler took it; the program is ending then.
    if (slot.state.compare_exchange_strong(held, Filling)) {
      slot.path[0] = '\0';
      slot.state.store(Free);
    }
    return;
  }
}

bool IsTemporaryOf(const std::string& name, const std::string& target) {
  const std::string stem = "." + target + ".", tail = ".tmp";
  return name.size() > stem.size() + tail.size() && name.rfind(stem, 0) == 0 &&
         name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace rdsim
