#pragma once

#include <string>

namespace rdsim {

// `value` as printf's `format` (one double conversion) writes it: the
// analysis's reports choose their digits per figure.
std::string FormatValue(const char* format, double value);

}  // namespace rdsim
