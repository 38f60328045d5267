#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <random>

#include "core/number_text.h"
#include "core/run_error.h"
#include "files/preset_file.h"

namespace rdsim {
namespace {

using namespace std::string_literals;

const PresetValues Design{0.08f, -0.08f, 0.04f, 0.03f, 0.06f, -0.03f, -0.15f, 0.01f, 0.25f, 0.2f, 0.5f};
const std::string DesignLine = "\"Design\",0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r\n";

// The fault an action raises; Overflow, which none here raises, when it goes through.
Fault FaultOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const RunError& error) {
    return error.fault();
  }
  return Fault::Overflow;
}

// A comma in a name, and numbers as typed: the file holds what the boxes show.
TEST(PresetFile, WritesRecordsThatReadBackAsTyped) {
  EXPECT_EQ(FormatPresetRecord({"Design", Design}), DesignLine);
  const char* typed[] = {"0.08", "0.080", "-0.15", "0.123456789", "1E-05", "0", "1", "2", "3", "4", "5"};
  PresetRecord record{"a, b", {}};
  for (std::size_t k = 0; k < std::size(typed); ++k) record.values[k] = ParseSingle(typed[k]);
  const std::string line = "\"a, b\",0.08,0.08,-0.15,0.1234568,1E-05,0,1,2,3,4,5\r\n";
  EXPECT_EQ(FormatPresetRecord(record), line);
  EXPECT_EQ(FormatPresetRecord(ParsePresetFile(line).records.at(0)), line);
}

// Each line between two whole records, after each line end: read under `name`
// with the design values, or skipped (no name).
TEST(PresetFile, ReadsWholeRecordsLenientlyAndSkipsTheRest) {
  const std::string values = ",0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5";
  const std::pair<std::string, const char*> cases[] = {
      {"  \"spaced\" , 0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5", "spaced"},
      {"plain  ,8E-2,-8e-2,.04,+0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5", "plain"},
      {"\"Fl\xE4"
       "che\"" +
           values,
       "Fl\xC3\xA4"
       "che"},                                    // Latin-1
      {"\xE2\x86\x92" + values, "\xE2\x86\x92"},  // UTF-8 stays
      {"\xC0\xAF" + values, "\xC3\x80\xC2\xAF"},  // an overlong form is not UTF-8
      {"\"short\",1,2,3", nullptr},
      {"\"text\",1,2,3,4,five,6,7,8,9,10,11", nullptr},
      {"\"long\",1,2,3,4,5,6,7,8,9,10,11,12", nullptr},
      {"\"gap\",1,2,3,4,,6,7,8,9,10,11", nullptr},
      {"\"open,1,2,3,4,5,6,7,8,9,10,11", nullptr},
      {"\"after\"x,1,2,3,4,5,6,7,8,9,10,11", nullptr},
      {"\"huge\",1,2,3,4,5,6,7,8,9,10,1e39", nullptr},
      {"\"nul\",1,2,3,4,5,6,7,8,9,10\0,11"s, nullptr},
      {"no comma", nullptr},
      {"   \t ", nullptr},
      {"", nullptr}};
  for (const auto& [line, name] : cases) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
      const PresetFileContent content = ParsePresetFile(DesignLine + line + end + DesignLine);
      ASSERT_EQ(content.records.size(), name ? 3u : 2u) << line;
      EXPECT_EQ(content.wholeRecords, content.records.size());
      if (name) EXPECT_TRUE(content.records[1].name == name && content.records[1].values == Design) << line;
    }
  }
  const PresetFileContent unended = ParsePresetFile(DesignLine + "last" + values);
  EXPECT_TRUE(unended.records.size() == 2 && !unended.endsWithLineEnd && ParsePresetFile(DesignLine).endsWithLineEnd);
  std::string sixty;
  for (int i = 0; i < 60; ++i) sixty += DesignLine;
  EXPECT_EQ(ParsePresetFile(sixty).records.size(), 51u);
  EXPECT_EQ(ParsePresetFile(sixty).wholeRecords, 60u);
}

TEST(PresetFile, RefusesWhatTheFileCannotCarryOrTake) {
  for (const std::string name : {""s, "say \"hi\""s, "two\nlines"s, "cr\r"s, "nul\0"s}) {
    EXPECT_EQ(FaultOf([&] { CheckPresetName(name); }), Fault::InvalidName) << name;
  }
  EXPECT_NO_THROW(CheckPresetName("a, b \xC3\xA4"));
  EXPECT_EQ(FaultOf([] { ReadPresetFile("/"); }), Fault::FileAccess);
  EXPECT_EQ(FaultOf([] { AppendWhole("/no/such/folder/Parameter.txt", DesignLine); }), Fault::FileAccess);
  if (std::FILE* full = std::fopen("/dev/full", "ab")) {  // opens, then every write fails: a full disk
    std::fclose(full);
    EXPECT_EQ(FaultOf([] { AppendWhole("/dev/full", DesignLine); }), Fault::FileAccess);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));  // not "taken back" by removing it
  }
}

// A write cut short (here by a file size limit, as by a full disk) leaves no half record.
TEST(PresetFile, AWriteCutShortLeavesTheFileAsItWas) {
  const std::string path = ::testing::TempDir() + "rdsim-cut-short.txt";
  std::filesystem::remove(path);
  AppendWhole(path, DesignLine);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = DesignLine.size() + 10;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const Fault fault = FaultOf([&] { AppendWhole(path, DesignLine); });
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(fault, Fault::FileAccess);
  EXPECT_EQ(ReadPresetFile(path), DesignLine);
  std::filesystem::remove(path);
}

// Hostile files: truncations, stray quotes, huge numbers, NUL bytes, 10,000
// character lines, random bytes. No crash, at most 51 entries, and every
// listed record is whole: saved again, it reads back the same.
TEST(PresetFileFuzz, SurvivesHostileFiles) {
  std::mt19937 random(20261207);
  std::string base;
  for (int i = 0; i < 55; ++i) base += FormatPresetRecord({"p" + std::to_string(i), Design});
  const std::string inserts[] = {"\"",
                                 ",",
                                 "\r",
                                 "\n",
                                 "\0"s,
                                 "1e999",
                                 "-1e-999",
                                 "\xFF\xFE",
                                 "E",
                                 " ",
                                 std::string(10000, '0'),
                                 std::string(10000, '"'),
                                 std::string(10000, ',')};
  for (int round = 0; round < 4000; ++round) {
    std::string text = base;
    for (int edits = 1 + static_cast<int>(random() % 8); edits > 0 && !text.empty(); --edits) {
      const std::size_t at = random() % text.size();
      switch (random() % 4) {
        case 0: text.resize(at); break;
        case 1: text.insert(at, inserts[random() % std::size(inserts)]); break;
        case 2: text[at] = static_cast<char>(random()); break;
        default: text.erase(at, random() % 40); break;
      }
    }
    const PresetFileContent content = ParsePresetFile(text);
    ASSERT_LE(content.records.size(), std::min<std::size_t>(PresetRows, content.wholeRecords));
    for (const PresetRecord& record : content.records) {
      for (const float value : record.values) ASSERT_TRUE(std::isfinite(value));
      if (FaultOf([&] { CheckPresetName(record.name); }) == Fault::InvalidName) continue;
      const std::vector<PresetRecord> again = ParsePresetFile(FormatPresetRecord(record)).records;
      ASSERT_EQ(again.size(), 1u);
      ASSERT_TRUE(again[0].name == record.name && again[0].values == record.values) << record.name;
    }
  }
}

}  // namespace
}  // namespace rdsim
