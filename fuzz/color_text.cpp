// Colour texts as config.ini holds them. The input is the text; its first four bytes are also
// read as a colour value.
// Invariants: a text converts exactly when a reference reading (a name in any case, or a
// whole number) accepts it, to the same value; the text a value is written as is its name or
// "$" and eight upper-case hexadecimal digits, and converts back to the value.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/FuzzCheck.h"
#include "common/FuzzInput.h"
#include "core/settings/Colors.h"
#include "core/util/ConversionError.h"

namespace {

using namespace vantrix;

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

int Digit(char c, int base) {
  int value = 99;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'z') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// Optional sign, then decimal digits within the signed 32-bit range, or "$" and hexadecimal
// digits within 32 bits taken as a bit pattern; leading zeros of any number allowed.
std::optional<std::uint32_t> ReferenceNumber(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  const bool hex = !text.empty() && text[0] == '$';
  if (hex) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  const int base = hex ? 16 : 10;
  const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  std::uint64_t value = 0;
  for (const char c : text) {
    const int digit = Digit(c, base);
    if (digit < 0) return std::nullopt;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (value > limit) return std::nullopt;
  }
  const std::uint32_t bits = static_cast<std::uint32_t>(value);
  return negative ? 0u - bits : bits;
}

std::optional<ColorValue> ReferenceColor(std::string_view text) {
  for (const NamedColor& color : NamedColors()) {
    if (SameIgnoringCase(color.name, text)) return color.value;
  }
  return ReferenceNumber(text);
}

std::optional<ColorValue> Convert(std::string_view text) {
  try {
    return ColorFromText(text);
  } catch (const ConversionError& error) {
    // The message is a C string: a zero byte in the text ends it there.
    const std::string message = "'" + std::string(text) + "' is not a valid integer value";
    VANTRIX_FUZZ_CHECK(error.what() == message.substr(0, message.find('\0')));
    return std::nullopt;
  }
}

bool IsHexText(const std::string& text) {
  if (text.size() != 9 || text[0] != '$') return false;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

void CheckWritten(ColorValue value) {
  const std::string text = ColorToText(value);
  const auto name = ColorName(value);
  if (name) {
    VANTRIX_FUZZ_CHECK(text == *name);
  } else {
    VANTRIX_FUZZ_CHECK(IsHexText(text));
  }
  VANTRIX_FUZZ_CHECK(Convert(text) == value);
  VANTRIX_FUZZ_CHECK(ColorToText(*Convert(text)) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);
  const auto value = Convert(text);
  VANTRIX_FUZZ_CHECK(value == ReferenceColor(text));
  if (value) CheckWritten(*value);

  fuzz::FuzzInput input(data, size);
  const ColorValue low = input.Uint16();
  const ColorValue high = input.Uint16();
  CheckWritten(low | (high << 16));
  return 0;
}
