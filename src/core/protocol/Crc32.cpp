#include "core/protocol/Crc32.h"

#include <zlib.h>

namespace vantrix {

std::uint32_t Crc32(std::string_view bytes) noexcept {
  const auto* data = reinterpret_cast<const Bytef*>(bytes.data());
  return static_cast<std::uint32_t>(crc32_z(crc32_z(0, Z_NULL, 0), data, bytes.size()));
}

}  // namespace vantrix
