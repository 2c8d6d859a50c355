#include "core/util/TextEscaping.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace vantrix {

namespace {

bool IsControl(std::uint8_t byte) {
  return byte < 0x20 || byte == 0x7F;
}

}  // namespace

std::string Utf8Text(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) {
    const auto byte = static_cast<std::uint8_t>(c);
    if (byte < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (byte >> 6)));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}

std::string TerminalText(std::string_view text) {
  // C1 controls start escape sequences too (0x9B is a CSI); in UTF-8 they are C2 80..C2 9F.
  const std::string utf8 = Utf8Text(text);
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<std::uint8_t>(utf8[i]);
    if (byte == 0xC2 && i + 1 < utf8.size() && static_cast<std::uint8_t>(utf8[i + 1]) < 0xA0) {
      out.push_back('?');
      ++i;
    } else if (IsControl(byte)) {
      out.push_back('?');
    } else {
      out.push_back(utf8[i]);
    }
  }
  return out;
}

std::size_t DisplayWidth(std::string_view text) noexcept {
  if (!IsValidUtf8(text)) return text.size();
  std::size_t width = 0;
  for (char c : text)
    if ((static_cast<std::uint8_t>(c) & 0xC0) != 0x80) ++width;
  return width;
}

void AppendCsvField(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.append(text);
    return;
  }
  out.push_back('"');
  for (char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

std::string JsonNumber(float value) {
  if (!std::isfinite(value)) return "null";
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (ec != std::errc()) return "null";
  return std::string(buffer, end);
}

}  // namespace vantrix
