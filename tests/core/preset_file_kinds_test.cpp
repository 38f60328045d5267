// The preset file as found on disk: a byte-order mark, no whole record, too
// many records, too many bytes, and two programs saving at the same moment.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/run_error.h"
#include "files/preset_file.h"

namespace rdsim {
namespace {

namespace fs = std::filesystem;

const PresetValues Design{0.08f, -0.08f, 0.04f, 0.03f, 0.06f, -0.03f, -0.15f, 0.01f, 0.25f, 0.2f, 0.5f};
const std::string DesignLine = "\"Design\",0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r\n";
const std::string Bom = "\xEF\xBB\xBF";
const std::vector<PresetRecord> Firsts{{"one", Design}, {"two", {}}};

class PresetFileKinds : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(::testing::TempDir()) / ("rdsim-presets-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    path = (folder / "Parameter.txt").string();
  }
  void TearDown() override { fs::remove_all(folder); }
  void Put(const std::string& bytes) const { std::ofstream(path, std::ios::binary) << bytes; }
  std::string Slurp() const {
    std::ifstream file(path, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()) : "<missing>";
  }
  static std::string Lines(const std::vector<PresetRecord>& records) {
    std::string text;
    for (const PresetRecord& record : records) text += FormatPresetRecord(record);
    return text;
  }

  fs::path folder;
  std::string path;
};

TEST_F(PresetFileKinds, AByteOrderMarkIsSkipped) {
  const PresetFileContent content = ParsePresetFile(Bom + DesignLine + DesignLine);
  ASSERT_EQ(content.records.size(), 2u);
  EXPECT_EQ(content.records[0].name, "Design");
  EXPECT_TRUE(ParsePresetFile(Bom).records.empty() && ParsePresetFile(Bom).endsWithLineEnd);
  // Only at the start: elsewhere it belongs to the name.
  EXPECT_EQ(ParsePresetFile(DesignLine + Bom + DesignLine).records[1].name, Bom + "\"Design\"");
}

// What a save of "z" leaves, from each file it may find.
TEST_F(PresetFileKinds, AFileWithoutAWholeRecordGetsTheFirstRecordsBeforeTheNewOne) {
  const std::string z = FormatPresetRecord({"z", Design}), firsts = Lines(Firsts);
  const std::string unended = DesignLine.substr(0, DesignLine.size() - 2);
  const struct {
    const char* found;
    std::string before, after;
  } cases[] = {
      {"missing", "<missing>", firsts + z},
      {"empty", "", firsts + z},
      {"a byte-order mark", Bom, Bom + firsts + z},
      {"blank lines", "\r\n  \r\n", "\r\n  \r\n" + firsts + z},
      {"a short record", "\"x\",1,2\r\n", "\"x\",1,2\r\n" + firsts + z},
      {"text without a line end", "junk", "junk\r\n" + firsts + z},
      {"one record", DesignLine, DesignLine + z},
      {"one record after a mark", Bom + DesignLine, Bom + DesignLine + z},
      {"one record without a line end", unended, unended + "\r\n" + z},
  };
  for (const auto& c : cases) {
    fs::remove(path);
    if (c.before != "<missing>") Put(c.before);
    AppendPreset(path, {"z", Design}, Firsts);
    EXPECT_EQ(Slurp(), c.after) << c.found;
  }
}

// The list shows 51 presets: a file of 51 records or more takes no other, and
// the refusal names the list's limit, not the count of the file.
TEST_F(PresetFileKinds, AFullFileIsLeftAloneAndTheLimitNamed) {
  for (const int records : {50, 51, 60}) {
    std::string text;
    for (int i = 0; i < records; ++i) text += DesignLine;
    Put(text);
    try {
      AppendPreset(path, {"z", Design}, Firsts);
      EXPECT_EQ(records, 50);
      EXPECT_EQ(ParsePresetFile(Slurp()).wholeRecords, 51u);
    } catch (const RunError& error) {
      EXPECT_GE(records, 51);
      EXPECT_EQ(error.fault(), Fault::SubscriptOutOfRange);
      const std::string message = error.what();
      EXPECT_NE(message.find("at most 51 presets"), std::string::npos) << message;
      EXPECT_EQ(message.find(" 60 "), std::string::npos) << message;  // the limit, not the count found
      EXPECT_EQ(Slurp(), text);
    }
  }
}

TEST_F(PresetFileKinds, AFileAboveAMegabyteIsRefusedUnread) {
  std::string text = DesignLine;
  text.resize(PresetFileMaxBytes + 1, ' ');
  Put(text);
  for (const auto& action : {std::function<void()>([&] { ReadPresetFile(path); }), std::function<void()>([&] {
                               AppendPreset(path, {"z", Design}, Firsts);
                             })}) {
    try {
      action();
      ADD_FAILURE() << "accepted";
    } catch (const RunError& error) {
      EXPECT_EQ(error.fault(), Fault::FileAccess);
      EXPECT_NE(std::string(error.what()).find("1048577 bytes"), std::string::npos) << error.what();
    }
  }
  EXPECT_EQ(Slurp(), text);
}

// Windows in one folder saving at the same moment: one after the other, the
// first records written once, every record whole.
TEST_F(PresetFileKinds, SavesAtTheSameMomentFollowOneAnother) {
  constexpr int Savers = 8;
  for (const bool existing : {false, true}) {
    fs::remove(path);
    if (existing) Put(DesignLine);
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < Savers; ++i) {
      const pid_t child = ::fork();
      if (child == 0) {
        ::close(gate[1]);
        char byte;
        (void)::read(gate[0], &byte, 1);  // returns for all at once, when the gate closes
        try {
          AppendPreset(path, {"w" + std::to_string(i), Design}, Firsts);
        } catch (...) {
          ::_exit(1);
        }
        ::_exit(0);
      }
      children.push_back(child);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t child : children) {
      int status = 0;
      ::waitpid(child, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string text = Slurp();
    const PresetFileContent content = ParsePresetFile(text);
    const std::size_t head = existing ? 1 : Firsts.size();
    ASSERT_EQ(content.wholeRecords, head + Savers) << text;
    EXPECT_EQ(text.substr(0, existing ? DesignLine.size() : Lines(Firsts).size()),
              existing ? DesignLine : Lines(Firsts));
    for (int i = 0; i < Savers; ++i) {
      EXPECT_EQ(std::count_if(content.records.begin(), content.records.end(),
                              [&](const PresetRecord& r) { return r.name == "w" + std::to_string(i); }),
                1);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);  // no temporary left
  }
}

}  // namespace
}  // namespace rdsim
