#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrix {

// A bounds-checked cursor over the bytes of one datagram. Every read either succeeds
// whole and advances, or fails (nullopt / false) and leaves the position where it was,
// so a decoder can never read past the data.
class ByteReader {
 public:
  explicit ByteReader(std::string_view data) : m_data(data) {}

  std::size_t Position() const { return m_position; }
  std::size_t Remaining() const { return m_data.size() - m_position; }
  bool AtEnd() const { return Remaining() == 0; }
  std::string_view Rest() const { return m_data.substr(m_position); }

  bool StartsWith(std::string_view prefix) const { return Rest().starts_with(prefix); }

  bool Skip(std::size_t count) {
    if (count > Remaining()) return false;
    m_position += count;
    return true;
  }

  std::optional<std::uint8_t> ReadByte() {
    if (AtEnd()) return std::nullopt;
    return static_cast<std::uint8_t>(m_data[m_position++]);
  }

  std::optional<std::uint32_t> ReadUint32Le() {
    if (Remaining() < 4) return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
      value = (value << 8) | static_cast<std::uint8_t>(m_data[m_position + static_cast<std::size_t>(i)]);
    }
    m_position += 4;
    return value;
  }

  std::optional<std::int32_t> ReadInt32Le() {
    auto value = ReadUint32Le();
    if (!value) return std::nullopt;
    return static_cast<std::int32_t>(*value);
  }

  // The bytes up to the next zero byte; the zero is consumed but not returned.
  // Without a zero byte before the end nothing is consumed.
  std::optional<std::string_view> ReadZeroTerminated() {
    const std::string_view rest = Rest();
    const auto zero = rest.find('\0');
    if (zero == std::string_view::npos) return std::nullopt;
    m_position += zero + 1;
    return rest.substr(0, zero);
  }

 private:
  std::string_view m_data;
  std::size_t m_position = 0;
};

}  // namespace vantrix
