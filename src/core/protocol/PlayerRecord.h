#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/protocol/ByteCursor.h"

namespace vantrix {

// One record of a players reply: an index byte, the zero-ended name, a 32-bit score and a
// 32-bit float time, all little-endian.
struct PlayerRecord {
  std::string_view name;  // raw bytes, inside the datagram
  std::int32_t score = 0;
  float seconds = 0;

  // Reads a whole record or nothing: a record cut short leaves the cursor where it was.
  static std::optional<PlayerRecord> Read(ByteCursor& cursor);
};

}  // namespace vantrix
