#include "core/protocol/Bzip2.h"

#include <climits>
#include <stdexcept>

#include <bzlib.h>

namespace vantrix {

std::optional<std::string> Bzip2Decompress(std::string_view compressed, std::size_t expectedSize) {
  if (compressed.size() > UINT_MAX || expectedSize >= UINT_MAX) return std::nullopt;
  // One spare byte: a stream that fills it gives more than was announced.
  std::string out(expectedSize + 1, '\0');
  unsigned int outSize = static_cast<unsigned int>(out.size());
  bz_stream stream{};
  if (BZ2_bzDecompressInit(&stream, 0, 0) != BZ_OK) return std::nullopt;
  stream.next_in = const_cast<char*>(compressed.data());  // the library does not write through it
  stream.avail_in = static_cast<unsigned int>(compressed.size());
  stream.next_out = out.data();
  stream.avail_out = outSize;
  const int status = BZ2_bzDecompress(&stream);
  const unsigned int produced = outSize - stream.avail_out;
  const unsigned int leftOver = stream.avail_in;
  BZ2_bzDecompressEnd(&stream);
  if (status != BZ_STREAM_END || leftOver != 0 || produced != expectedSize) return std::nullopt;
  out.resize(produced);
  return out;
}

std::string Bzip2Compress(std::string_view bytes) {
  if (bytes.size() > UINT_MAX / 2) throw std::length_error("too many bytes to compress");
  // bzip2's documented worst case: 1% more plus 600 bytes.
  std::string out(bytes.size() + bytes.size() / 100 + 601, '\0');
  unsigned int outSize = static_cast<unsigned int>(out.size());
  const int status = BZ2_bzBuffToBuffCompress(out.data(), &outSize, const_cast<char*>(bytes.data()),
                                              static_cast<unsigned int>(bytes.size()), 9, 0, 0);
  if (status != BZ_OK) throw std::runtime_error("bzip2 compression failed");
  out.resize(outSize);
  return out;
}

}  // namespace vantrix
