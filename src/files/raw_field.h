#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rdsim {

// Raw fields on disk: little-endian float32 values, nothing else. Reading raises
// std::runtime_error with a one-line reason.

// Exactly `count` values, or the reason the file does not hold them. Only a
// regular file of the right size is read.
std::vector<float> ReadRawFloats(const std::string& path, std::size_t count);

std::string EncodeRawFloats(const std::vector<float>& values);
// The whole values in `bytes`; a partial last value is left out.
std::vector<float> DecodeRawFloats(std::string_view bytes);

}  // namespace rdsim
