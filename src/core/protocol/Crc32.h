#pragma once

#include <cstdint>
#include <string_view>

namespace vantrix {

// The common CRC-32 (reflected polynomial EDB88320, initial and final value FFFFFFFF), as
// compressed split replies carry it for their decompressed bytes.
std::uint32_t Crc32(std::string_view bytes) noexcept;

}  // namespace vantrix
