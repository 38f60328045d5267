#include "files/file_access.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "core/run_error.h"

// While armed, this binary's fsync and rename notice which files reached the
// disk before a rename, and can fail as a full or broken disk would.
struct DiskWatch {
  bool armed = false;
  int fsyncError = 0, renameError = 0;
  std::set<std::pair<dev_t, ino_t>> synced;
  int renames = 0, unsyncedRenames = 0;
} watch;

extern "C" int fsync(int fd) {
  static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
  struct stat st {};
  if (watch.armed && watch.fsyncError != 0) {
    errno = watch.fsyncError;
    return -1;
  }
  if (watch.armed && ::fstat(fd, &st) == 0) watch.synced.insert({st.st_dev, st.st_ino});
  return real(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
  static const auto real = reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(RTLD_NEXT, "rename"));
  struct stat st {};
  if (watch.armed) {
    ++watch.renames;
    if (watch.renameError != 0) {
      errno = watch.renameError;
      return -1;
    }
    if (::stat(from, &st) != 0 || !watch.synced.count({st.st_dev, st.st_ino})) ++watch.unsyncedRenames;
  }
  return real(from, to);
}

namespace rdsim {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test; a FIFO opened the wrong way would hang the test, so
// an alarm ends it instead.
class FileAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(::testing::TempDir()) / ("rdsim-files-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    ::alarm(60);
  }
  void TearDown() override {
    ::alarm(0);
    fs::remove_all(folder);
  }
  std::string At(const std::string& name) const { return (folder / name).string(); }
  std::string Make(const std::string& name, const std::string& bytes) const {
    std::ofstream(At(name), std::ios::binary) << bytes;
    return At(name);
  }
  std::vector<std::string> Hidden() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path().filename().string()[0] == '.') names.push_back(entry.path().filename().string());
    }
    return names;
  }
  static std::string Slurp(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  // The message of the RunError an action raises, or "ok".
  static std::string Outcome(const std::function<void()>& action) {
    try {
      action();
    } catch (const RunError& error) {
      EXPECT_EQ(error.fault(), Fault::FileAccess) << error.what();
      return error.detail();
    }
    return "ok";
  }

  fs::path folder;
};

TEST_F(FileAccessTest, ReadsOnlyRegularFilesOfACheckedSize) {
  ASSERT_EQ(::mkfifo(At("fifo").c_str(), 0644), 0);
  fs::create_symlink(Make("ten", "0123456789"), At("link"));
  const struct {
    std::string path;
    const char* result;  // the content, "<none>", or part of the refusal
  } cases[] = {
      {At("ten"), "0123456789"},        {Make("empty", ""), ""},
      {At("link"), "0123456789"},       {At("missing"), "<none>"},
      {At(""), "is a folder"},          {At("fifo"), "FIFO"},
      {"/dev/zero", "device"},          {Make("eleven", "0123456789A"), "11 bytes, more than the 10"},
      {At("ten/x"), "Not a directory"},
  };
  for (const auto& c : cases) {
    std::string got;
    const std::string refusal = Outcome([&] {
      const std::optional<std::string> text = ReadInputFile(c.path, 10);
      got = text ? *text : "<none>";
    });
    if (refusal == "ok") {
      EXPECT_EQ(got, c.result) << c.path;
    } else {
      EXPECT_NE(refusal.find(c.result), std::string::npos) << refusal;
      EXPECT_NE(refusal.find("\"" + c.path + "\""), std::string::npos) << refusal;
    }
    // The size check agrees, without opening anything.
    const bool sized = Outcome([&] { InputFileSize(c.path); }) == "ok";
    EXPECT_EQ(sized, refusal == "ok" || refusal.find("bytes") != std::string::npos) << c.path;
  }
}

// Folders, FIFOs, devices and missing folders are judged through rdsim-batch
// in the batch check; here the links and odd spellings.
TEST_F(FileAccessTest, AcceptsOutputsThatCanBeWrittenAndNamesTheRest) {
  fs::create_symlink(Make("old", "x"), At("link"));
  fs::create_symlink(At("nowhere"), At("dangling"));
  const struct {
    std::string path;
    std::string refusal;  // empty: accepted
  } cases[] = {
      {At("old"), ""},
      {At("new"), ""},
      {At("link"), ""},
      {"relative-name-in-the-working-folder", ""},
      {"/dev/null", "device"},
      {At("dangling"), "link to nothing"},
      {At("new-folder/"), "folder separator"},
  };
  for (const auto& c : cases) {
    const std::string result = Outcome([&] { CheckOutputPath(c.path); });
    if (c.refusal.empty()) {
      EXPECT_EQ(result, "ok") << c.path;
    } else {
      EXPECT_NE(result.find(c.refusal), std::string::npos) << c.path << ": " << result;
    }
  }
}

TEST_F(FileAccessTest, SameFileSeesThroughSpellingsAndLinks) {
  const std::string a = Make("a", "1");
  Make("b", "1");
  fs::create_hard_link(a, At("hard"));
  fs::create_symlink(a, At("soft"));
  fs::create_directory(At("sub"));
  const std::string name = folder.filename().string();
  const struct {
    std::string first, second;
    bool same;
  } cases[] = {
      {a, a, true},
      {a, At("./a"), true},
      {a, At("sub/../a"), true},
      {a, At("../" + name + "/a"), true},
      {a, At("hard"), true},
      {a, At("soft"), true},
      {a, At("b"), false},
      {At("new"), At("sub/../new"), true},  // neither there yet
      {At("new"), At("other"), false},
      {a, At("sub/a"), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SameFile(c.first, c.second), c.same) << c.first << " " << c.second;
    EXPECT_EQ(SameFile(c.second, c.first), c.same) << c.second << " " << c.first;
  }
}

TEST_F(FileAccessTest, FilesChangeTogetherOrNotAtAll) {
  const std::string first = Make("first", "old first"), second = Make("second", "old second");
  ::chmod(first.c_str(), 0640);
  {
    WholeFiles files;
    files.Add(first, "new first");
    EXPECT_NE(Outcome([&] { files.Add(At("gone/second"), "x"); }).find("does not exist"), std::string::npos);
  }  // never committed
  EXPECT_EQ(Slurp(first), "old first");
  EXPECT_TRUE(Hidden().empty());

  WholeFiles files;
  files.Add(first, "new first");
  files.Add(second, "new second");
  EXPECT_EQ(Slurp(first), "old first");  // nothing changes before the commit
  files.Commit();
  EXPECT_EQ(Slurp(first) + Slurp(second), "new firstnew second");
  EXPECT_EQ(fs::status(first).permissions() & fs::perms::all, fs::perms(0640));
  EXPECT_TRUE(Hidden().empty());

  // A link stays a link; the file it names is replaced.
  fs::create_symlink(first, At("link"));
  WriteFileWhole(At("link"), "through the link");
  EXPECT_TRUE(fs::is_symlink(At("link")));
  EXPECT_EQ(Slurp(first), "through the link");
}

// Every way of writing a file: the bytes reach the disk before the rename, and
// a failed fsync or rename leaves the older file and no temporary.
TEST_F(FileAccessTest, WritesReachTheDiskBeforeTheRenameAndFailuresLeaveNoTemporary) {
  const std::pair<const char*, std::function<void(const std::string&)>> writers[] = {
      {"WriteFileWhole", [](const std::string& path) { WriteFileWhole(path, "new"); }},
      {"WholeFiles",
       [](const std::string& path) {
         WholeFiles files;
         files.Add(path, "new");
         files.Add(path + "-also", "new");
         files.Commit();
       }},
      {"TemporaryFile",
       [](const std::string& path) {
         TemporaryFile file(path);
         std::ofstream(file.Path()) << "new";
         file.Commit();
       }},
  };
  const struct {
    int fsyncError, renameError;
    const char* says;  // "ok" or part of the refusal
  } cases[] = {{0, 0, "ok"}, {EIO, 0, "cannot write"}, {0, EIO, "cannot replace"}, {0, EXDEV, "cannot replace"}};
  for (const auto& [writer, write] : writers) {
    for (const auto& c : cases) {
      const int error = c.fsyncError + c.renameError;
      SCOPED_TRACE(std::string(writer) + ": " + c.says + " " + std::to_string(error));
      const std::string path = Make("target", "old");
      fs::remove(path + "-also");
      watch = DiskWatch{true, c.fsyncError, c.renameError, {}, 0, 0};
      const std::string outcome = Outcome([&] { write(path); });
      watch.armed = false;
      EXPECT_NE(outcome.find(c.says), std::string::npos) << outcome;
      EXPECT_NE(outcome.find(error ? std::strerror(error) : "ok"), std::string::npos) << outcome;
      EXPECT_EQ(Slurp(path), error ? "old" : "new");
      EXPECT_TRUE(Hidden().empty());
      EXPECT_EQ(watch.unsyncedRenames, 0);
      EXPECT_EQ(watch.renames > 0, c.fsyncError == 0);  // and nothing renamed after a failed fsync
    }
  }
}

// A writer killed at any moment leaves the old content or the new, never a mix.
TEST_F(FileAccessTest, AKilledWriterLeavesTheOldOrTheNewFile) {
  const std::string oldBytes(4 << 20, 'a'), newBytes(4 << 20, 'b');
  const std::string path = Make("big", oldBytes);
  for (int round = 0; round < 6; ++round) {
    const pid_t child = ::fork();
    if (child == 0) {
      try {
        for (;;) WriteFileWhole(path, round % 2 == 0 ? newBytes : oldBytes);
      } catch (...) {
      }
      ::_exit(1);
    }
    ::usleep(static_cast<useconds_t>(3000 + 7000 * round));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string now = Slurp(path);
    EXPECT_TRUE(now == oldBytes || now == newBytes) << "round " << round << ": " << now.size() << " bytes";
  }
}

TEST_F(FileAccessTest, ALockedFileWaitsForItsHolderAndRemovesWhatItCreatedInVain) {
  const std::string path = At("shared.txt");
  {
    LockedFile file(path, 100);
    EXPECT_EQ(file.Content(), "");
    EXPECT_TRUE(fs::exists(path));
  }
  EXPECT_FALSE(fs::exists(path));  // created, never replaced

  Make("shared.txt", "v1");
  const int holder = ::open(path.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  EXPECT_NE(Outcome([&] { LockedFile file(path, 100, 0.2); }).find("locked"), std::string::npos);
  ::close(holder);
  {
    LockedFile file(path, 100);
    EXPECT_EQ(file.Content(), "v1");
    file.Replace("v2");
  }
  EXPECT_EQ(Slurp(path), "v2");
  EXPECT_NE(Outcome([&] { LockedFile file(path, 1); }).find("2 bytes"), std::string::npos);
  ASSERT_EQ(::mkfifo(At("fifo").c_str(), 0644), 0);
  EXPECT_NE(Outcome([&] { LockedFile file(At("fifo"), 100); }).find("FIFO"), std::string::npos);
}

}  // namespace
}  // namespace rdsim
