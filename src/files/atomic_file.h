#pragma once

#include <string>
#include <string_view>

namespace rdsim {

// Writes `bytes` to a temporary file in the target's folder and renames it
// over `path` once whole, so a failure never leaves a partial file or harms an
// older one. Raises RunError (File access error) naming the file.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace rdsim
