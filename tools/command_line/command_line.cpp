#include "command_line/command_line.h"

#include <QCommandLineParser>
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iterator>
#include <sstream>

namespace rdsim::cli {

std::string Values::Describe() const {
  if (!IsWhole()) return text;
  if (high == NoLimit) return std::to_string(low) + " or more";
  return std::to_string(low) + " to " + std::to_string(high);
}

namespace {

// Words pass through Latin-1 both ways, so that a file name keeps its bytes,
// UTF-8 or not.
QString Latin1(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }
std::string Bytes(const QString& text) { return text.toLatin1().toStdString(); }

std::vector<std::string> Names(const std::string& list) {
  std::istringstream words(list);
  return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

// Why the parser refused the words: an unknown flag, a switch with a value, or
// a flag without its value (which can only be the last word).
[[noreturn]] void Refuse(const QCommandLineParser& parser, const std::vector<Flag>& flags,
                         const std::vector<std::string>& words) {
  if (!parser.unknownOptionNames().isEmpty()) {
    const std::string name = Bytes(parser.unknownOptionNames().first());
    throw ArgumentError((name.size() == 1 ? "-" : "--") + name, "unknown argument");
  }
  for (const std::string& word : words) {
    const std::string name = word.substr(0, word.find('='));
    const auto row = std::find_if(flags.begin(), flags.end(), [&](const Flag& f) { return f.name == name; });
    if (name != word && row != flags.end() && row->value.empty()) throw ArgumentError(name, "takes no value");
  }
  throw ArgumentError(words.back(), "missing value");
}

}  // namespace

Arguments::Arguments(const std::vector<Flag>& flags, const std::vector<std::string>& words, std::string_view positional)
    : flags_(flags) {
  QCommandLineParser parser;
  for (const Flag& flag : flags) {
    QStringList names{Latin1(flag.name.substr(2))};
    if (flag.name == "--help") names << "h";  // as every tool takes it
    parser.addOption(QCommandLineOption(names, {}, flag.value.empty() ? QString() : Latin1(flag.value)));
  }
  QStringList list{"program"};
  for (const std::string& word : words) list << Latin1(word);
  if (!parser.parse(list)) Refuse(parser, flags, words);
  for (const QString& word : parser.positionalArguments()) {
    if (positional.empty()) throw ArgumentError(Bytes(word), "unknown argument");
    positional_.push_back(Bytes(word));
  }
  for (const QString& found : parser.optionNames()) {
    const std::string name = found == "h" ? "--help" : "--" + Bytes(found);
    if (given_.count(name) && !Row(name).repeats) throw ArgumentError(name, "given twice");
    std::vector<std::string>& values = given_[name];
    if (!Row(name).value.empty())
      values.push_back(Bytes(parser.values(found).at(static_cast<qsizetype>(values.size()))));
  }
  for (const Flag& flag : flags) {
    if (flag.alone && Has(flag.name) && words.size() > 1) throw ArgumentError(flag.name, "takes no other argument");
    if (flag.alone && Has(flag.name)) return;
  }
  CheckConflicts();
  if (!Has("--help")) CheckRequired();
}

const Flag& Arguments::Row(std::string_view name) const {
  const auto row = std::find_if(flags_.begin(), flags_.end(), [&](const Flag& f) { return f.name == name; });
  if (row == flags_.end()) throw std::logic_error("no flag " + std::string(name) + " in the table");
  return *row;
}

void Arguments::CheckConflicts() const {
  for (const Flag& flag : flags_) {
    if (!Has(flag.name)) continue;
    for (const std::string& other : Names(flag.conflicts)) {
      if (Has(other)) throw ArgumentError(other, "cannot be combined with " + flag.name);
    }
  }
}

void Arguments::CheckRequired() const {
  for (const Flag& flag : flags_) {
    if (!flag.required || Has(flag.name)) continue;
    const bool excused = std::any_of(flags_.begin(), flags_.end(), [&](const Flag& other) {
      const std::vector<std::string> names = Names(other.conflicts);
      return Has(other.name) && std::find(names.begin(), names.end(), flag.name) != names.end();
    });
    if (!excused) throw ArgumentError(flag.name, "missing");
  }
}

const std::string& Arguments::Text(std::string_view name) const {
  static const std::string none;
  const auto it = given_.find(name);
  return it == given_.end() || it->second.empty() ? none : it->second.front();
}

std::int64_t Arguments::Whole(std::string_view name) const {
  const Values& values = Row(name).values;
  return ParseWhole(std::string(name), Text(name), values.low, values.high);
}

std::string Usage(std::string_view command, const std::vector<Flag>& flags, std::string_view positional) {
  std::string text(command);
  for (const Flag& flag : flags) {
    if (flag.required) text += " " + flag.name + " " + flag.value;
  }
  text += " [FLAG]...";
  if (!positional.empty()) text += " " + std::string(positional) + "...";
  text += "\n";
  for (const Flag& flag : flags) {
    std::string line = "  " + flag.name + (flag.value.empty() ? "" : " " + flag.value);
    line.resize(std::max<std::size_t>(line.size() + 1, 26), ' ');
    line += flag.help;
    const std::string range = flag.values.Describe();
    if (!range.empty()) line += " (" + flag.value + ": " + range + ")";
    text += line + "\n";
  }
  return text;
}

std::int64_t ParseWhole(const std::string& argument, const std::string& text, std::int64_t low, std::int64_t high,
                        std::string_view what) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || ptr != end || value < low || value > high) {
    throw ArgumentError(argument, Echoed(text) + " is not " + std::string(what) + " from " + std::to_string(low) +
                                      " to " + std::to_string(high));
  }
  return value;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string::size_type begin = 0;
  for (;;) {
    const auto at = text.find(separator, begin);
    parts.push_back(text.substr(begin, at - begin));
    if (at == std::string::npos) return parts;
    begin = at + 1;
  }
}

Mode ParseMode(const std::string& text) {
  if (text == "1d" || text == "1D") return Mode::OneD;
  if (text == "2d" || text == "2D") return Mode::TwoD;
  throw ArgumentError("--mode", Echoed(text) + " is neither 1d nor 2d");
}

const Palette* ParsePalette(const std::string& name) {
  const Palette* palette = FindPalette(name);
  if (!palette) throw ArgumentError("--palette", Echoed(name) + " is none of " + PaletteNames());
  return palette;
}

CoefficientTexts ParseCoefficientTexts(const std::string& list) {
  const std::vector<std::string> texts = Split(list, ',');
  CoefficientTexts coefficients;
  if (texts.size() != coefficients.size()) {
    throw ArgumentError("--params", "needs the " + std::to_string(CoefficientCount) + " coefficients k0..k" +
                                        std::to_string(CoefficientCount - 1) + " separated by commas, got " +
                                        std::to_string(texts.size()));
  }
  std::copy(texts.begin(), texts.end(), coefficients.begin());
  return coefficients;
}

std::string JoinCoefficientTexts(const CoefficientTexts& texts) {
  std::string list;
  for (const std::string& text : texts) list += (list.empty() ? "" : ",") + text;
  return list;
}

}  // namespace rdsim::cli
