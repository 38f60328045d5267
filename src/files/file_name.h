#pragma once

#include <cctype>
#include <string_view>

namespace rdsim {

// Whether `path` ends in `extension` (".png"), in any case, after at least one
// more character: a bare ".png" names no picture.
inline bool HasExtension(std::string_view path, std::string_view extension) {
  if (path.size() <= extension.size()) return false;
  const std::string_view end = path.substr(path.size() - extension.size());
  for (std::size_t i = 0; i < end.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(end[i])) != std::tolower(static_cast<unsigned char>(extension[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace rdsim
