#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/master/JsonValue.h"

namespace vantrix {

// A strict JSON reader for replies from the network: one value, surrounded by white space
// only. Nesting deeper than kMaxDepth is refused, so a hostile reply cannot exhaust the
// stack. Escapes are decoded to UTF-8; a lone surrogate becomes U+FFFD.
class JsonReader {
 public:
  static constexpr int kMaxDepth = 64;

  // The value, or nullopt with Error() saying where it went wrong.
  std::optional<JsonValue> Read(std::string_view text);
  const std::string& Error() const { return m_error; }

 private:
  bool Value(JsonValue& out, int depth);
  bool Object(JsonValue& out, int depth);
  bool Array(JsonValue& out, int depth);
  bool String(std::string& out);
  bool Number(std::string& out);
  bool Literal(std::string_view word);
  bool Hex4(unsigned& out);
  void SkipSpace();
  bool Fail(const char* what);

  std::string_view m_text;
  std::size_t m_pos = 0;
  std::string m_error;
};

}  // namespace vantrix
