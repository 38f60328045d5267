#include "params/bmp_file.h"

namespace rdsim {

namespace {
void Put16(std::string& out, std::uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
}  // namespace

std::string EncodeBmp(const std::vector<std::uint32_t>& pixels, int width, int height) {
  if (width < 0 || height < 0 ||
      pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return {};
  }
  const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
  const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height);
  constexpr std::uint32_t HeaderBytes = 14 + 40;

  std::string out;
  out.reserve(HeaderBytes + imageBytes);
  out.push_back('B');
  out.push_back('M');
  Put32(out, HeaderBytes + imageBytes);
  Put32(out, 0);
  Put32(out, HeaderBytes);
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));  // positive: rows stored bottom-up
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // no compression
  Put32(out, imageBytes);
  Put32(out, 3780);  // 96 dpi
  Put32(out, 3780);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = height - 1; y >= 0; --y) {
    const std::uint32_t* row = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (int x = 0; x < width; ++x) {
      out.push_back(static_cast<char>(row[x] & 0xFF));          // blue
      out.push_back(static_cast<char>((row[x] >> 8) & 0xFF));   // green
      out.push_back(static_cast<char>((row[x] >> 16) & 0xFF));  // red
    }
    for (std::uint32_t pad = static_cast<std::uint32_t>(width) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace rdsim
