#include "files/raw_field.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace rdsim {

namespace {

std::string Reason(const std::string& what, const std::string& path) {
  const std::string cause = errno != 0 ? std::string(": ") + std::strerror(errno) : std::string();
  return what + " \"" + path + "\"" + cause;
}

}  // namespace

std::vector<float> ReadRawFloats(const std::string& path, std::size_t count) {
  errno = 0;
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error(Reason("cannot open", path));
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) throw std::runtime_error(Reason("cannot read", path));
  if (bytes.size() != count * 4) {
    throw std::runtime_error("\"" + path + "\" holds " + std::to_string(bytes.size()) + " bytes, expected " +
                             std::to_string(count * 4) + " (" + std::to_string(count) + " float32 values)");
  }
  std::vector<float> values(count);
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* b = bytes.data() + 4 * i;
    const std::uint32_t bits = static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                               static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
    std::memcpy(&values[i], &bits, sizeof bits);
  }
  return values;
}

void WriteRawFloats(const std::string& path, const std::vector<float>& values) {
  std::vector<char> bytes(values.size() * 4);
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::uint32_t bits;
    std::memcpy(&bits, &values[i], sizeof bits);
    for (int b = 0; b < 4; ++b) bytes[4 * i + static_cast<std::size_t>(b)] = static_cast<char>(bits >> (8 * b));
  }
  errno = 0;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) throw std::runtime_error(Reason("cannot create", path));
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error(Reason("cannot write", path));
}

}  // namespace rdsim
