#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrix {

// A reader over the bytes of one datagram or file that can never step past their end.
// Every read either succeeds and advances, or reports failure (nullopt/false) and leaves
// the position where it was. Multi-byte numbers are little-endian.
class ByteCursor {
 public:
  explicit ByteCursor(std::string_view data) noexcept : m_data(data) {}

  std::size_t Position() const noexcept { return m_position; }
  std::size_t Remaining() const noexcept { return m_data.size() - m_position; }
  bool AtEnd() const noexcept { return m_position == m_data.size(); }
  std::string_view Data() const noexcept { return m_data; }
  std::string_view Rest() const noexcept { return m_data.substr(m_position); }

  bool StartsWith(std::string_view bytes) const noexcept { return Rest().starts_with(bytes); }

  // Advances past the bytes when they come next.
  bool SkipPrefix(std::string_view bytes) noexcept {
    if (!StartsWith(bytes)) return false;
    m_position += bytes.size();
    return true;
  }

  bool Skip(std::size_t count) noexcept {
    if (count > Remaining()) return false;
    m_position += count;
    return true;
  }

  // Moves to an absolute position, at most the end.
  bool Seek(std::size_t position) noexcept {
    if (position > m_data.size()) return false;
    m_position = position;
    return true;
  }

  std::optional<std::uint8_t> PeekByte(std::size_t offset = 0) const noexcept {
    if (offset >= Remaining()) return std::nullopt;
    return static_cast<std::uint8_t>(m_data[m_position + offset]);
  }

  std::optional<std::uint8_t> ReadByte() noexcept {
    auto value = PeekByte();
    if (value) ++m_position;
    return value;
  }

  std::optional<std::string_view> ReadBytes(std::size_t count) noexcept {
    if (count > Remaining()) return std::nullopt;
    std::string_view bytes = m_data.substr(m_position, count);
    m_position += count;
    return bytes;
  }

  std::optional<std::uint16_t> ReadUInt16LE() noexcept {
    auto value = ReadLittleEndian(2);
    if (!value) return std::nullopt;
    return static_cast<std::uint16_t>(*value);
  }

  std::optional<std::uint32_t> ReadUInt32LE() noexcept { return ReadLittleEndian(4); }

  std::optional<std::int32_t> ReadInt32LE() noexcept {
    auto value = ReadLittleEndian(4);
    if (!value) return std::nullopt;
    return std::bit_cast<std::int32_t>(*value);
  }

  std::optional<float> ReadFloat32LE() noexcept {
    auto value = ReadLittleEndian(4);
    if (!value) return std::nullopt;
    return std::bit_cast<float>(*value);
  }

  // Offset (from the position) of the next byte with this value, or nullopt.
  std::optional<std::size_t> Find(std::uint8_t value) const noexcept {
    const std::size_t at = Rest().find(static_cast<char>(value));
    if (at == std::string_view::npos) return std::nullopt;
    return at;
  }

  // The bytes before the next zero byte; the cursor moves past that zero byte.
  // Without a zero byte ahead nothing is read and the position stays.
  std::optional<std::string_view> ReadZeroTerminated() noexcept {
    auto length = Find(0);
    if (!length) return std::nullopt;
    std::string_view text = m_data.substr(m_position, *length);
    m_position += *length + 1;
    return text;
  }

 private:
  std::optional<std::uint32_t> ReadLittleEndian(std::size_t width) noexcept {
    if (width > Remaining()) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
      value |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(m_data[m_position + i])) << (8 * i);
    m_position += width;
    return value;
  }

  std::string_view m_data;
  std::size_t m_position = 0;
};

}  // namespace vantrix
