#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rdsim {

// Reads what a user may type for a number: blanks around, an optional sign,
// digits with "." (whatever the locale), an optional exponent. Anything else,
// the empty text included, raises Type mismatch; a magnitude beyond double
// raises Overflow.
double ParseDouble(std::string_view text);

// The same text rounded once, correctly, to single precision; Overflow past it.
float ParseSingle(std::string_view text);

// At most 7 significant digits, rounded, trailing zeros dropped, "." as the
// separator; magnitudes below 1E-04 or from 1E+07 up take an exponent.
std::string FormatSingle(float value);
// The same form for a double, for figures that lie beyond single precision.
std::string FormatDouble(double value);
// The shortest text that reads back as the same float: a value read off the
// field matches the one a field file holds, to the last bit.
std::string ExactSingle(float value);

std::string FormatInteger(std::int64_t value);

}  // namespace rdsim
