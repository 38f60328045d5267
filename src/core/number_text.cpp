#include "core/number_text.h"
#include "core/message_text.h"

#include <locale.h>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "core/run_error.h"

namespace rdsim {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Quoted(std::string_view text) { return Echoed(text) + " is not a number"; }

// The number without its surrounding blanks, or Type mismatch.
std::string CheckedNumberText(std::string_view text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  const std::string_view body = text.substr(begin, end - begin);

  std::size_t i = 0;
  if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < body.size() && IsDigit(body[i])) ++i, ++digits;
  if (i < body.size() && body[i] == '.') {
    ++i;
    while (i < body.size() && IsDigit(body[i])) ++i, ++digits;
  }
  if (digits == 0) throw RunError(Fault::TypeMismatch, Quoted(text));
  if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
    ++i;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
    std::size_t exponentDigits = 0;
    while (i < body.size() && IsDigit(body[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) throw RunError(Fault::TypeMismatch, Quoted(text));
  }
  if (i != body.size()) throw RunError(Fault::TypeMismatch, Quoted(text));
  return std::string(body);
}

// strtod and strtof read "." only in the C locale; the window's locale may differ.
locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

template <typename Float, typename Parse>
Float ParseWith(std::string_view text, Parse parse) {
  const std::string body = CheckedNumberText(text);
  errno = 0;
  const Float value = parse(body.c_str(), nullptr, CLocale());
  // ERANGE also reports underflow, which quietly gives zero or a subnormal.
  if (std::isinf(value)) throw RunError(Fault::Overflow, Echoed(text) + " is too large");
  return value;
}

}  // namespace

double ParseDouble(std::string_view text) { return ParseWith<double>(text, strtod_l); }

float ParseSingle(std::string_view text) { return ParseWith<float>(text, strtof_l); }

std::string FormatSingle(float value) { return FormatDouble(static_cast<double>(value)); }

std::string FormatDouble(double value) {
  if (value == 0.0) return "0";
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";

  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 6);
  const std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));
  // sci is "[-]d.dddddde[+-]XX"
  const bool negative = sci.front() == '-';
  const std::string_view unsigned_sci = negative ? sci.substr(1) : sci;
  const std::size_t e = unsigned_sci.find('e');
  std::string digits;
  for (char c : unsigned_sci.substr(0, e)) {
    if (c != '.') digits += c;
  }
  int exponent = 0;
  std::from_chars(unsigned_sci.data() + e + 1 + (unsigned_sci[e + 1] == '+'), unsigned_sci.data() + unsigned_sci.size(),
                  exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string text = negative ? "-" : "";
  if (exponent < -4 || exponent >= 7) {
    text += digits.substr(0, 1);
    if (digits.size() > 1) text += "." + digits.substr(1);
    text += exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) text += '0';
    text += std::to_string(magnitude);
  } else if (exponent < 0) {
    text += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  } else {
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= whole) {
      text += digits + std::string(whole - digits.size(), '0');
    } else {
      text += digits.substr(0, whole) + "." + digits.substr(whole);
    }
  }
  return text;
}

std::string FormatInteger(std::int64_t value) { return std::to_string(value); }

std::string ExactSingle(float value) {
  char text[32];
  const auto [stop, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc() ? std::string(text, stop) : std::string();
}

}  // namespace rdsim
