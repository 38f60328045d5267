#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/number_text.h"
#include "core/run_error.h"
#include "params/preset_file.h"

namespace rdsim {
namespace {

const PresetValues Design{0.08f, -0.08f, 0.04f, 0.03f, 0.06f, -0.03f, -0.15f, 0.01f, 0.25f, 0.2f, 0.5f};
const std::string DesignLine = "\"Design\",0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r\n";

std::vector<std::string> Names(const PresetFileContent& content) {
  std::vector<std::string> names;
  for (const PresetRecord& r : content.records) names.push_back(r.name);
  return names;
}

TEST(PresetFile, ReadsThreeRecordsInFileOrder) {
  const std::string text = DesignLine + "\"b\",1,2,3,4,5,6,7,8,9,10,11\r\n\"c\",-1,0,0,0,0,0,0,0,0,0,0.125\r\n";
  const PresetFileContent content = ParsePresetFile(text);
  EXPECT_EQ(Names(content), (std::vector<std::string>{"Design", "b", "c"}));
  EXPECT_EQ(content.records[0].values, Design);
  EXPECT_EQ(content.records[2].values[0], -1.0f);
  EXPECT_EQ(content.records[2].values[10], 0.125f);
  EXPECT_EQ(content.wholeRecords, 3u);
}

TEST(PresetFile, WritesWhatItReadsBackAsTyped) {
  // Typed text -> stored single -> record text -> read back -> shown text.
  const std::vector<std::pair<std::string, std::string>> cases{
      {"0.08", "0.08"}, {"0.080", "0.08"}, {"-0.15", "-0.15"}, {"0.123456789", "0.1234568"},
      {"1E-05", "1E-05"}, {".5", "0.5"},   {"+2", "2"},         {"12345678", "1.234568E+07"}};
  for (const auto& [typed, shown] : cases) {
    PresetRecord record{"r", {}};
    record.values.fill(ParseSingle(typed));
    const std::string line = FormatPresetRecord(record);
    ASSERT_EQ(line.substr(line.size() - 2), "\r\n");
    const PresetFileContent back = ParsePresetFile(line);
    ASSERT_EQ(back.records.size(), 1u) << typed;
    EXPECT_EQ(FormatSingle(back.records[0].values[4]), shown) << typed;
  }
  EXPECT_EQ(FormatPresetRecord({"Design", Design}), DesignLine);
}

TEST(PresetFile, ReadsTheLenientSpellings) {
  const std::string text =
      "  \"spaced\" , 0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\n"   // LF only, blanks
      "plain name  ,8E-2,-8e-2,.04,+0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5\r"     // CR only, exponents
      "\"a, b\",0.08,-0.08,0.04,0.03,0.06,-0.03,-0.15,0.01,0.25,0.2,0.5";          // comma in name, no line end
  const PresetFileContent content = ParsePresetFile(text);
  EXPECT_EQ(Names(content), (std::vector<std::string>{"spaced", "plain name", "a, b"}));
  for (const PresetRecord& r : content.records) EXPECT_EQ(r.values, Design) << r.name;
  EXPECT_FALSE(content.endsWithLineEnd);
  EXPECT_TRUE(ParsePresetFile(DesignLine).endsWithLineEnd);
  EXPECT_TRUE(ParsePresetFile("").endsWithLineEnd);
}

TEST(PresetFile, SkipsLinesThatAreNotWholeRecordsAndKeepsTheOthers) {
  const std::vector<std::string> bad{
      "\"short\",1,2,3",
      "\"text\",1,2,3,4,five,6,7,8,9,10,11",
      "\"long\",1,2,3,4,5,6,7,8,9,10,11,12",
      "\"empty field\",1,2,3,4,,6,7,8,9,10,11",
      "\"unclosed,1,2,3,4,5,6,7,8,9,10,11",
      "\"after\"x,1,2,3,4,5,6,7,8,9,10,11",
      "\"huge\",1,2,3,4,5,6,7,8,9,10,1e39",
      "\"nan\",1,2,3,4,5,6,7,8,9,10,NaN",
      std::string("\"nul\",1,2,3,4,5,6,7,8,9,10\0,11", 32),
      "no comma at all",
      "   \t ",
      "",
  };
  for (const std::string& line : bad) {
    const PresetFileContent content = ParsePresetFile(DesignLine + line + "\r\n" + DesignLine);
    EXPECT_EQ(content.records.size(), 2u) << line;
    EXPECT_EQ(content.wholeRecords, 2u) << line;
  }
}

TEST(PresetFile, ListsTheFirst51AndCountsTheRest) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += FormatPresetRecord({"p" + std::to_string(i), Design});
  const PresetFileContent content = ParsePresetFile(text);
  ASSERT_EQ(content.records.size(), 51u);
  EXPECT_EQ(content.records.back().name, "p50");
  EXPECT_EQ(content.wholeRecords, 60u);
}

TEST(PresetFile, KeepsUtf8NamesAndReadsOtherBytesAsLatin1) {
  const std::string utf8 = "Fl\xC3\xA4" "che \xE2\x86\x92 \xF0\x9F\x90\x86";
  EXPECT_EQ(ParsePresetFile("\"" + utf8 + "\",1,2,3,4,5,6,7,8,9,10,11").records.at(0).name, utf8);
  // The same word in an 8-bit code page; an overlong form and a surrogate are not UTF-8 either.
  EXPECT_EQ(ParsePresetFile("\"Fl\xE4" "che\",1,2,3,4,5,6,7,8,9,10,11").records.at(0).name, "Fl\xC3\xA4" "che");
  EXPECT_EQ(ParsePresetFile("\"\xC0\xAF\",1,2,3,4,5,6,7,8,9,10,11").records.at(0).name, "\xC3\x80\xC2\xAF");
  EXPECT_EQ(ParsePresetFile("\"\xED\xA0\x80\",1,2,3,4,5,6,7,8,9,10,11").records.at(0).name, "\xC3\xAD\xC2\xA0\xC2\x80");
}

TEST(PresetFile, RefusesNamesTheFormatCannotCarry) {
  for (const std::string& name : std::vector<std::string>{"", "say \"hi\"", "two\nlines", "cr\r", std::string("n\0l", 3)}) {
    try {
      CheckPresetName(name);
      ADD_FAILURE() << "accepted " << name;
    } catch (const RunError& error) {
      EXPECT_EQ(error.fault(), Fault::InvalidName);
    }
  }
  EXPECT_NO_THROW(CheckPresetName("a, b \xC3\xA4"));
}

struct PresetFileOnDisk : ::testing::Test {
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("rdsim-preset-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                               "-" + std::to_string(std::random_device{}()));
  void SetUp() override { std::filesystem::create_directories(dir); }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Path(const char* name) const { return (dir / name).string(); }
};

TEST_F(PresetFileOnDisk, AppendsAndReadsBack) {
  EXPECT_FALSE(ReadPresetFile(Path("Parameter.txt")));
  AppendWhole(Path("Parameter.txt"), DesignLine);
  AppendWhole(Path("Parameter.txt"), DesignLine);
  EXPECT_EQ(ReadPresetFile(Path("Parameter.txt")), DesignLine + DesignLine);
}

TEST_F(PresetFileOnDisk, FailuresNameTheFileAndLeaveNothingBehind) {
  auto faultOf = [](auto action) {
    try {
      action();
    } catch (const RunError& error) {
      EXPECT_NE(error.detail().find('"'), std::string::npos) << error.what();
      return error.fault();
    }
    ADD_FAILURE() << "did not fail";
    return Fault::Overflow;
  };
  EXPECT_EQ(faultOf([&] { ReadPresetFile(dir.string()); }), Fault::FileAccess);
  EXPECT_EQ(faultOf([&] { AppendWhole(Path("no/such/folder.txt"), DesignLine); }), Fault::FileAccess);
  EXPECT_EQ(faultOf([&] { AppendWhole(dir.string(), DesignLine); }), Fault::FileAccess);
  if (std::filesystem::exists("/dev/full")) {  // accepts the open, fails the write: a full disk
    EXPECT_EQ(faultOf([&] { AppendWhole("/dev/full", DesignLine); }), Fault::FileAccess);
  }
}

// Hostile files: truncations, stray quotes and commas, huge numbers, NUL
// bytes, long lines, random bytes. The reader must neither crash nor list
// more than 51 entries, and what it lists must be whole records.
TEST(PresetFileFuzz, SurvivesHostileFiles) {
  std::mt19937 random(20261207);
  std::string base;
  for (int i = 0; i < 55; ++i) base += FormatPresetRecord({"p" + std::to_string(i), Design});
  const std::vector<std::string> inserts{"\"", ",", "\r", "\n", std::string(1, '\0'), "1e999", "-1e-999",
                                         "9999999999999999999999999999999999999999", "\xFF\xFE", "E", ".", " "};
  auto mutate = [&](std::string text) {
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const std::size_t at = random() % text.size();
      switch (random() % 5) {
        case 0: text.resize(at); break;
        case 1: text.insert(at, inserts[random() % inserts.size()]); break;
        case 2: text[at] = static_cast<char>(random()); break;
        case 3: text.erase(at, random() % 40); break;
        case 4: text.insert(at, std::string(10000, "0,\"a"[random() % 4])); break;
      }
    }
    return text;
  };
  for (int round = 0; round < 4000; ++round) {
    std::string text;
    if (round % 4 == 3) {
      text.resize(random() % 3000);
      for (char& c : text) c = static_cast<char>(random());
    } else {
      text = mutate(base);
    }
    const PresetFileContent content = ParsePresetFile(text);
    ASSERT_LE(content.records.size(), static_cast<std::size_t>(PresetRows));
    ASSERT_LE(content.records.size(), content.wholeRecords);
    for (const PresetRecord& record : content.records) {
      for (const float value : record.values) ASSERT_TRUE(std::isfinite(value));
      ASSERT_EQ(record.name.find('\0'), std::string::npos);
      // A listed record that can be saved again reads back the same.
      bool writable = true;
      try {
        CheckPresetName(record.name);
      } catch (const RunError&) {
        writable = false;
      }
      if (!writable) continue;
      const PresetFileContent again = ParsePresetFile(FormatPresetRecord(record));
      ASSERT_EQ(again.records.size(), 1u);
      ASSERT_EQ(again.records[0].name, record.name);
      ASSERT_EQ(again.records[0].values, record.values);
    }
  }
}

}  // namespace
}  // namespace rdsim
