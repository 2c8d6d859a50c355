#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantrix::fuzz {

// The whole input as bytes of text.
inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return size == 0 ? std::string_view() : std::string_view(reinterpret_cast<const char*>(data), size);
}

// Takes a fuzz input apart. Every read is clamped to what is left, so any input is usable:
// a byte past the end reads as 0 and a length past the end takes the rest.
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : m_bytes(AsText(data, size)) {}

  bool AtEnd() const { return m_pos >= m_bytes.size(); }
  std::size_t Remaining() const { return m_bytes.size() - m_pos; }

  std::uint8_t Byte() {
    if (AtEnd()) return 0;
    return static_cast<std::uint8_t>(m_bytes[m_pos++]);
  }

  std::uint16_t Uint16() {
    const std::uint16_t low = Byte();
    const std::uint16_t high = Byte();
    return static_cast<std::uint16_t>(low | (high << 8));
  }

  std::string_view Bytes(std::size_t count) {
    const std::string_view taken = m_bytes.substr(m_pos, count);
    m_pos += taken.size();
    return taken;
  }

  // A 2-byte little-endian length, then that many bytes.
  std::string_view Frame() { return Bytes(Uint16()); }

  std::string_view Rest() { return Bytes(Remaining()); }

 private:
  std::string_view m_bytes;
  std::size_t m_pos = 0;
};

}  // namespace vantrix::fuzz
