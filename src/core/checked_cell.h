#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/field_buffers.h"
#include "core/run_error.h"

namespace rdsim {

// An element of a field buffer; an index outside it raises the run-time error
// instead of writing past the end.
inline float& CellAt(Buffer& buffer, std::int64_t k, const char* name) {
  if (k < 0 || static_cast<std::uint64_t>(k) >= buffer.size()) {
    throw RunError(Fault::SubscriptOutOfRange, std::string(name) + "(" + std::to_string(k) + ")");
  }
  return buffer[static_cast<std::size_t>(k)];
}

}  // namespace rdsim
