#pragma once

// The command line of both tools: each keeps one table of its flags, and the
// parsing, the usage text and the error lines are made from it (a test holds
// the man page to it). Adding a flag is one row, and reading its value.

#include <cstdint>
#include <limits>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/coefficients.h"
#include "core/message_text.h"
#include "core/simulation.h"
#include "pixels/palette.h"

namespace rdsim::cli {

// A bad command line, named by the argument at fault.
class ArgumentError : public std::runtime_error {
 public:
  ArgumentError(std::string argument, const std::string& message)
      : std::runtime_error(Shortened(argument) + ": " + message), argument_(std::move(argument)) {}
  const std::string& argument() const { return argument_; }

 private:
  std::string argument_;
};

inline constexpr std::int64_t NoLimit = std::numeric_limits<std::int64_t>::max();

// What a flag's value may be: a whole number from `low` to `high`, checked
// here, or what `text` says, checked by the tool.
struct Values {
  Values() = default;
  Values(std::string text) : text(std::move(text)) {}
  Values(std::int64_t low, std::int64_t high) : low(low), high(high) {}
  bool IsWhole() const { return low <= high; }
  // "1 to 32", "1 or more", or the text.
  std::string Describe() const;

  std::string text;
  std::int64_t low = 0, high = -1;
};
inline Values Whole(std::int64_t low, std::int64_t high = NoLimit) { return {low, high}; }

struct Flag {
  std::string name = {};   // "--steps"
  std::string value = {};  // what the usage calls it, "K"; empty: a switch
  Values values = {};
  std::string help = {};       // one line of the usage
  std::string conflicts = {};  // flags that cannot be given with this one, space-separated
  bool required = false;       // unless a flag given conflicts with it, or --help is given
  bool repeats = false;
  bool alone = false;  // takes no other argument
};
inline constexpr bool Required = true;

// The words after the program (and its command), read against a flag table.
// Flags take their value as the next word or after "=" (--size=64).
class Arguments {
 public:
  // Raises ArgumentError for an unknown flag, a flag without its value, a
  // switch with one, a flag given twice that may not repeat, two flags that
  // conflict, a lone flag with others, a required flag missing, and a word
  // that is no flag unless
  // `positional` names such words ("SHARD_DIR").
  Arguments(const std::vector<Flag>& flags, const std::vector<std::string>& words, std::string_view positional = {});

  bool Has(std::string_view name) const { return given_.count(name) > 0; }
  // The value given, "" when the flag is not.
  const std::string& Text(std::string_view name) const;
  // The value as a whole number in the row's range.
  std::int64_t Whole(std::string_view name) const;
  const std::vector<std::string>& Positional() const { return positional_; }

 private:
  const Flag& Row(std::string_view name) const;
  void CheckConflicts() const;
  void CheckRequired() const;

  const std::vector<Flag>& flags_;
  std::map<std::string, std::vector<std::string>, std::less<>> given_;
  std::vector<std::string> positional_;
};

// "COMMAND --required VALUE... [FLAG]...", then one line per flag: its help
// and the range of its value.
std::string Usage(std::string_view command, const std::vector<Flag>& flags, std::string_view positional = {});

// `text` as a whole number from `low` to `high`; ArgumentError naming `argument` otherwise.
std::int64_t ParseWhole(const std::string& argument, const std::string& text, std::int64_t low, std::int64_t high,
                        std::string_view what = "a whole number");
std::vector<std::string> Split(const std::string& text, char separator);
Mode ParseMode(const std::string& text);
const Palette* ParsePalette(const std::string& name);
// A --params list: the coefficients' texts, left to the intake; and back.
CoefficientTexts ParseCoefficientTexts(const std::string& list);
std::string JoinCoefficientTexts(const CoefficientTexts& texts);

}  // namespace rdsim::cli
