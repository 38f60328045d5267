#pragma once

#include <cstddef>
#include <vector>

namespace rdsim {

using Buffer = std::vector<float>;

// The activator (U, U2) and inhibitor (V, V2) fields, two pairs so that a 2D
// step can read one pair and write the other. Each holds the cells plus one
// spare element at the end.
struct FieldBuffers {
  Buffer U, V, U2, V2;

  // Keeps every index that exists before and after; new elements are 0.
  void Resize(std::size_t length) {
    U.resize(length, 0.0f);
    V.resize(length, 0.0f);
    U2.resize(length, 0.0f);
    V2.resize(length, 0.0f);
  }
  std::size_t Length() const { return U.size(); }
};

}  // namespace rdsim
