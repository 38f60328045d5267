#include "files/raw_field.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "core/message_text.h"
#include "core/run_error.h"
#include "files/file_access.h"

namespace rdsim {

namespace {

std::string WrongSize(const std::string& path, std::uintmax_t bytes, std::size_t count) {
  return Echoed(path) + " holds " + std::to_string(bytes) + " bytes, expected " + std::to_string(count * 4) + " (" +
         std::to_string(count) + " float32 values)";
}

}  // namespace

std::vector<float> ReadRawFloats(const std::string& path, std::size_t count) {
  std::optional<std::string> bytes;
  try {
    // The size first: nothing of a file that cannot be the field is read.
    const std::optional<std::uintmax_t> size = InputFileSize(path);
    if (!size) throw std::runtime_error("cannot open " + Echoed(path) + ": " + std::strerror(ENOENT));
    if (*size != count * 4) throw std::runtime_error(WrongSize(path, *size, count));
    bytes = ReadInputFile(path, count * 4);
  } catch (const RunError& error) {
    throw std::runtime_error(error.detail());
  }
  if (!bytes) throw std::runtime_error("cannot open " + Echoed(path) + ": " + std::strerror(ENOENT));
  if (bytes->size() != count * 4) throw std::runtime_error(WrongSize(path, bytes->size(), count));
  return DecodeRawFloats(*bytes);
}

std::vector<float> DecodeRawFloats(std::string_view bytes) {
  std::vector<float> values(bytes.size() / 4);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data()) + 4 * i;
    const std::uint32_t bits = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                               static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    std::memcpy(&values[i], &bits, sizeof bits);
  }
  return values;
}

std::string EncodeRawFloats(const std::vector<float>& values) {
  std::string bytes(values.size() * 4, '\0');
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::uint32_t bits;
    std::memcpy(&bits, &values[i], sizeof bits);
    for (int b = 0; b < 4; ++b) bytes[4 * i + static_cast<std::size_t>(b)] = static_cast<char>(bits >> (8 * b));
  }
  return bytes;
}

}  // namespace rdsim
