#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantrix {

// A parsed JSON value. Numbers keep their text: nothing here needs their value.
struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  std::string text;  // a string's UTF-8 bytes, or a number's text
  std::vector<JsonValue> items;
  std::vector<std::pair<std::string, JsonValue>> members;  // in document order

  // The first member with this name, or null when there is none (or this is no object).
  const JsonValue* Member(std::string_view name) const {
    if (kind != Kind::kObject) return nullptr;
    for (const auto& [key, value] : members)
      if (key == name) return &value;
    return nullptr;
  }
};

}  // namespace vantrix
