// The rules of both tools' command lines over their flag tables: the =value
// form, repeats, ranges, conflicts, the quoting of echoed values; the usage
// and the man page list every flag with the range of its value.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "atlas/atlas_options.h"
#include "batch_options.h"

namespace rdsim::cli {
namespace {

const std::string P = JoinCoefficientTexts(DesignCoefficientTexts());

// The line a command line is refused with, or "accepted".
std::string Refusal(const std::vector<std::string>& words) {
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  try {
    if (words[0] == "rdsim-batch") {
      batch::ParseArguments(static_cast<int>(argv.size()), argv.data());
    } else {
      atlas::ParseCommand(static_cast<int>(argv.size()), argv.data(), 1);
    }
  } catch (const ArgumentError& error) {
    return rdsim::Printable(error.what());  // as the tools print it
  }
  return "accepted";
}

std::vector<std::string> With(std::vector<std::string> words, std::initializer_list<std::string> more) {
  words.insert(words.end(), more);
  return words;
}

TEST(CommandLine, BothToolsFollowTheirTables) {
  const std::vector<std::string> batch{"rdsim-batch", "--mode=2d", "--size=8", "--steps=5", "--params=" + P};
  const std::vector<std::string> run{"rdsim-atlas",   "run",        "--mode=2d",   "--size=8",    "--steps=5",
                                     "--params=" + P, "--random=1", "--x=0:0:1:2", "--y=4:0:1:2", "--out=d"};
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {batch, "accepted"},
      {run, "accepted"},
      {{"rdsim-atlas", "merge", "--out=d", "--palette=magma", "a", "b"}, "accepted"},
      {With(batch, {"--png", "a.png", "--palette", "viridis", "--palette", "magma"}), "--palette: given twice"},
      {{"rdsim-atlas", "merge", "--palette", "viridis", "--palette", "magma", "--out", "d", "a"},
       "--palette: given twice"},
      {With(run, {"--resume", "--resume"}), "--resume: given twice"},
      {With(batch, {"--png", "a.png", "--scale=33"}), "--scale: \"33\" is not a whole number from 1 to 32"},
      {With(run, {"--jobs", "0"}), "--jobs: \"0\" is not a whole number from 1 to 1024"},
      {{"rdsim-batch", "--mode", "2d", "--size", "8", "--steps", "-1", "--params", P},
       "--steps: \"-1\" is not a whole number from 0 to 9223372036854775807"},
      {With(batch, {"--init", "f", "--random", "1"}), "--random: cannot be combined with --init"},
      {With(batch, {"--analyze-csv", "c.csv"}), "--steps: cannot be combined with --analyze-csv"},
      {{"rdsim-batch", "--analyze", "--mode", "1d", "--size", "8", "--params", P}, "accepted"},
      {{"rdsim-batch", "--mode", "1d", "--help"}, "accepted"},
      {{"rdsim-batch", "--list-presets", "--mode", "1d"}, "--list-presets: takes no other argument"},
      {With(batch, {"--wavelength=1"}), "--wavelength: takes no value"},
      {With(run, {"--no-skip=1"}), "--no-skip: takes no value"},
      {With(run, {"--jobs"}), "--jobs: missing value"},
      {With(run, {"stray"}), "stray: unknown argument"},
      {With(batch, {"-x"}), "-x: unknown argument"},
      {{"rdsim-atlas", "merge", "--out", "d"}, "SHARD_DIR: missing"},
      {With(run, {"--mode", "2d"}), "--mode: given twice"},
      {{"rdsim-atlas", "run", "--mode", "\x1b[2J", "--size=8", "--steps=5", "--params=" + P, "--random=1",
        "--x=0:0:1:2", "--y=4:0:1:2", "--out=d"},
       "--mode: \"\\x1b[2J\" is neither 1d nor 2d"},
  };
  for (const auto& [words, says] : cases) EXPECT_EQ(Refusal(words), says) << words.back();
}

TEST(CommandLine, EchoedValuesShowNoControlCharactersAndAreCut) {
  const std::string e = "\xc3\xa9";  // é, two bytes, one character
  const auto times = [](const std::string& text, int count) {
    std::string repeated;
    for (int i = 0; i < count; ++i) repeated += text;
    return repeated;
  };
  const std::pair<std::string, std::string> cases[] = {
      {"plain ü", "\"plain ü\""},
      {"a\x1b[31mb\n\x7f", "\"a\\x1b[31mb\\x0a\\x7f\""},
      {"\xc2\x85|\xc2\x9f|\xc2\xa0", "\"\\xc2\\x85|\\xc2\\x9f|\xc2\xa0\""},  // C1 escaped, no-break space kept
      {"\xff\xc3|\xed\xa0\x80|\xe0\x80\x80", "\"\\xff\\xc3|\\xed\\xa0\\x80|\\xe0\\x80\\x80\""},
      {times(e, 64), "\"" + times(e, 64) + "\""},
      {times(e, 40) + times("x", 30), "\"" + times(e, 31) + "..." + times("x", 30) + "\""},
  };
  for (const auto& [value, shown] : cases) EXPECT_EQ(rdsim::Printable(rdsim::Echoed(value)), shown);
}

// The man page's OPTIONS: flag -> its heading line, a newline and its text,
// troff stripped.
std::map<std::string, std::string> ManOptions(const std::string& path) {
  std::ifstream file(path);
  std::map<std::string, std::string> entries;
  std::string line, flag;
  bool inOptions = false, heading = false;
  while (std::getline(file, line)) {
    if (line.rfind(".SH", 0) == 0) inOptions = line == ".SH OPTIONS";
    if (!inOptions) continue;
    if (line == ".TP") {
      heading = true;
      continue;
    }
    for (const char* macro : {".BI ", ".BR ", ".B ", ".IR ", ".I ", ".RB "}) {
      if (line.rfind(macro, 0) == 0) line.erase(0, std::string(macro).size());
    }
    for (std::size_t at; (at = line.find("\\-")) != std::string::npos;) line.erase(at, 1);
    std::erase(line, '"');
    for (std::size_t at; (at = line.find("  ")) != std::string::npos;) line.erase(at, 1);
    if (heading) flag = line.substr(0, line.find_first_of(" ,"));
    if (!flag.empty()) entries[flag] += line + (heading ? "\n" : " ");
    heading = false;
  }
  return entries;
}

TEST(CommandLine, UsageAndManPageListEveryFlagWithItsRange) {
  const std::pair<std::vector<Flag>, std::string> tables[] = {{batch::BatchFlags(), batch::Usage()},
                                                              {atlas::RunFlags(), atlas::Usage()},
                                                              {atlas::MergeFlags(), atlas::Usage()}};
  for (const auto& [flags, usage] : tables) {
    for (const Flag& flag : flags) {
      const std::size_t at = usage.find("\n  " + flag.name + " " + flag.value);
      ASSERT_NE(at, std::string::npos) << flag.name;
      EXPECT_NE(usage.substr(at, usage.find('\n', at + 1) - at).find(flag.values.Describe()), std::string::npos)
          << flag.name;
    }
  }
  std::map<std::string, std::string> man = ManOptions(RDSIM_SOURCE_DIR "/packaging/rdsim-batch.1");
  for (const Flag& flag : batch::BatchFlags()) {
    ASSERT_TRUE(man.count(flag.name)) << flag.name << " has no entry in the man page";
    const std::string& entry = man[flag.name];
    EXPECT_EQ(entry.substr(0, entry.find('\n')).rfind(flag.name + (flag.value.empty() ? "" : " " + flag.value), 0), 0u)
        << entry;
    EXPECT_NE(entry.find(flag.values.Describe()), std::string::npos) << entry;
    for (const std::string& other : Split(flag.conflicts, ' ')) EXPECT_NE(entry.find(other), std::string::npos);
    man.erase(flag.name);
  }
  for (const auto& [flag, entry] : man) ADD_FAILURE() << flag << " is in the man page, not in the table";
}

TEST(CommandLine, TheScriptsDesignCoefficientsAreTheTables) {
  std::ifstream file(RDSIM_SOURCE_DIR "/scripts/design_coefficients.sh");
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_NE(text.str().find("\ndesign_params=" + P + "\n"), std::string::npos);
}

}  // namespace
}  // namespace rdsim::cli
