// Field files made to hurt the reader, for every test that reads field files
// (the reader, the batch runner, the window) and the benchmark of their cost.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rdsim {

struct HostileFieldFile {
  std::string name;  // what it is
  std::string path;
  // A part of the reader's refusal; empty for a sound field, which is read.
  std::string refusal{};
  // A part of the refusal of a run of 10 more steps on the field.
  std::string runRefusal{};
  bool damaged = false;  // flipped bits: read or refused, the reader decides
};

// Every file is 2D, of this size, when it is a field at all.
inline constexpr int HostileFieldSize = 16;

// Makes the files in `folder` (which must exist), with a FIFO and the other
// files they point at.
std::vector<HostileFieldFile> MakeHostileFieldFiles(const std::string& folder);

}  // namespace rdsim
