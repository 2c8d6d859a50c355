#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantrix {

// Decompresses one bzip2 stream that must give exactly `expectedSize` bytes: nullopt for
// damaged data, for a stream that gives more or fewer bytes, or for trailing bytes after
// the stream. Never writes more than expectedSize bytes, so a small datagram cannot
// claim a huge output.
std::optional<std::string> Bzip2Decompress(std::string_view compressed, std::size_t expectedSize);

// Compresses bytes into one bzip2 stream (used to build compressed test replies).
std::string Bzip2Compress(std::string_view bytes);

}  // namespace vantrix
