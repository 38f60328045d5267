#include "analysis/report_number.h"

#include <cstdio>

namespace rdsim {

std::string FormatValue(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace rdsim
